// tarnwell.exe carries the version of the About page in its version information, which Windows shows in
// the file's properties.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwell {
namespace {

TEST(VersionInfo, NamesTheProgramAndItsVersion) {
    const std::wstring program = std::wstring(TARNWELL_PROGRAM, TARNWELL_PROGRAM + sizeof(TARNWELL_PROGRAM) - 1);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version information in " << TARNWELL_PROGRAM;
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), TARNWELL_VERSION_MAJOR);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), TARNWELL_VERSION_MINOR);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    auto text = [&](const wchar_t* name) {
        std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        wchar_t* value = nullptr;
        UINT chars = 0;
        if (!VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &chars) || chars == 0) {
            return std::string("(none)");
        }
        return std::string(value, value + wcslen(value));
    };
    EXPECT_EQ(text(L"ProductName"), "Tarnwell");
    EXPECT_EQ(text(L"ProductVersion"), TARNWELL_VERSION);
    EXPECT_EQ(text(L"FileVersion"), TARNWELL_VERSION);
    EXPECT_EQ(text(L"OriginalFilename"), "tarnwell.exe");
}

}  // namespace
}  // namespace tarnwell
