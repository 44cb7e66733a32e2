// What only the registry export file store has: its text is kept as it was, new keys and values find
// their place in it, malformed files are refused and never rewritten.

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "store_backends.h"
#include "text/cp1251.h"
#include "text/cp1251_literal.h"
#include "wingate/reg_document.h"
#include "wingate/reg_file_user_database.h"

namespace tarnwell::testing {
namespace {

using namespace literals;

const std::string kData = TARNWELL_TEST_DATA;
const std::string kVersion5 = kData + "/db_roundtrip_version5.reg";
const std::string kRegedit4 = kData + "/db_roundtrip_regedit4.reg";

// The lines of a file's text (UTF-16 for Version 5.00, one unit a byte otherwise), endings included.
std::vector<std::u16string> Lines(const std::string& bytes) {
    std::u16string text;
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                 (static_cast<unsigned char>(bytes[i + 1]) << 8)));
        }
    } else {
        for (char c : bytes) text.push_back(static_cast<unsigned char>(c));
    }
    std::vector<std::u16string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t eol = text.find(u'\n', pos);
        std::size_t next = eol == std::u16string::npos ? text.size() : eol + 1;
        lines.push_back(text.substr(pos, next - pos));
        pos = next;
    }
    return lines;
}

// The store on a copy of a file, with the real key paths.
class RegFileStore : public ::testing::Test {
protected:
    std::string Copy(const std::string& source) {
        std::string path = folder_.File("registry.reg");
        WriteBytes(path, ReadBytes(source));
        return path;
    }

    std::string Write(const std::string& text) {
        std::string path = folder_.File("registry.reg");
        WriteBytes(path, text);
        return path;
    }

    TempFolder folder_;
};

TEST_F(RegFileStore, FilesReadAndWrittenBackAreByteIdentical) {
    for (const std::string& source : {kVersion5, kRegedit4}) {
        SCOPED_TRACE(source);
        std::string bytes = ReadBytes(source);
        EXPECT_EQ(RegDocument::Parse(bytes, source).Render(), bytes);

        // Reading every value and writing each back unchanged leaves the file as it was.
        std::string path = Copy(source);
        {
            RegFileUserDatabase db(path, {});
            for (const std::string& login : db.ListAccounts()) {
                db.OpenAccount(login);
                if (db.HasValue("Limit")) db.WriteNumber("Limit", db.ReadNumber("Limit"));
                db.WriteText("Type", db.ReadText("Type"));
                db.CloseAccount();
            }
            db.Flush();
        }
        EXPECT_EQ(ReadBytes(path), bytes);
    }
}

TEST_F(RegFileStore, OneWrittenNumberChangesOnlyItsLine) {
    for (const std::string& source : {kVersion5, kRegedit4}) {
        SCOPED_TRACE(source);
        std::string path = Copy(source);
        const std::string login = source == kVersion5 ? "zoe" : std::string("Петров"_cp);
        {
            RegFileUserDatabase db(path, {});
            db.OpenAccount(login);
            db.WriteNumber("limit", 123);
            db.Flush();
        }
        std::vector<std::u16string> before = Lines(ReadBytes(source));
        std::vector<std::u16string> after = Lines(ReadBytes(path));
        ASSERT_EQ(before.size(), after.size());
        int changed = 0;
        for (std::size_t i = 0; i < before.size(); ++i) {
            if (before[i] == after[i]) continue;
            ++changed;
            std::u16string ending = before[i].substr(before[i].find_last_not_of(u"\r\n") + 1);
            EXPECT_EQ(after[i], u"\"Limit\"=dword:0000007b" + ending);
        }
        EXPECT_EQ(changed, 1);
    }
}

