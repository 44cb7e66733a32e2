// A batch is replaced as a whole: a process killed at any moment of its writing leaves the old file or the
// new one, never a mix and never a damaged file, a batch it finished stays written, and at most one
// temporary file is left, which the next save removes.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "store_backends.h"
#include "support/run_process.h"
#include "wingate/reg_document.h"
#include "wingate/reg_file_user_database.h"

namespace tarnwell::testing {
namespace {

using testing_support::RunningProcess;

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
    const std::string path = folder.File("registry.reg");
    {
        RegFileUserDatabase db(path, {});
        for (int i = 0; i < kAccounts; ++i) {
            db.OpenAccount(Login(i));
            db.WriteText("RealName", "Name of user number " + std::to_string(i));
            db.WriteNumber("Limit", 0);
        }
        db.Flush();
    }

    TempFolder signals;  // where the writer reports its first finished batch
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::filesystem::path first_done = signals / ("first-batch-" + std::to_string(round));
        RunningProcess writer(TARNWELL_BATCH_WRITER, {path, std::to_string(kAccounts), first_done.string()},
                              signals / ("writer-" + std::to_string(round) + ".log"));
        // The writer is killed only after it has reported a finished batch, however slow the disk: so every
        // kill falls on a later batch, and the finished one must survive it.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!std::filesystem::exists(first_done)) {
            ASSERT_FALSE(writer.Ended()) << "the writer ended on its own:\n" << writer.Output();
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "no batch finished within 60 s";
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 60000));
        writer.Kill();

        RegDocument doc = RegDocument::Parse(ReadBytes(path), path);
        int base =
            doc.FindKey(RegDocument::kRoot, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase");
        ASSERT_EQ(doc.SubkeyNames(base).size(), static_cast<std::size_t>(kAccounts));
        std::set<std::string> limits;
        for (int i = 0; i < kAccounts; ++i) {
            const int key = doc.FindKey(base, Login(i));
            auto value = doc.Value(key, "Limit");
            ASSERT_TRUE(value.has_value());
            ASSERT_EQ(value->bytes.size(), 4u);
            limits.insert(value->bytes);
            auto name = doc.Value(key, "RealName");
            ASSERT_TRUE(name.has_value());
            ASSERT_EQ(doc.TextOf(*name), "Name of user number " + std::to_string(i));
        }
        ASSERT_EQ(limits.size(), 1u) << "accounts of two different batches";
        std::uint32_t batch = 0;
        for (int k = 3; k >= 0; --k) batch = batch << 8 | static_cast<unsigned char>(limits.begin()->at(k));
        ASSERT_GE(batch, 1u) << "the batch the writer reported finished is lost";
        ASSERT_LE(Leftovers(folder).size(), 1u);
    }

    RegFileUserDatabase db(path, {});
    db.OpenAccount(Login(0));
    db.WriteNumber("Limit", 0);
    db.Flush();
    EXPECT_EQ(Leftovers(folder), std::vector<std::string>{});
}

}  // namespace
}  // namespace tarnwell::testing
