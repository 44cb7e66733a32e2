// A batch is replaced as a whole: a process killed at any moment of its writing leaves the old file or the
// new one, never a mix and never a damaged file, and at most one temporary file, which the next save
// removes.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "store_backends.h"
#include "wingate/reg_document.h"
#include "wingate/reg_file_user_database.h"

namespace tarnwell::testing {
namespace {

#ifndef _WIN32

constexpr int kAccounts = 300;

std::string Login(int i) {
    return "user" + std::to_string(i);
}

// Everything in the folder but the database itself.
std::vector<std::string> Leftovers(const TempFolder& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        if (entry.path().filename() != "registry.reg") names.push_back(entry.path().filename().string());
    }
    return names;
}

TEST(AtomicWrite, KillDuringABatchLeavesTheOldOrTheNewFile) {
    TempFolder folder;
    std::string path = folder.File("registry.reg");
    {
        RegFileUserDatabase db(path, {});
        for (int i = 0; i < kAccounts; ++i) {
            db.OpenAccount(Login(i));
            db.WriteText("RealName", "Name of user number " + std::to_string(i));
            db.WriteNumber("Limit", 0);
        }
        db.Flush();
    }

    std::mt19937 random(7);
    std::set<int> seen;
    for (int round = 0; round < 40; ++round) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Batch after batch, each writing the same new number into every account.
            for (int batch = 1;; ++batch) {
                RegFileUserDatabase db(path, {});
                for (int i = 0; i < kAccounts; ++i) {
                    db.OpenAccount(Login(i));
                    db.WriteNumber("Limit", batch);
                }
                db.Flush();
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(2000 + random() % 60000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);

        RegDocument doc = RegDocument::Parse(ReadBytes(path), path);
        int base =
            doc.FindKey(RegDocument::kRoot, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase");
        ASSERT_EQ(doc.SubkeyNames(base).size(), static_cast<std::size_t>(kAccounts));
        std::set<std::string> limits;
        for (int i = 0; i < kAccounts; ++i) {
            auto value = doc.Value(doc.FindKey(base, Login(i)), "Limit");
            ASSERT_TRUE(value.has_value());
            limits.insert(value->bytes);
        }
        ASSERT_EQ(limits.size(), 1u) << "round " << round << ": accounts of two different batches";
        seen.insert(static_cast<unsigned char>(limits.begin()->at(0)));
        ASSERT_LE(Leftovers(folder).size(), 1u) << "round " << round;
    }
    EXPECT_GT(seen.size(), 1u) << "the child never got a batch written";

    RegFileUserDatabase db(path, {});
    db.OpenAccount(Login(0));
    db.WriteNumber("Limit", 0);
    db.Flush();
    EXPECT_EQ(Leftovers(folder), std::vector<std::string>{});
}

#endif

}  // namespace
}  // namespace tarnwell::testing