TEST_F(RegFileStore, ReadsEveryFormOfTheFormat) {
    std::string path = Copy(kVersion5);
    RegFileUserDatabase db(path, {});
    EXPECT_EQ(db.ListAccounts(), (std::vector<std::string>{"zoe", "alice"})) << "file order, not sorted";
    db.OpenAccount("zoe");
    EXPECT_EQ(db.ReadText("RealName"), "Зоя Петровна \"Зайка\" \\ ?? ?"_cp);
    EXPECT_EQ(db.ReadNumber("ClientSendTraffic"), 0x7FFFFFFF);
    EXPECT_EQ(db.ReadNumber("Limit"), -1);
    EXPECT_EQ(db.ReadText("Path"), "%Sys");
    EXPECT_TRUE(db.HasValue(""));
    EXPECT_EQ(db.ReadText(""), "default");
    EXPECT_TRUE(db.HasValue("Odd"));
    EXPECT_EQ(db.ReadServiceImagePath(), "C:\\Program Files\\WinGate\\WinGate.exe");

    RegDocument doc = RegDocument::Parse(ReadBytes(path), path);
    int zoe =
        doc.FindKey(RegDocument::kRoot, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase\\ZOE");
    std::string flags;
    for (int i = 1; i <= 0x1a; ++i) flags.push_back(static_cast<char>(i));
    EXPECT_EQ(doc.Value(zoe, "Flags"), (RegDocument::RawValue{3, flags}));
    EXPECT_EQ(doc.Value(zoe, "Qword"), (RegDocument::RawValue{0xb, std::string("\x01\0\0\0\0\0\0\0", 8)}));
    EXPECT_EQ(doc.Value(zoe, "Odd"), (RegDocument::RawValue{0x12345678, ""}));

    RegFileUserDatabase old(Copy(kRegedit4), {});
    old.OpenAccount("ПЕТРОВ"_cp);
    EXPECT_EQ(old.ReadText("RealName"), "\xcf\xb8\xf2\xf0 \x98") << "Windows-1251 bytes as they stand";
    EXPECT_EQ(old.ReadText("Path"), "%Sys");
}

// The demo database that `make run` uses holds what the demo is meant to show.
TEST_F(RegFileStore, TheDemoDatabaseHoldsItsCases) {
    std::string source = std::string(TARNWELL_SOURCE_DIR) + "/examples/registry.reg";
    RegFileUserDatabase db(source, {});
    int users = 0, without_limit = 0, no_mail = 0, disabled = 0, others = 0, full = 0, big = 0;
    for (const std::string& login : db.ListAccounts()) {
        db.OpenAccount(login);
        if (db.ReadText("Type") != "User") {
            ++others;
            continue;
        }
        ++users;
        EXPECT_FALSE(db.ReadText("RealName").empty()) << login;
        without_limit += !db.HasValue("Limit");
        no_mail += db.HasValue("SendMail") && !db.ReadFlag("SendMail");
        disabled += db.HasValue("AccountEnabled") && !db.ReadFlag("AccountEnabled");
        std::int32_t traffic = db.ReadNumber("ClientSendTraffic");
        full += traffic == -1;
        big += traffic > (1 << 30);
        db.ReadNumber("TimeOnLine");
    }
    EXPECT_GE(users, 20);
    EXPECT_EQ(without_limit, 1);
    EXPECT_EQ(no_mail, 1);
    EXPECT_EQ(disabled, 1);
    EXPECT_EQ(full, 1) << "a counter at 4294967295";
    EXPECT_GE(big, 2) << "counters above 1 GB";
    EXPECT_GE(others, 3);
    EXPECT_EQ(db.ReadServiceImagePath(), "examples/wingate-service");
}

TEST_F(RegFileStore, NewKeysAndValuesFindTheirPlace) {
    std::string path = Write(
        "REGEDIT4\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase\\b]\n"
        "\"Type\"=\"User\"\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase\\a]\n"
        "\"Type\"=\"User\"\n"
        "; a note\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase\\a\\Sub]\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase\\c\\Deep]\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\Other]\n"
        "\"x\"=hex:00,01,\\\n"
        "  02\n"
        "\"y\"=\"last\"");
    {
        RegFileUserDatabase db(path, {});
        EXPECT_EQ(db.ListAccounts(), (std::vector<std::string>{"b", "a", "c"}));
        db.OpenAccount("new");
        db.WriteNumber("Limit", 1);
        db.OpenAccount("a");
        db.WriteText("RealName", "Анна"_cp);
        db.OpenAccount("c");  // exists only through its subkey
        db.WriteNumber("Limit", 2);
        db.Flush();
    }
    EXPECT_EQ(ReadBytes(path),
              "REGEDIT4\n\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase\\b]\n"
              "\"Type\"=\"User\"\n"
              "\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase\\a]\n"
              "\"Type\"=\"User\"\n"
              "\"RealName\"=\"" +
                  std::string("Анна"_cp) +
                  "\"\n"
                  "; a note\n"
                  "\n"
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase\\a\\Sub]\n"
                  "\n"
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase\\c]\n"
                  "\"Limit\"=dword:00000002\n"
                  "\n"
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase\\c\\Deep]\n"
                  "\n"
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase\\new]\n"
                  "\"Limit\"=dword:00000001\n"
                  "\n"
                  "[HKEY_LOCAL_MACHINE\\SYSTEM\\Other]\n"
                  "\"x\"=hex:00,01,\\\n"
                  "  02\n"
                  "\"y\"=\"last\"");
    RegFileUserDatabase db(path, {});
    EXPECT_EQ(db.ListAccounts(), (std::vector<std::string>{"b", "a", "c", "new"}));
}

