#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "text/program_folder.h"
#include "wingate/user_database.h"

namespace tarnwell::testing {
namespace {

void SetVariable(const char* value) {
#ifdef _WIN32
    _putenv_s("TARNWELL_REGISTRY", value == nullptr ? "" : value);
#else
    if (value == nullptr) {
        unsetenv("TARNWELL_REGISTRY");
    } else {
        setenv("TARNWELL_REGISTRY", value, 1);
    }
#endif
}

class Location : public ::testing::Test {
protected:
    void TearDown() override { SetVariable(nullptr); }
};

TEST_F(Location, TheVariableNamesTheFileMadeAbsoluteAtOnce) {
    SetVariable("demo/registry.reg");
    UserDatabaseLocation location = UserDatabaseLocation::FromEnvironment();
    EXPECT_FALSE(location.IsRegistry());
    EXPECT_EQ(std::filesystem::path(location.FilePath()), std::filesystem::current_path() / "demo" / "registry.reg");
}

TEST_F(Location, WithoutTheVariable) {
    SetVariable(nullptr);
    UserDatabaseLocation location = UserDatabaseLocation::FromEnvironment();
#ifdef _WIN32
    EXPECT_TRUE(location.IsRegistry());
#else
    EXPECT_FALSE(location.IsRegistry());
    EXPECT_EQ(location.FilePath(), JoinPath(ProgramFolder(), "registry.reg"));
#endif
}

TEST_F(Location, OpensTheFileStoreOnTheFile) {
    auto db = UserDatabaseLocation::RegFile(std::string(TARNWELL_TEST_DATA) + "/db_roundtrip_regedit4.reg").Open();
    EXPECT_EQ(db->ListAccounts().size(), 2u);
}

}  // namespace
}  // namespace tarnwell::testing
