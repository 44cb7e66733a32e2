// The writer that the kill test ends at random moments: batch after batch, it writes the batch's number
// into the value "Limit" of every account of the registry export file, until it is killed. Once its first
// batch is in place it creates the file named by its third argument, so that the test kills it only
// while it writes batches that follow a finished one.
//
//     batch_writer <registry file> <accounts> <first batch done file>

#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

#include "wingate/reg_file_user_database.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: batch_writer <registry file> <accounts> <first batch done file>\n");
        return 2;
    }
    try {
        const std::string path = argv[1];
        const int accounts = std::stoi(argv[2]);
        for (int batch = 1;; ++batch) {
            tarnwell::RegFileUserDatabase db(path, {});
            for (int i = 0; i < accounts; ++i) {
                db.OpenAccount("user" + std::to_string(i));
                db.WriteNumber("Limit", batch);
            }
            db.Flush();
            if (batch == 1) std::ofstream(argv[3], std::ios::binary) << "1";
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "batch_writer: %s\n", e.what());
        return 1;
    }
}
