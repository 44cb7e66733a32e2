// The window tests run on Qt's offscreen platform unless another is named. With a first argument
// "window", "viewer" or "accessibility" only that group runs, given the rest of the arguments (QtTest's:
// test function names, -v2, ...).

#include <QApplication>
#include <cstring>

int RunWindowTests(int argc, char** argv);
int RunViewerTests(int argc, char** argv);
int RunAccessibilityTests(int argc, char** argv);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const struct {
        const char* name;
        int (*run)(int, char**);
    } groups[] = {{"window", RunWindowTests}, {"viewer", RunViewerTests}, {"accessibility", RunAccessibilityTests}};
    int failed = 0;
    for (const auto& group : groups) {
        if (argc > 1 && argv[1][0] != '-' && std::strcmp(argv[1], group.name) != 0) continue;
        if (argc > 1 && argv[1][0] != '-') {
            // The group's name stands where QtTest expects the program's.
            failed += group.run(argc - 1, argv + 1);
        } else {
            failed += group.run(argc, argv);
        }
    }
    return failed == 0 ? 0 : 1;
}
