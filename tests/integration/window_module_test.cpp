// The window as a module beside the program: a headless run loads no Qt library, a run with a display loads
// the module from beside the program or from its installed place, and a program without a usable module
// says so and runs headless.

#include <algorithm>
#include <regex>

#include "program_fixture.h"

namespace tarnwell {
namespace {

using namespace program_testing;

class WindowModuleTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        WriteSettings({"[mail]", "HTMLPath=" + Report().string(), "[set]", "LastPath=", "[AutoRun]", "HTML=0",
                       "Mail=0", "MailTable=0", "[opt]", "AutoClose=0", "AutoSave=0"});
        fs::create_directories(root_ / "runtime");
        fs::permissions(root_ / "runtime", fs::perms::owner_all);
    }

    fs::path Report() const { return root_ / "report.htm"; }
    fs::path Module() const { return Folder() / fs::path(TARNWELL_WINDOW_MODULE).filename(); }

    // /createhtml with the dynamic linker telling which files it loads; those files' names, one a line.
    ProcessResult CreateHtml(bool display, std::string& loaded) const {
        EnvironmentChanges env = {{"LD_DEBUG", "files"}, {"LD_DEBUG_OUTPUT", (root_ / "ld").string()}};
        // Qt's offscreen platform: a display without a server. Qt's own notes stay out of standard error.
        if (display) {
            env["QT_QPA_PLATFORM"] = "offscreen";
            env["XDG_RUNTIME_DIR"] = (root_ / "runtime").string();
        }
        ProcessResult r = Run({"/createhtml"}, env);
        loaded.clear();
        for (const auto& entry : fs::directory_iterator(root_)) {
            if (entry.path().filename().string().rfind("ld.", 0) != 0) continue;
            loaded += ReadFile(entry.path());
            fs::remove(entry.path());
        }
        return r;
    }

    // A path as a pattern that matches it alone.
    static std::string Literal(const fs::path& path) {
        return std::regex_replace(path.string(), std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
    }

    static bool Loads(const std::string& loaded, const std::string& name) {
        return loaded.find("file=" + name) != std::string::npos;
    }
};

TEST_F(WindowModuleTest, HeadlessRunLoadsNoQtAndARunWithADisplayLoadsTheModule) {
    fs::copy_file(TARNWELL_WINDOW_MODULE, Module());
    std::string loaded;
    ProcessResult r = CreateHtml(false, loaded);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_TRUE(fs::exists(Report()));
    EXPECT_TRUE(Loads(loaded, "libc.so.6")) << "the dynamic linker said nothing:\n" << loaded;
    EXPECT_FALSE(Loads(loaded, "libQt6")) << loaded;
    EXPECT_FALSE(Loads(loaded, Module().string())) << loaded;

    fs::remove(Report());
    r = CreateHtml(true, loaded);
    EXPECT_EQ(r.err.find("Tarnwell:"), std::string::npos) << r.err;
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_TRUE(fs::exists(Report()));
    EXPECT_TRUE(Loads(loaded, Module().string())) << loaded;
    EXPECT_TRUE(Loads(loaded, "libQt6Widgets.so.6")) << loaded;
}

// The installed layout: bin/tarnwell finds lib/tarnwell/<module>.
TEST_F(WindowModuleTest, ProgramFindsTheModuleInItsInstalledPlace) {
    const fs::path installed = Folder().parent_path() / "lib" / "tarnwell";
    fs::create_directories(installed);
    fs::copy_file(TARNWELL_WINDOW_MODULE, installed / Module().filename());
    std::string loaded;
    ProcessResult r = CreateHtml(true, loaded);
    EXPECT_EQ(r.err.find("Tarnwell:"), std::string::npos) << r.err;
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_TRUE(Loads(loaded, (installed / Module().filename()).string())) << loaded;
}

// With a display but no module it can use, the program says why on standard error, then does its job
// headless; the note is no message of the program's, so the job's exit status stands.
TEST_F(WindowModuleTest, ProgramWithoutAUsableModuleSaysSoAndRunsHeadless) {
    const fs::path installed = Folder().parent_path() / "lib" / "tarnwell" / Module().filename();
    struct Case {
        const char* name;
        std::function<void()> place;
        std::string note;
    };
    const Case cases[] = {
        {"missing", [] {},
         "модуль окна не найден ни рядом с программой \\(" + Literal(Module()) + "\\), ни в " + Literal(installed)},
        {"not a shared object", [&] { WriteFile(Module(), "not a module"); },
         "модуль окна " + Literal(Module()) + " не загружается: .+"},
        {"of another build", [&] { fs::copy_file(TARNWELL_STALE_WINDOW_MODULE, Module()); },
         "модуль окна " + Literal(Module()) + " от другой сборки программы: в нём нет tarnwell_window_main_v1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(Module());
        fs::remove(Report());
        c.place();
        std::string loaded;
        ProcessResult r = CreateHtml(true, loaded);
        EXPECT_TRUE(std::regex_match(r.err, std::regex("Tarnwell: " + c.note + "; программа работает без окна\n")))
            << r.err;
        EXPECT_EQ(r.exit_status, 0);
        EXPECT_TRUE(fs::exists(Report()));
        EXPECT_FALSE(Loads(loaded, "libQt6")) << loaded;
    }
}

}  // namespace
}  // namespace tarnwell
