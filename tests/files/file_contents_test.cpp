// Small files read and replaced whole: a missing file is no error, everything else that keeps the bytes
// from being read is, with the file's name in the message, and nothing that is not a regular file is
// waited on.

#include "files/file_contents.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <string>

#include "support/temp_folder.h"

namespace tarnwell {
namespace {

using testing_support::TempFolder;

TEST(ReadFileIfExists, ReadsWithinTheLimitAndTellsAMissingFile) {
    TempFolder folder;
    const std::string path = folder.Write("settings.ini", "[Set]\r\nLastPath=0\r\n").string();
    std::string bytes = "old";
    EXPECT_TRUE(ReadFileIfExists(path, 19, bytes));
    EXPECT_EQ(bytes, "[Set]\r\nLastPath=0\r\n");
    EXPECT_FALSE(ReadFileIfExists(folder.File("missing.ini"), 19, bytes));
    // The name cut short at a NUL byte would be the file above.
    EXPECT_THROW(ReadFileIfExists(path + std::string(1, '\0') + ".bak", 19, bytes), EFileAccessError);
    try {
        ReadFileIfExists(path, 18, bytes);
        FAIL() << "read past the limit";
    } catch (const EFileAccessError& e) {
        EXPECT_EQ(std::string(e.what()), path + ": file too large (more than 18 bytes)");
    }
}

TEST(ReplaceFileDurably, ReplacesTheContentAndNamesTheFileOnFailure) {
    TempFolder folder;
    const std::string path = folder.Write("registry.reg", "old").string();
    ReplaceFileDurably(path, "new content");
    std::string bytes;
    ASSERT_TRUE(ReadFileIfExists(path, 100, bytes));
    EXPECT_EQ(bytes, "new content");
    const std::string nowhere = folder.File("missing") + "/registry.reg";
    try {
        ReplaceFileDurably(nowhere, "x");
        FAIL() << "wrote into a missing folder";
    } catch (const EFileAccessError& e) {
        EXPECT_EQ(std::string(e.what()).rfind(nowhere + ": cannot create a temporary file: ", 0), 0u) << e.what();
    }
}

#ifndef _WIN32

// A named pipe would block an ordinary open until some writer came: the program would hang at start-up.
TEST(ReadFileIfExists, ANamedPipeIsRefusedWithoutWaiting) {
    TempFolder folder;
    const std::string path = folder.File("registry.reg");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    std::string bytes;
    try {
        ReadFileIfExists(path, 1 << 20, bytes);
        FAIL() << "read a pipe";
    } catch (const EFileAccessError& e) {
        EXPECT_EQ(std::string(e.what()), path + ": not a regular file");
    }
}

#endif

}  // namespace
}  // namespace tarnwell
