// The window tests run on Qt's offscreen platform unless another is named. With a first argument
// "window", "viewer", "accessibility", "questions", "layout", "keyboard", "find" or "scaled" only that group runs, given the rest of the arguments
// (QtTest's: test function names, -v2, ...). "scaled" runs only when named: a window test starts it in a
// process of its own on a screen scaled twofold.

#include <QApplication>
#include <cstring>

int RunWindowTests(int argc, char** argv);
int RunViewerTests(int argc, char** argv);
int RunAccessibilityTests(int argc, char** argv);
int RunQuestionsTests(int argc, char** argv);
int RunScaledTests(int argc, char** argv);
int RunLayoutTests(int argc, char** argv);
int RunKeyboardTests(int argc, char** argv);
int RunFindTests(int argc, char** argv);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const struct {
        const char* name;
        int (*run)(int, char**);
        bool by_default;
    } groups[] = {{"window", RunWindowTests, true},
                  {"viewer", RunViewerTests, true},
                  {"accessibility", RunAccessibilityTests, true},
                  {"questions", RunQuestionsTests, true},
                  {"layout", RunLayoutTests, true},
                  {"keyboard", RunKeyboardTests, true},
                  {"find", RunFindTests, true},
                  {"scaled", RunScaledTests, false}};
    const bool named = argc > 1 && argv[1][0] != '-';
    int failed = 0;
    for (const auto& group : groups) {
        if (named ? std::strcmp(argv[1], group.name) != 0 : !group.by_default) continue;
        if (named) {
            // The group's name stands where QtTest expects the program's.
            failed += group.run(argc - 1, argv + 1);
        } else {
            failed += group.run(argc, argv);
        }
    }
    return failed == 0 ? 0 : 1;
}
