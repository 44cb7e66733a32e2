// The README's table of settings.ini against the program: every key that ReadSet and SaveSet know is in
// the table and no other, each under its section, with the missing-key value and the form default the
// program really gives.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "form/form_controls.h"
#include "settings/password_store.h"
#include "settings/settings.h"
#include "support/temp_folder.h"
#include "text/cp1251.h"

namespace tarnwell {
namespace {

namespace fs = std::filesystem;

using Key = std::pair<std::string, std::string>;  // section, key
using Values = std::map<Key, std::string>;        // Windows-1251 values

// The texts between backticks in a table cell.
std::vector<std::string> CodeSpans(const std::string& cell) {
    std::vector<std::string> spans;
    for (std::size_t open = cell.find('`'); open != std::string::npos; open = cell.find('`', open + 1)) {
        std::size_t close = cell.find('`', open + 1);
        if (close == std::string::npos) break;
        spans.push_back(cell.substr(open + 1, close - open - 1));
        open = close;
    }
    return spans;
}

struct Row {
    std::vector<std::string> sections;
    std::string key, missing, form_default;  // values as the file holds them (Windows-1251)
};

// A value cell: its first code span, or empty text when it has none ("empty").
std::string CellValue(const std::string& cell) {
    std::vector<std::string> spans = CodeSpans(cell);
    return spans.empty() ? std::string() : Utf8ToCp1251(spans.front());
}

std::vector<Row> ReadmeTable() {
    std::ifstream in(fs::path(TARNWELL_SOURCE_DIR) / "README.md", std::ios::binary);
    std::vector<Row> rows;
    bool in_table = false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("| Section | Key | Control | Meaning | Values | Missing key | Form default |", 0) == 0) {
            in_table = true;
            continue;
        }
        if (!in_table || line.rfind("|---", 0) == 0) continue;
        if (line.rfind("|", 0) != 0) break;
        std::vector<std::string> cells;
        for (std::size_t at = 1, bar; (bar = line.find('|', at)) != std::string::npos; at = bar + 1) {
            cells.push_back(line.substr(at, bar - at));
        }
        EXPECT_EQ(cells.size(), 7u) << line;
        if (cells.size() != 7) continue;
        std::vector<std::string> keys = CodeSpans(cells[1]);
        EXPECT_EQ(keys.size(), 1u) << line;
        rows.push_back({CodeSpans(cells[0]), keys.empty() ? "" : keys[0], CellValue(cells[5]), CellValue(cells[6])});
    }
    return rows;
}

Values Column(const std::vector<Row>& rows, std::string Row::*value) {
    Values values;
    for (const Row& row : rows) {
        for (const std::string& section : row.sections) {
            EXPECT_TRUE(values.emplace(Key{section, row.key}, row.*value).second) << section << " " << row.key;
        }
    }
    return values;
}

// Every key of a settings file with its value, as the program wrote it.
Values FileValues(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    Values values;
    std::string section;
    for (std::string line; std::getline(in, line);) {
        EXPECT_TRUE(!line.empty() && line.back() == '\r') << "no CR LF: " << line;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("[", 0) == 0) {
            section = line.substr(1, line.find(']') - 1);
        } else if (std::size_t eq = line.find('='); eq != std::string::npos) {
            EXPECT_TRUE(values.emplace(Key{section, line.substr(0, eq)}, line.substr(eq + 1)).second) << line;
        }
    }
    return values;
}

class SettingsReference : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder_ / "in");
        fs::create_directories(folder_ / "out");
        rows_ = ReadmeTable();
        ASSERT_FALSE(rows_.empty()) << "no settings table in README.md";
    }
    // What SaveSet writes from the controls, into a new file.
    Values Saved(FormControls& form) {
        SaveSet(form, (folder_ / "out").string());
        return FileValues(folder_ / "out" / "settings.ini");
    }

    // What ReadSet makes of a file (written as it stands), saved again.
    Values ReadAndSaved(const std::string& file) {
        std::ofstream(folder_ / "in" / "settings.ini", std::ios::binary) << file;
        FormControls form;
        TestNotifier notifier;
        EXPECT_TRUE(ReadSet(
            form, notifier, [](const std::string&) {}, (folder_ / "in").string()));
        EXPECT_EQ(notifier.shown, 0);
        return Saved(form);
    }

    struct TestNotifier : UserNotifier {
        void ShowMessage(std::string_view) override { ++shown; }
        int shown = 0;
    };

    testing_support::TempFolder folder_;
    std::vector<Row> rows_;
};

// Names each difference: a key on one side only, or a value the program gives otherwise.
void ExpectSame(const Values& readme, const Values& program, const char* what) {
    for (const auto& [key, value] : readme) {
        auto found = program.find(key);
        if (found == program.end()) {
            ADD_FAILURE() << "README names [" << key.first << "] " << key.second << ", which the program does not know";
        } else {
            EXPECT_EQ(Cp1251ToUtf8(value), Cp1251ToUtf8(found->second))
                << what << " of [" << key.first << "] " << key.second << ": README, then program";
        }
    }
    for (const auto& [key, value] : program) {
        if (readme.count(key) == 0)
            ADD_FAILURE() << "[" << key.first << "] " << key.second << " is missing from README";
    }
}

// A fresh window saved: every key SaveSet writes, with the form's defaults.
TEST_F(SettingsReference, TableHoldsEveryKeyWithItsFormDefault) {
    FormControls form;
    ExpectSame(Column(rows_, &Row::form_default), Saved(form), "form default");
}

// A file without any of the keys: each control gets its missing-key value.
TEST_F(SettingsReference, MissingKeysReadAsTheTableSays) {
    ExpectSame(Column(rows_, &Row::missing), ReadAndSaved("[other]\r\nkey=1\r\n"), "missing key");
}

// Every key of the table with a value that is neither its missing-key value nor its default: ReadSet takes
// each one under the table's name, so saving gives the file back.
TEST_F(SettingsReference, ReadSetKnowsEveryKeyOfTheTable) {
    const std::map<std::string, std::string> numbers = {
        {"NormKB", "0"}, {"Razmernost", "2"}, {"Tochnost", "7"}, {"DefaultLim", "4321"}, {"Security", "2"}};
    Values written;
    std::map<std::string, std::string> sections;
    for (const auto& [key, missing] : Column(rows_, &Row::missing)) {
        std::string value;
        if (auto number = numbers.find(key.second); number != numbers.end()) {
            value = number->second;
        } else if (missing == "1") {
            value = "0";  // a flag
        } else {
            value = "v-" + key.second;  // a text
        }
        written[key] = value;
        sections[key.first] += key.second + "=" + value + "\r\n";
    }
    std::string file;
    for (const auto& [section, lines] : sections) file += "[" + section + "]\r\n" + lines;
    Values saved = ReadAndSaved(file);
    // The password goes back protected where the system protects it.
    if (auto password = saved.find({"mail", "Password"}); password != saved.end()) {
        password->second = PasswordFromStore(password->second);
    }
    ExpectSame(written, saved, "value read");
}

}  // namespace
}  // namespace tarnwell