// A file cut before the end of its last line: with no line end at all, or after the carriage return of
// one. Either way the new key starts on a line of its own and the file written parses again.
TEST_F(RegFileStore, KeysAddedToAFileThatEndsWithoutALineBreak) {
    for (const std::string cut : {"", "\r"}) {
        SCOPED_TRACE("last line ends in '" + cut + "'");
        const std::string head = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase]";
        std::string path = Write(head + cut);
        {
            RegFileUserDatabase db(path, {});
            db.OpenAccount("a");
            db.WriteNumber("Limit", 1);
            db.Flush();
        }
        EXPECT_EQ(ReadBytes(path), head + "\r\n\r\n"
                                          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase\\a]\r\n"
                                          "\"Limit\"=dword:00000001\r\n\r\n");
        RegFileUserDatabase again(path, {});
        again.OpenAccount("a");
        EXPECT_EQ(again.ReadNumber("Limit"), 1);
    }
}

TEST_F(RegFileStore, RewrittenValuesKeepTheirNameAndLineEnding) {
    std::string path = Write(
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase\\a]\r\n"
        "\"LIMIT\" = hex(4):01,00,\\\r\n  00,00\r\n"
        "\"Note\"=\"x\"\r\n"
        "\"Note\"=dword:00000001");
    {
        RegFileUserDatabase db(path, {});
        db.OpenAccount("a");
        EXPECT_EQ(db.ReadNumber("Limit"), 1);
        EXPECT_EQ(db.ReadNumber("Note"), 1) << "the last of two equal names counts";
        db.WriteNumber("Limit", 2);
        db.WriteText("Note", "line one\r\nline two \"quoted\"");
        db.Flush();
    }
    std::string bytes = ReadBytes(path);
    EXPECT_NE(bytes.find("\"LIMIT\" = dword:00000002\r\n\"Note\"=\"x\"\r\n\"Note\"=hex(1):6c,69,6e,65,"),
              std::string::npos)
        << bytes;
    EXPECT_EQ(bytes.back(), '0') << "the last line still has no line break";
    RegFileUserDatabase db(path, {});
    db.OpenAccount("a");
    EXPECT_EQ(db.ReadText("Note"), "line one\r\nline two \"quoted\"");
}

