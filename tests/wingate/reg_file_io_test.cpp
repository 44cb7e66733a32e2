// Reading the database file: something that is not a regular file in its place is refused at once.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <string>

#include "store_backends.h"
#include "wingate/reg_file_io.h"
#include "wingate/user_database.h"

namespace tarnwell::testing {
namespace {

#ifndef _WIN32

// A named pipe would block an ordinary open until some writer came: the program would hang at start-up.
TEST(ReadRegFile, ANamedPipeIsRefusedWithoutWaiting) {
    TempFolder folder;
    const std::string path = folder.File("registry.reg");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    std::string bytes;
    try {
        ReadRegFile(path, 1 << 20, bytes);
        FAIL() << "read a pipe";
    } catch (const ERegFileError& e) {
        EXPECT_EQ(std::string(e.what()), path + ": not a regular file");
    }
}

#endif

}  // namespace
}  // namespace tarnwell::testing
