// Not a check: with TARNWELL_SCREENSHOTS naming a folder, draws every page of the window on the demo data
// into BMP files there (scripts/windows-screenshots turns them into the README's pictures). Skipped
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
    // A proxy log for the viewer, TAB-separated with a header line.
    const fs::path log = Folder() / "proxy.log";
    {
        std::ofstream out(log, std::ios::binary);
        out << Utf8ToCp1251("Время\tПользователь\tАдрес\tСайт\tБайт\r\n");
        const char* sites[] = {"www.example.com", "mail.example.org", "news.example.net", "files.example.com"};
        const char* users[] = {"ivanov", "petrov", "sidorova", "Administrator"};
        for (int i = 0; i < 40; ++i) {
            out << "10:" << (10 + i / 2) << ":" << (10 + i) << "\t" << users[i % 4] << "\t192.168.0." << (10 + i % 7)
                << "\t" << sites[(i * 3) % 4] << "\t" << (1024 * (i + 1) * 37) % 99991 << "\r\n";
        }
    }
    std::ifstream settings(fs::path(TARNWELL_SOURCE_DIR) / "examples" / "settings.ini", std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(settings), {}};
    text.replace(text.find("LastPath="), 9, "LastPath=" + log.string());
    std::ofstream(Folder() / "settings.ini", std::ios::binary) << text;

    Start();
    const std::vector<std::pair<std::string, std::string>> pages = {{"SpeedButton3", "viewer"},
                                                                    {"SBToStat", "statistics"},
                                                                    {"SBLimit", "limits"},
                                                                    {"SpeedButton4", "settings"},
                                                                    {"SBAbout", "about"}};
    for (const auto& [button, page] : pages) {
        ClickButton(button);
        MouseOver(button);
        Pump(std::chrono::milliseconds(300));
        SaveWindowPicture(Program().Window().Hwnd(), fs::path(target) / (page + ".bmp"));
    }
}

}  // namespace
}  // namespace tarnwell::win32::testing