TEST_F(RegFileStore, MissingFileIsAnEmptyRegistry) {
    std::string path = folder_.File("none.reg");
    {
        RegFileUserDatabase db(path, {});
        EXPECT_THROW(db.ListAccounts(), EDatabaseNotFound);
        EXPECT_THROW(db.ReadServiceImagePath(), EServiceNotFound);
        EXPECT_FALSE(db.OpenExistingAccount("a"));
        db.Flush();
    }
    EXPECT_FALSE(std::filesystem::exists(path)) << "nothing written, nothing created";

    // A write creates the file, with every key on the way to the account.
    {
        RegFileUserDatabase db(path, {});
        db.OpenAccount("a");
        db.WriteNumber("Limit", 1);
        db.Flush();
    }
    std::vector<std::u16string> lines = Lines(ReadBytes(path));
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[0], u"Windows Registry Editor Version 5.00\r\n");
    EXPECT_EQ(lines[2], u"[HKEY_LOCAL_MACHINE]\r\n");
    EXPECT_EQ(lines[12], u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase\\a]\r\n");
    EXPECT_EQ(lines[13], u"\"Limit\"=dword:00000001\r\n");
    RegFileUserDatabase db(path, {});
    EXPECT_EQ(db.ListAccounts(), std::vector<std::string>{"a"});
}

TEST_F(RegFileStore, MalformedFilesNameFileAndLineAndAreNeverWritten) {
    const std::string k = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase\\a]\n";
    struct Case {
        std::string text;
        int line;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"", 1, "empty file"},
        {"REGEDIT5\n", 1, "not a registry export file"},
        {"Windows Registry Editor Version 5.00\r\n", 1, "must be UTF-16LE"},
        {std::string("\xFF\xFER\0", 4), 1, "must start with"},
        {std::string("\xFF\xFER\0E", 5), 1, "odd number of bytes"},
        {"REGEDIT4\n\"a\"=\"b\"\n", 2, "a value before the first key"},
        {"REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\n", 3, "missing ']'"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\\\SOFTWARE]\n", 2, "empty key name"},
        {"REGEDIT4\n[]\n", 2, "empty key name"},
        {"REGEDIT4\n[A] x\n", 2, "text after the key"},
        {"REGEDIT4\n[-HKEY_LOCAL_MACHINE\\SOFTWARE]\n", 2, "key deletions"},
        {"REGEDIT4\n" + k + "\"a\"=-\n", 3, "value deletions"},
        {"REGEDIT4\n" + k + "\"a\"=dword:123456789\n", 3, "1 to 8 hex digits"},
        {"REGEDIT4\n" + k + "\"a\"=dword:\n", 3, "1 to 8 hex digits"},
        {"REGEDIT4\n" + k + "\"a\"=dword:12x\n", 3, "1 to 8 hex digits"},
        {"REGEDIT4\n" + k + "\"a\"=\"open\n", 3, "missing closing quote"},
        {"REGEDIT4\n" + k + "\"a\"=\"bad \\n escape\"\n", 3, "unknown escape"},
        {"REGEDIT4\n" + k + "\"a\"=\"b\" c\n", 3, "text after the closing quote"},
        {"REGEDIT4\n" + k + "\"a\" \"b\"\n", 3, "expected '='"},
        {"REGEDIT4\n" + k + "\"a=1\n", 3, "missing closing quote"},
        {"REGEDIT4\n" + k + "\"a\"=12\n", 3, "unrecognised value data"},
        {"REGEDIT4\n" + k + "\"a\"=hex:0g\n", 3, "two digits"},
        {"REGEDIT4\n" + k + "\"a\"=hex:00 01\n", 3, "expected ','"},
        {"REGEDIT4\n" + k + "\"a\"=hex(x):00\n", 3, "hex(type)"},
        {"REGEDIT4\n" + k + "\"a\"=hex(123456789):00\n", 3, "hex(type)"},
        {"REGEDIT4\n" + k + "\"a\"=hex 00\n", 3, "expected ':'"},
        {"REGEDIT4\n" + k + "\"a\"=hex:00,\n\"b\"=\"c\"\n", 3, "hex byte after ','"},
        {"REGEDIT4\n" + k + "\"a\"=hex:00,\\\n", 3, "past the end of the file"},
        {"REGEDIT4\n" + k + "\"a\"=hex:00,\\\n  01,\\\n  0x\n", 5, "two digits"},
        {"REGEDIT4\n" + k + "\"a\"=hex:00,\\\n  01\nsomething\n", 5, "unrecognised line"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string path = Write(c.text);
        std::string prefix = path + "(" + std::to_string(c.line) + "): ";
        RegFileUserDatabase db(path, {});
        try {
            db.ListAccounts();
            ADD_FAILURE() << "accepted";
            continue;
        } catch (const ERegFileError& e) {
            std::string what = e.what();
            EXPECT_EQ(what.substr(0, prefix.size()), prefix) << what;
            EXPECT_NE(what.find(c.message), std::string::npos) << what;
        }
        // Every later operation gives the same error; nothing is written.
        EXPECT_THROW(db.OpenAccount("a"), ERegFileError);
        EXPECT_THROW(db.WriteNumber("Limit", 1), ERegFileError);
        db.Flush();
        EXPECT_EQ(ReadBytes(path), c.text);
    }
}


