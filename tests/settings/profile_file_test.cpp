#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "settings/profile_file.h"
#include "text/cp1251_literal.h"
#include "text/error.h"

namespace tarnwell {
namespace {

using namespace literals;

// The bytes of a literal that may hold zero bytes.
template <std::size_t N>
std::string Raw(const char (&text)[N]) {
    return std::string(text, N - 1);
}

TEST(ProfileFile, UnchangedFileComesBackByteForByte) {
    const std::string cases[] = {
        "",
        "[mail]\r\nHost=1.2.3.4\r\n\r\n[opt]\r\nAutoSave=1\r\n",
        "[mail]\nHost=1.2.3.4\n",
        "[mail]\rHost=1.2.3.4\r",
        "[mail]\r\nHost=1.2.3.4",  // no line end at the end
        "\r\n\n\r\r\n",
        "preamble=1\n; comment\n  [ mail ]  \n  Host =  x  \n[mail]\nHost=y\n",
        Raw("\0\xFF\x01[\0]=\r\x80\n"),
        std::string(100000, 'x') + "=" + std::string(100000, 'y'),
    };
    for (const std::string& bytes : cases) EXPECT_EQ(ProfileFile(bytes).Bytes(), bytes);
}

TEST(ProfileFile, ReadsAValueAsTheWindowsProfileFunctionsDo) {
    struct Case {
        std::string file, section, key;
        std::optional<std::string> value;
    };
    const std::string long_value(3000, 'v');
    const Case cases[] = {
        {"[mail]\nHost=a\n", "mail", "Host", "a"},
        {"[MAIL]\nhOsT=a\n", "Mail", "HOST", "a"},
        {"[Почта]\r\nСервер=a\r\n"_cp.data(), "ПОЧТА"_cp.data(), "сервер"_cp.data(), "a"},
        {"[mail]\n  Host \t=  a b \t\n", "mail", "Host", "a b"},
        {"[mail]\nHost=a=b=c\n", "mail", "Host", "a=b=c"},
        {"[mail]\nHost=\"quoted \"\n", "mail", "Host", "quoted "},
        {"[mail]\nHost=' x '\n", "mail", "Host", " x "},
        {"[mail]\nHost=\"\"a\"\"\n", "mail", "Host", "\"a\""},
        {"[mail]\nHost=\"a'\n", "mail", "Host", "\"a'"},
        {"[mail]\nHost=\"\n", "mail", "Host", "\""},
        {"[mail]\nHost=\n", "mail", "Host", ""},
        {"[mail]\nHost=" + long_value + "\n", "mail", "Host", long_value.substr(0, 2047)},
        {"[mail]\nHost=\"" + long_value + "\"\n", "mail", "Host", long_value.substr(0, 2047)},
        {"[mail]\nHost\n", "mail", "Host", std::nullopt},
        {"Host=a\n[mail]\n", "mail", "Host", std::nullopt},
        {"[opt]\nHost=a\n[mail]\n", "mail", "Host", std::nullopt},
        {"[mail]\nHost=a\n[mail]\nHost=b\nPort=25\n", "mail", "Port", std::nullopt},
        {"[mail]\nHost=a\nHost=b\n", "mail", "Host", "a"},
        {"[mail\nHost=a\n", "mail", "Host", std::nullopt},
        {"[a]b]\nk=v\n", "a]b", "k", "v"},
        {"\t[mail] ; comment\r\nHost=a", "mail", "Host", "a"},
        {"[mail]\rHost=a\rPort=25\r", "mail", "Port", "25"},
        {Raw("[mail]\nHost=a\0b\n"), "mail", "Host", Raw("a\0b")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProfileFile(c.file).ReadString(c.section, c.key), c.value) << c.file.substr(0, 60);
    }
}

TEST(ProfileFile, ReadsIntegersInDecimalOrHex) {
    struct Case {
        std::string value;
        int expected;
    };
    const Case cases[] = {
        {"25", 25},  {" -3 ", -3}, {"0x10", 16}, {"0X1f", 31}, {"'7'", 7},         {"0xFFFFFFFF", -1},
        {"yes", 99}, {"", 99},     {"1.5", 99},  {"0x", 99},   {"2147483648", 99}, {"12abc", 99},
    };
    for (const auto& c : cases) {
        ProfileFile ini("[opt]\r\nTochnost=" + c.value + "\r\n");
        EXPECT_EQ(ini.ReadInteger("opt", "Tochnost", 99), c.expected) << c.value;
    }
    EXPECT_EQ(ProfileFile("").ReadInteger("opt", "Tochnost", 99), 99);
}

TEST(ProfileFile, WritesInPlaceAtTheEndOfTheSectionOrInANewSection) {
    struct Case {
        std::string name, before, section, key, value, after;
    };
    const Case cases[] = {
        {"replaced in place, keeping the key's spelling and line end", "[Mail]\r\n  host = old \r\nPort=25\n", "mail",
         "HOST", "new", "[Mail]\r\nhost=new\r\nPort=25\n"},
        {"new key after the section's last line, before its blank lines", "[mail]\nHost=a\n\n\n[opt]\nx=1\n", "mail",
         "Port", "25", "[mail]\nHost=a\nPort=25\n\n\n[opt]\nx=1\n"},
        {"new key right after the header of an empty section", "[mail]\r\n\r\n[opt]\r\n", "mail", "Port", "25",
         "[mail]\r\nPort=25\r\n\r\n[opt]\r\n"},
        {"new key into a last section without a final line end", "[mail]\nHost=a", "mail", "Port", "25",
         "[mail]\nHost=a\nPort=25\n"},
        {"new key after a header without a final line end", "[opt]", "opt", "AutoSave", "1", "[opt]\r\nAutoSave=1\r\n"},
        {"new section at the end, with the file's line end", "[mail]\nHost=a\n\n", "opt", "AutoSave", "1",
         "[mail]\nHost=a\n\n[opt]\nAutoSave=1\n"},
        {"new section after a last line without a line end", "[mail]\r\nHost=a", "opt", "AutoSave", "1",
         "[mail]\r\nHost=a\r\n[opt]\r\nAutoSave=1\r\n"},
        {"new section in an empty file", "", "opt", "AutoSave", "1", "[opt]\r\nAutoSave=1\r\n"},
        {"first of two equal sections", "[opt]\nx=1\n[OPT]\ny=2\n", "opt", "y", "3", "[opt]\nx=1\ny=3\n[OPT]\ny=2\n"},
        {"a key before the first section belongs to none", "AutoSave=0\n", "opt", "AutoSave", "1",
         "AutoSave=0\n[opt]\nAutoSave=1\n"},
        {"line breaks in the value become blanks", "[mail]\n", "mail", "Subject", "a\r\n[x]\nb=c",
         "[mail]\nSubject=a  [x] b=c\n"},
        {"lone CR file", "[mail]\rHost=a\r", "mail", "Port", "25", "[mail]\rHost=a\rPort=25\r"},
    };
    for (const auto& c : cases) {
        ProfileFile ini(c.before);
        ini.WriteString(c.section, c.key, c.value);
        EXPECT_EQ(ini.Bytes(), c.after) << c.name;
    }
}

TEST(ProfileFile, WrittenKeysReadBackAndKeepTheirPlace) {
    ProfileFile ini;
    ini.WriteString("mail", "Host", "a");
    ini.WriteString("opt", "AutoSave", "1");
    ini.WriteString("mail", "Port", "25");
    ini.WriteInteger("opt", "Tochnost", -2);
    ini.WriteString("MAIL", "host", "b");
    EXPECT_EQ(ini.Bytes(), "[mail]\r\nHost=b\r\nPort=25\r\n[opt]\r\nAutoSave=1\r\nTochnost=-2\r\n");
    EXPECT_EQ(ini.ReadString("mail", "port", ""), "25");
    EXPECT_EQ(ini.ReadInteger("opt", "Tochnost", 0), -2);
    EXPECT_EQ(ProfileFile(ini.Bytes()).Bytes(), ini.Bytes());
}

TEST(ProfileFile, RefusesNamesThatWouldBreakTheFile) {
    ProfileFile ini;
    const std::pair<const char*, const char*> names[] = {{"", "k"},    {"a]", "k"}, {"a\nb", "k"},
                                                         {"s", "a=b"}, {"s", " k"}, {"s", ""}};
    for (auto [section, key] : names) EXPECT_THROW(ini.WriteString(section, key, "v"), Error) << section << "/" << key;
    EXPECT_EQ(ini.Bytes(), "");
}

}  // namespace
}  // namespace tarnwell
