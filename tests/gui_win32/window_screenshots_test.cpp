// Not a check: with TARNWELL_SCREENSHOTS naming a folder, draws every page of the window on the demo data
// into BMP files there (docs/screenshots/windows/take-screenshots makes the README's pictures of them). Skipped
// otherwise.

#include <cstdlib>
#include <fstream>

#include "text/cp1251.h"
#include "window_fixture.h"

namespace tarnwell::win32::testing {
namespace {

TEST_F(WindowTest, Screenshots) {
    const char* target = std::getenv("TARNWELL_SCREENSHOTS");
    if (target == nullptr || *target == '\0') GTEST_SKIP() << "TARNWELL_SCREENSHOTS is not set";
    fs::copy_file(fs::path(TARNWELL_SOURCE_DIR) / "examples" / "registry.reg", RegPath(),
                  fs::copy_options::overwrite_existing);
    const fs::path log = Folder() / "proxy.log";
    fs::copy_file(fs::path(TARNWELL_SOURCE_DIR) / "examples" / "proxy.log", log);
    std::ifstream settings(fs::path(TARNWELL_SOURCE_DIR) / "examples" / "settings.ini", std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(settings), {}};
    text.replace(text.find("LastPath="), 9, "LastPath=" + log.string());
    std::ofstream(Folder() / "settings.ini", std::ios::binary) << text;

    Start();
    // The status bar's outcome part as a letters' run leaves it (the demo has no mail server to send to).
    Controls().StatBar.ShowOutcome(Utf8ToCp1251("Письма (127.0.0.1:25): отправлено 20 из 20"));
    Program().Window().Refresh();
    // Each page with the mouse on one of its controls, whose hint the status bar shows.
    struct Page {
        std::string button;
        std::string file;
        std::string under_mouse;
    };
    const std::vector<Page> pages = {{"SpeedButton3", "viewer", "SBSave"},
                                     {"SBToStat", "statistics", "SBSend1"},
                                     {"SBLimit", "limits", "ASGLimit"},
                                     {"SpeedButton4", "settings", "EHost"},
                                     {"SBAbout", "about", "SBAbout"}};
    for (const auto& [button, page, under_mouse] : pages) {
        ClickButton(button);
        MouseOver(under_mouse);
        Pump(std::chrono::milliseconds(300));
        SaveWindowPicture(Program().Window().Hwnd(), fs::path(target) / (page + ".bmp"));
    }
    // The viewer page as a save shows it: the gauge under way and the cancel button under it.
    ClickButton("SpeedButton3");
    Controls().CG1.SetRange(0, 1000);
    Controls().CG1.SetPosition(400);
    Controls().CG1.Visible = true;
    Controls().SBCancel.Visible = true;
    Program().Host().ControlsChanged();
    MouseOver("SBCancel");
    Pump(std::chrono::milliseconds(300));
    SaveWindowPicture(Program().Window().Hwnd(), fs::path(target) / "saving.bmp");
}

}  // namespace
}  // namespace tarnwell::win32::testing