// Files far below the size limit whose many short lines or deep and many keys would take many times their
// size in memory are refused at the line where they pass the limit; a file at the key limits still reads.
// Keys that hold the same value names in different orders, letter cases and repetitions, read in
// orders that first repeat and then break the pattern of the previous key: every read finds the last
// entry of its name in its own key, whichever spelling the file or the reader uses.
TEST(RegDocumentValues, EveryNameIsFoundInItsOwnKeyWhateverTheOrderAndCase) {
    const std::string text =
        "REGEDIT4\r\n\r\n"
        "[K\\a]\r\n\"Type\"=\"User\"\r\n\"Limit\"=dword:0000000a\r\n\"\xcb\xe8\xec\"=\"one\"\r\n\r\n"
        "[K\\b]\r\n\"Type\"=\"User\"\r\n\"Limit\"=dword:DeadBeeF\r\n\"\xcb\xe8\xec\"=\"two\"\r\n\r\n"
        "[K\\c]\r\n\"LIMIT\"=dword:0000000c\r\n\"type\"=\"Group\"\r\n\"limit\"=dword:0000000d\r\n\r\n"
        "[K\\d]\r\n\"Type\"=\"User\"\r\n;\"Limit\"=dword:00000001\r\n\"q\\\"x\"=\"esc\"\r\n\r\n"
        "[K\\e]\r\n\"Type\"=\"User\"\r\n\"Limit\"=dword:0000000e\r\n\"\xeb\xc8\xcc\"=\"five\"\r\n";
    RegDocument doc = RegDocument::Parse(text, "order.reg");
    const struct {
        const char* key;
        const char* name;
        std::optional<std::uint32_t> number;  // dword entries
        std::optional<std::string> text;      // quoted entries
    } cases[] = {
        {"a", "Type", {}, "User"},
        {"a", "Limit", 10, {}},
        {"a", "\xcb\xe8\xec", {}, "one"},
        {"b", "Type", {}, "User"},
        {"b", "Limit", 0xDEADBEEF, {}},
        {"b", "\xeb\xc8\xcc", {}, "two"},  // Cyrillic names fold too
        {"c", "Type", {}, "Group"},
        {"c", "Limit", 13, {}},  // the last of "LIMIT" and "limit"
        {"c", "\xcb\xe8\xec", {}, {}},
        {"d", "Type", {}, "User"},
        {"d", "Limit", {}, {}},  // commented out
        {"d", "Q\"X", {}, "esc"},
        {"e", "TYPE", {}, "User"},
        {"e", "limit", 14, {}},
        {"e", "\xcb\xe8\xec", {}, "five"},
        {"e", "Missing", {}, {}},
    };
    auto check = [&](const auto& c) {
        SCOPED_TRACE(std::string(c.key) + " " + c.name);
        int key = doc.FindKey(RegDocument::kRoot, std::string("K\\") + c.key);
        ASSERT_NE(key, RegDocument::kNoKey);
        EXPECT_EQ(doc.DwordEntry(key, c.name), c.number);
        EXPECT_EQ(doc.QuotedText(key, c.name), c.text);
        EXPECT_EQ(doc.HasValue(key, c.name), c.number || c.text);
        EXPECT_EQ(doc.Value(key, c.name).has_value(), c.number || c.text);
    };
    for (int round = 0; round < 2; ++round) {
        for (const auto& c : cases) check(c);
    }
    for (auto it = std::rbegin(cases); it != std::rend(cases); ++it) check(*it);

    // A name the file did not hold until it was written is found by every spelling.
    int a = doc.FindKey(RegDocument::kRoot, "K\\a");
    doc.SetNumber(a, "Fresh", 5);
    EXPECT_EQ(doc.DwordEntry(a, "FRESH"), 5u);
    EXPECT_FALSE(doc.HasValue(doc.FindKey(RegDocument::kRoot, "K\\b"), "fresh"));
}

