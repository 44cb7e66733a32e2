// The writer that the kill test ends at random moments: record after record, each on a day of its own,
// every account's counters set to the record's number (every fifth record a closing one), until it is
// killed. Once its first record is in place it creates the file named by its third argument, so that the
// test kills it only while it writes records that follow a finished one.
//
//     history_writer <history file> <accounts> <first record done file>

#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

#include "history/history_recorder.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: history_writer <history file> <accounts> <first record done file>\n");
        return 2;
    }
    try {
        using namespace tarnwell;
        HistoryDatabase history(argv[1]);
        const int accounts = std::stoi(argv[2]);
        const std::int64_t first = history.Connection().QueryNumber("SELECT count(*) FROM refresh").value_or(0) + 1;
        for (std::int64_t record = first;; ++record) {
            StatisticsFigures figures(static_cast<std::size_t>(accounts));
            for (int i = 0; i < accounts; ++i) {
                UserFigures& user = figures[static_cast<std::size_t>(i)];
                for (auto& traffic : user.traffic) traffic = record;
                user.time_on_line = record;
                user.account = "user" + std::to_string(i);
            }
            const RecordTime time{1767225600 + record * 86400, 20000000 + static_cast<int>(record)};
            RecordFigures(history, figures, time, record % 5 == 0 ? RecordKind::Closing : RecordKind::Hourly);
            if (record == first) std::ofstream(argv[3], std::ios::binary) << "1";
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "history_writer: %s\n", e.what());
        return 1;
    }
}
