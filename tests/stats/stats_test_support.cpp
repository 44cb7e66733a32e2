#include "stats_test_support.h"

#include <cstdio>
#include <fstream>

#include "stats/statistics_table.h"
#include "text/cp1251.h"

namespace tarnwell::test {

void RecordingNotifier::ShowMessage(std::string_view text) {
    messages.push_back(Cp1251ToUtf8(text));
}

std::unique_ptr<TUserDatabase> OpenFixture(const std::string& name) {
    return UserDatabaseLocation::RegFile(std::string(TARNWELL_TEST_DATA) + "/" + name).Open();
}

std::unique_ptr<TTableGrid> MakeStatisticsGrid() {
    auto grid = std::make_unique<TTableGrid>(stat_col::Count, 5);
    grid->SetFixedRows(1);
    return grid;
}

std::vector<std::string> RowTexts(const TTableGrid& grid, int row) {
    std::vector<std::string> texts;
    for (int col = 0; col < stat_col::Count; ++col) texts.push_back(Cp1251ToUtf8(grid.GetCellEx(col, row)));
    return texts;
}

namespace {

std::string ValueLine(const std::string& name, const RegValue& value) {
    if (!value.is_number) return "\"" + name + "\"=\"" + Utf8ToCp1251(value.text) + "\"";
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(static_cast<std::uint32_t>(value.number)));
    return "\"" + name + "\"=dword:" + hex;
}

}  // namespace

TempRegFile::TempRegFile(const std::vector<std::pair<std::string, Account>>& accounts) {
    static const char* kRequired[] = {"ClientSendTraffic",    "NonClientRecvTraffic", "ClientRecvTraffic",
                                      "NonClientSendTraffic", "TimeOnLine",           "OpeningBalanceLo",
                                      "ClosingBalanceLo"};
    const std::string db = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase";
    std::string text = "REGEDIT4\r\n\r\n[" + db + "]\r\n\r\n";
    for (const auto& [login, given] : accounts) {
        Account values = given;
        values.emplace("Type", "User");
        for (const char* name : kRequired) values.emplace(name, 0);
        text += "[" + db + "\\" + login + "]\r\n";
        for (const auto& [name, value] : values) {
            if (!value.absent) text += ValueLine(name, value) + "\r\n";
        }
        text += "\r\n";
    }
    std::ofstream(path_, std::ios::binary) << text;
}

std::unique_ptr<TUserDatabase> TempRegFile::Open() const {
    return UserDatabaseLocation::RegFile(path_.string()).Open();
}

}  // namespace tarnwell::test
