#include "app/standard_error.h"

#include <gtest/gtest.h>

#include <iostream>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tarnwell {
namespace {

// The tests' standard error is a pipe: the text stays UTF-8 bytes, as a log file wants them.
TEST(StandardError, RedirectedIsTheStreamItself) {
    EXPECT_EQ(&StandardError(), &std::cerr);
}

#ifdef _WIN32
// Read back from the console's screen: the characters it shows, not the bytes it was given.
std::wstring ScreenLine(HANDLE screen, SHORT row, DWORD length) {
    std::wstring cells(length, L'\0');
    DWORD read = 0;
    EXPECT_TRUE(ReadConsoleOutputCharacterW(screen, cells.data(), length, COORD{0, row}, &read));
    cells.resize(read);
    while (!cells.empty() && cells.back() == L' ') cells.pop_back();
    return cells;
}

// Wine makes a console only where it can open a window: the test console_output runs this test under a
// private X server; the ordinary run, without a display, passes it over.
TEST(WideConsoleBuffer, ShowsCyrillicWhateverTheConsolesCodePage) {
    if (GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) == 0) GTEST_SKIP() << "no display for Wine's console";
    // A console of the test's own, in a code page without Cyrillic.
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    HANDLE screen = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              CONSOLE_TEXTMODE_BUFFER, nullptr);
    ASSERT_NE(screen, INVALID_HANDLE_VALUE);
    SetConsoleOutputCP(437);
    {
        WideConsoleBuffer buffer(screen);
        std::ostream out(&buffer);
        out << "Tarnwell: Неправильно задан ключ\n" << std::flush;
        // A character whose bytes arrive in two flushes is written once whole.
        const std::string zhe = "Ж";
        out << "Tarnwell: " << zhe.substr(0, 1) << std::flush;
        out << zhe.substr(1) << "ё\n" << std::flush;
    }
    EXPECT_EQ(ScreenLine(screen, 0, 40), L"Tarnwell: Неправильно задан ключ");
    EXPECT_EQ(ScreenLine(screen, 1, 40), L"Tarnwell: Жё");
    CloseHandle(screen);
    FreeConsole();
}
#endif

}  // namespace
}  // namespace tarnwell
