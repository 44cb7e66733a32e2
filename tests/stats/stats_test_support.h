#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "grid/table_grid.h"
#include "support/temp_folder.h"
#include "text/user_notifier.h"
#include "wingate/user_database.h"

namespace tarnwell::test {

// Messages shown through the notifier, in UTF-8.
class RecordingNotifier : public UserNotifier {
public:
    void ShowMessage(std::string_view text) override;
    std::vector<std::string> messages;
};

// A store on a file of tests/data.
std::unique_ptr<TUserDatabase> OpenFixture(const std::string& name);

// The statistics grid as the main window creates it: 11 x 5, one fixed row.
std::unique_ptr<TTableGrid> MakeStatisticsGrid();

// Cells of a row, columns 0 to 10, in UTF-8.
std::vector<std::string> RowTexts(const TTableGrid& grid, int row);

// A registry export with one account per entry, written to a fresh temporary file. Every value the
// statistics loader needs is present (0 unless given); "Limit" and "SendMail" only when given. A value
// given as text is written as a string (UTF-8 here, Windows-1251 in the file); RegValue::Absent() leaves
// a value out.
struct RegValue {
    RegValue(std::int64_t number) : is_number(true), number(number) {}
    RegValue(const char* text) : text(text) {}
    static RegValue Absent() {
        RegValue value("");
        value.absent = true;
        return value;
    }
    bool absent = false;
    bool is_number = false;
    std::int64_t number = 0;
    std::string text;
};
using Account = std::map<std::string, RegValue>;
class TempRegFile {
public:
    explicit TempRegFile(const std::vector<std::pair<std::string, Account>>& accounts);
    std::unique_ptr<TUserDatabase> Open() const;

private:
    testing_support::TempFolder folder_;
    std::filesystem::path path_ = folder_ / "registry.reg";
};

}  // namespace tarnwell::test