// Line feeds are found in the file's bytes: in UTF-16 only a 0x0A byte at a unit's start with a zero
// after it ends a line. Units whose bytes hold 0x0A otherwise (U+010A, U+0A0A, U+0A41) stay inside their
// line, also where the next unit's first byte is a zero (U+0A41 U+0100: the bytes 0A 00 at an odd
// place); a line that ends in a bare line feed, or the file's last line without one, still ends.
TEST(RegDocumentLines, UnitsHoldingALineFeedByteDoNotEndTheLine) {
    const std::u16string text = u"Windows Registry Editor Version 5.00\r\n\r\n[K\\a]\r\n"
                                u"\"A\"=\"\u010A\u0A0A\u0A41x\u0A41\u0100y\"\r\n\"B\"=dword:00000001\n\"\u0A0A\"=\"c\"";
    const std::string bytes = "\xFF\xFE" + Utf16LeBytes(text);
    const std::size_t pair = bytes.find(std::string("\x41\x0A\x00\x01", 4));  // U+0A41 U+0100
    ASSERT_TRUE(pair != std::string::npos && pair % 2 == 0);                     // its 0A 00 at an odd place
    RegDocument doc = RegDocument::Parse(bytes, "units.reg");
    EXPECT_EQ(doc.Render(), bytes);
    const int key = doc.FindKey(RegDocument::kRoot, "K\\a");
    EXPECT_EQ(doc.QuotedText(key, "A"), "???x??y");
    EXPECT_EQ(doc.DwordEntry(key, "B"), 1u);
}

TEST(RegDocumentLimits, TooManyLinesOrKeysAreRefused) {
    const std::size_t lines = RegDocument::kMaxLines;
    const std::size_t keys = RegDocument::kMaxKeys;
    auto repeat = [](std::string_view piece, std::size_t times) {
        std::string out;
        out.reserve(piece.size() * times);
        for (std::size_t i = 0; i < times; ++i) out += piece;
        return out;
    };
    const std::string head = "REGEDIT4\r\n[A]\r\n";  // two lines
    const std::string deep = "REGEDIT4\r\n[A" + repeat("\\B", keys - 1);
    const std::string flat = "REGEDIT4\r\n" + repeat("[A]\r\n", keys);
    const struct {
        const char* name;
        std::string text;
        std::size_t failing_line;  // 0: accepted
        const char* message;
    } cases[] = {
        {"one blank line more", head + repeat("\r\n", lines - 1), lines + 1, "lines"},
        {"continued hex data", head + "\"a\"=hex:00,\\\r\n" + repeat("  00,\\\r\n", lines) + "  00\r\n", lines + 1,
         "lines"},
        {"a path of as many keys as allowed", deep + "]\r\n", 0, ""},
        {"one key deeper", deep + "\\B]\r\n", 2, "keys"},
        {"as many key lines as allowed", flat, 0, ""},
        {"one key line more", flat + "[A]\r\n", keys + 2, "keys"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            RegDocument::Parse(c.text, "big.reg");
            EXPECT_EQ(c.failing_line, 0u) << "accepted";
        } catch (const ERegFileError& e) {
            ASSERT_NE(c.failing_line, 0u) << e.what();
            std::string prefix = "big.reg(" + std::to_string(c.failing_line) + "): more than ";
            EXPECT_EQ(std::string(e.what()).rfind(prefix, 0), 0u) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

// Garbage and damaged files: never a crash, and whatever parses renders back to the same bytes.
TEST_F(RegFileStore, DamagedInputIsRefusedOrKeptExactly) {
    std::mt19937 random(20261210);
    std::vector<std::string> seeds = {ReadBytes(kVersion5), ReadBytes(kRegedit4)};
    const std::string alphabet = "[]\\\"@=:,;-()x0aAfF \t\r\n\x98\xFF\xFE";
    int parsed = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = seeds[static_cast<std::size_t>(round) % seeds.size()];
        int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            std::size_t at = random() % (bytes.size() + 1);
            switch (random() % 4) {
                case 0:
                    if (at < bytes.size()) bytes[at] = alphabet[random() % alphabet.size()];
                    break;
                case 1:
                    bytes.insert(at, 1, alphabet[random() % alphabet.size()]);
                    break;
                case 2:
                    bytes.erase(at, random() % 8);
                    break;
                default:
                    bytes.resize(at);
                    break;
            }
        }
        try {
            RegDocument doc = RegDocument::Parse(bytes, "damaged.reg");
            EXPECT_EQ(doc.Render(), bytes);
            for (const std::string& login : doc.SubkeyNames(doc.FindKey(RegDocument::kRoot, "HKEY_LOCAL_MACHINE"))) {
                doc.SetNumber(doc.CreateKey(RegDocument::kRoot, "HKEY_LOCAL_MACHINE\\" + login), "Limit", round);
            }
            RegDocument again = RegDocument::Parse(doc.Render(), "damaged.reg");
            EXPECT_EQ(again.Render(), doc.Render());
            ++parsed;
        } catch (const ERegFileError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("damaged.reg(", 0), 0u) << e.what();
        }
    }
    EXPECT_GT(parsed, 100) << "the damage should leave a fair share of files readable";
}

TEST_F(RegFileStore, AFailedReplacementIsReportedAndTheDestructorFlushesAsALastResort) {
    std::string path = Copy(kRegedit4);
    {
        RegFileUserDatabase db(path, {});
        db.OpenAccount("admins");
        db.WriteNumber("Limit", 5);
        // No Flush: the store's end writes what the batch changed.
    }
    RegFileUserDatabase check(path, {});
    check.OpenAccount("admins");
    EXPECT_EQ(check.ReadNumber("Limit"), 5);

    std::string gone = folder_.File("gone");
    std::filesystem::create_directory(gone);
    std::string inside = (std::filesystem::path(gone) / "registry.reg").string();
    WriteBytes(inside, ReadBytes(kRegedit4));
    RegFileUserDatabase db(inside, {});
    db.OpenAccount("admins");
    db.WriteNumber("Limit", 6);
    std::filesystem::remove_all(gone);
    try {
        db.Flush();
        FAIL() << "replaced a file in a removed folder";
    } catch (const ERegFileError& e) {
        EXPECT_EQ(std::string(e.what()).rfind(inside + ": ", 0), 0u) << e.what();
    }
}

}  // namespace
}  // namespace tarnwell::testing
