// The same behaviour, checked against every store: the registry export file in both formats and, in the
// Windows build, the registry itself.

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "store_backends.h"
#include "text/cp1251_literal.h"
#include "wingate/user_database.h"

namespace tarnwell::testing {
namespace {

using namespace literals;

struct BackendParam {
    const char* name;
    std::function<std::unique_ptr<StoreBackend>()> make;
    friend void PrintTo(const BackendParam& param, std::ostream* out) { *out << param.name; }
};

class UserDatabaseStore : public ::testing::TestWithParam<BackendParam> {
protected:
    void SetUp() override { backend_ = GetParam().make(); }

    std::unique_ptr<StoreBackend> backend_;
};

const std::string kAlice = "UserDatabase\\alice";
const std::string kBoris = "UserDatabase\\boris";
const std::string kGroup = std::string("UserDatabase\\") + std::string("Группа"_cp);
const std::string kService = "Services\\WinGateEngine";

template <typename F>
std::string ErrorOf(F&& f) {
    try {
        f();
    } catch (const EUserDatabaseError& e) {
        return e.what();
    }
    return "no error";
}

TEST_P(UserDatabaseStore, ListsTheSubkeysOfTheDatabaseKeyOnly) {
    backend_->Seed({Key("UserDatabase"), Text(kAlice, "Type", "User"), Key(kAlice + "\\Settings"),
                    Text(kBoris, "Type", "User"), Key(kGroup), Text(kService, "ImagePath", "wingate")});
    auto db = backend_->Open();
    EXPECT_EQ(db->ListAccounts(), (std::vector<std::string>{"alice", "boris", std::string("Группа"_cp)}));
}

TEST_P(UserDatabaseStore, DatabaseKeyWithoutSubkeysListsNothing) {
    backend_->Seed({Key("UserDatabase")});
    EXPECT_TRUE(backend_->Open()->ListAccounts().empty());
}

TEST_P(UserDatabaseStore, MissingDatabaseKeyFailsTheListingAndIsNotCreated) {
    backend_->Seed({Text(kService, "ImagePath", "wingate")});
    {
        auto db = backend_->Open();
        EXPECT_THROW(db->ListAccounts(), EDatabaseNotFound);
        db->Flush();
    }
    EXPECT_FALSE(backend_->KeyExists("UserDatabase"));
}

// What each read gives for each kind of stored value. A string fits the 4-byte number buffer when it has
// at most 3 characters: then its type is wrong, otherwise it cannot be got at all.
TEST_P(UserDatabaseStore, ReadsEachKindOfValue) {
    const std::string get = "Failed to get data for '<name>'";
    const std::string type = "Invalid data type for '<name>'";
    backend_->Seed({
        Text(kAlice, "Type", "User"),
        Text(kAlice, "RealName", std::string("Иванов Иван"_cp)),
        Text(kAlice, "Short", "abc"),
        Text(kAlice, "Empty", ""),
        {kAlice, "Expand", 2, "%SystemRoot%"},
        {kAlice, "ExpandShort", 2, "ab"},
        Dword(kAlice, "Count", 10),
        Dword(kAlice, "Zero", 0),
        Dword(kAlice, "AllOnes", 0xFFFFFFFFu),
        Dword(kAlice, "Lowest", 0x80000000u),
        {kAlice, "Bin4", 3, std::string("\x01\x00\x00\x00", 4)},
        {kAlice, "Bin8", 3, std::string(8, '\x01')},
        {kAlice, "Short dword", 4, std::string("\x01\x00", 2)},
    });
    struct Case {
        const char* name;
        bool has;
        std::string text;    // ReadText's result, or its error
        std::string number;  // ReadNumber's result as decimal text, or its error
    };
    const std::vector<Case> cases = {
        {"Type", true, "User", get},
        {"RealName", true, std::string("Иванов Иван"_cp), get},
        {"Short", true, "abc", type},
        {"Empty", true, "", type},
        {"Expand", true, "%SystemRoot%", get},
        {"ExpandShort", true, "ab", type},
        {"Count", true, type, "10"},
        {"Zero", true, type, "0"},
        {"AllOnes", true, type, "-1"},
        {"Lowest", true, type, std::to_string(INT_MIN)},
        {"Bin4", true, type, type},
        {"Bin8", true, type, get},
        {"Short dword", true, type, type},
        {"Missing", false, "", get},
    };
    auto db = backend_->Open();
    db->OpenAccount("alice");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto expect = [&](const std::string& wanted, const std::function<std::string()>& read) {
            std::string pattern = wanted;
            if (auto at = pattern.find("<name>"); at != std::string::npos) pattern.replace(at, 6, c.name);
            std::string got;
            try {
                got = read();
            } catch (const EUserDatabaseError& e) {
                got = e.what();
            }
            EXPECT_EQ(got, pattern);
        };
        EXPECT_EQ(db->HasValue(c.name), c.has);
        expect(c.text, [&] { return db->ReadText(c.name); });
        expect(c.number, [&] { return std::to_string(db->ReadNumber(c.name)); });
        // The same by a prepared name.
        const PreparedName prepared = db->Prepare(c.name);
        EXPECT_EQ(db->HasValue(prepared), c.has);
        expect(c.text, [&] { return db->ReadText(prepared); });
        expect(c.number, [&] { return std::to_string(db->ReadNumber(prepared)); });
    }
    // Counts read the same 32 bits unsigned, from every store.
    EXPECT_EQ(db->ReadCount("Count"), 10u);
    EXPECT_EQ(db->ReadCount("AllOnes"), 4294967295u);
    EXPECT_EQ(db->ReadCount("Lowest"), 2147483648u);
    EXPECT_EQ(ErrorOf([&] { db->ReadCount("Short"); }), "Invalid data type for 'Short'");
    EXPECT_EQ(ErrorOf([&] { db->ReadCount("Missing"); }), "Failed to get data for 'Missing'");
    EXPECT_TRUE(db->ReadFlag("Count"));
    EXPECT_FALSE(db->ReadFlag("Zero"));
    EXPECT_EQ(ErrorOf([&] { db->ReadFlag("Short"); }), "Invalid data type for 'Short'");
}

TEST_P(UserDatabaseStore, KeyAndValueNamesMatchWithoutRegardToCase) {
    backend_->Seed({Text(kAlice, "Type", "User"), Dword(kGroup, "Limit", 7)});
    auto db = backend_->Open();
    ASSERT_TRUE(db->OpenExistingAccount("ALICE"));
    EXPECT_EQ(db->ReadText("TYPE"), "User");
    ASSERT_TRUE(db->OpenExistingAccount("гРУППА"_cp));
    EXPECT_EQ(db->ReadNumber("limit"), 7);
    db->WriteNumber("LIMIT", 8);
    db->Flush();
    EXPECT_EQ(backend_->Open()->ListAccounts(), (std::vector<std::string>{"alice", std::string("Группа"_cp)}));
}

// A prepared name reads what its text reads, account after account and in any letter case, also a value
// that a write adds after the name was prepared; messages name it as it was given.
TEST_P(UserDatabaseStore, PreparedNamesReadAsTheirTexts) {
    backend_->Seed({Text(kAlice, "Type", "User"), Dword(kAlice, "Limit", 7), Text(kBoris, "Type", "User")});
    auto db = backend_->Open();
    const PreparedName limit = db->Prepare("LIMIT");
    const PreparedName later = db->Prepare("Later");
    ASSERT_TRUE(db->OpenExistingAccount("alice"));
    EXPECT_EQ(db->ReadNumber(limit), 7);
    EXPECT_FALSE(db->HasValue(later));
    db->WriteNumber("later", 5);
    EXPECT_TRUE(db->HasValue(later));
    EXPECT_EQ(db->ReadNumber(later), 5);
    ASSERT_TRUE(db->OpenExistingAccount("boris"));
    EXPECT_FALSE(db->HasValue(limit));
    EXPECT_EQ(ErrorOf([&] { db->ReadNumber(limit); }), "Failed to get data for 'LIMIT'");
    EXPECT_EQ(db->ReadText(later), "");
    db->CloseAccount();
    EXPECT_FALSE(db->HasValue(limit));
}

// A login that Windows-1251 cannot spell lists with '?' in place of the missing characters; opening it
// by that text reaches the listed key instead of creating a "??" key beside it.
TEST_P(UserDatabaseStore, AccountsWithNamesBeyondTheCodePageOpenAsListed) {
    if (!backend_->HoldsUnicodeNames()) GTEST_SKIP() << "an 8-bit file cannot hold such names";
    backend_->Seed({Dword(kAlice, "Limit", 1), {"", "Limit", 4, std::string("\x07\0\0\0", 4), u"UserDatabase\\王伟"}});
    {
        auto db = backend_->Open();
        EXPECT_EQ(db->ListAccounts(), (std::vector<std::string>{"alice", "??"}));
        ASSERT_TRUE(db->OpenExistingAccount("??"));
        EXPECT_EQ(db->ReadNumber("Limit"), 7);
        db->OpenAccount("??");
        db->WriteNumber("Limit", 8);
        db->Flush();
    }
    auto db = backend_->Open();
    EXPECT_EQ(db->ListAccounts(), (std::vector<std::string>{"alice", "??"})) << "no key was added";
    db->OpenAccount("??");
    EXPECT_EQ(db->ReadNumber("Limit"), 8);
}

// With no open account (never opened, closed, or a failed open) the value operations act on no key.
TEST_P(UserDatabaseStore, WithoutAnOpenAccountReadsFindNothingAndWritesFail) {
    backend_->Seed({Text(kAlice, "Type", "User"), Dword(kAlice, "Limit", 5)});
    auto db = backend_->Open();
    const std::vector<std::pair<const char*, std::function<void()>>> states = {
        {"never opened", [] {}},
        {"closed", [&] { db->OpenAccount("alice"), db->CloseAccount(); }},
        {"open of a missing key", [&] { EXPECT_FALSE(db->OpenExistingAccount("nobody")); }},
    };
    for (const auto& [state, enter] : states) {
        SCOPED_TRACE(state);
        enter();
        EXPECT_FALSE(db->HasValue("Limit"));
        EXPECT_EQ(db->ReadText("Type"), "");
        EXPECT_EQ(ErrorOf([&] { db->ReadNumber("Limit"); }), "Failed to get data for 'Limit'");
        EXPECT_EQ(ErrorOf([&] { db->WriteNumber("Limit", 1); }), "Failed to set data for 'Limit'");
        EXPECT_EQ(ErrorOf([&] { db->WriteText("RealName", "x"); }), "Failed to set data for 'RealName'");
        EXPECT_EQ(ErrorOf([&] { db->WriteFlag("SendMail", true); }), "Failed to set data for 'SendMail'");
    }
    db->Flush();
    EXPECT_FALSE(backend_->KeyExists("UserDatabase\\nobody"));
    EXPECT_EQ(backend_->TypeOf(kAlice, "RealName"), std::nullopt);
}

TEST_P(UserDatabaseStore, OpenAccountCreatesAMissingKey) {
    backend_->Seed({Text(kAlice, "Type", "User"), Text(kBoris, "Type", "User")});
    {
        auto db = backend_->Open();
        EXPECT_TRUE(db->OpenAccount("zoe"));
        db->WriteText("RealName", "Зоя"_cp);
        db->CloseAccount();
        db->Flush();
    }
    auto db = backend_->Open();
    EXPECT_EQ(db->ListAccounts(), (std::vector<std::string>{"alice", "boris", "zoe"}));
    ASSERT_TRUE(db->OpenExistingAccount("zoe"));
    EXPECT_EQ(db->ReadText("RealName"), "Зоя"_cp);
}

TEST_P(UserDatabaseStore, WritesReachTheStoreWithTheirTypesAndLeaveTheRestAlone) {
    backend_->Seed({Text(kAlice, "Type", "User"), Text(kAlice, "RealName", "Old"), Dword(kAlice, "Limit", 100),
                    Dword(kAlice, "ClientSendTraffic", 12345), Text(kAlice, "Note", "text before")});
    {
        auto db = backend_->Open();
        db->OpenAccount("alice");
        db->WriteText("RealName", "Петров Пётр «ПП»"_cp);
        db->WriteNumber("Limit", -2);
        db->WriteNumber("OpeningBalanceLo", INT_MIN);
        db->WriteFlag("AccountEnabled", false);
        db->WriteFlag("SendMail", true);
        db->WriteNumber("Note", 3);  // a string value becomes a number
        db->WriteText("ClosingBalanceLo", "7");
        db->CloseAccount();
        db->Flush();
    }
    auto db = backend_->Open();
    db->OpenAccount("alice");
    EXPECT_EQ(db->ReadText("RealName"), "Петров Пётр «ПП»"_cp);
    EXPECT_EQ(db->ReadNumber("Limit"), -2);
    EXPECT_EQ(db->ReadNumber("OpeningBalanceLo"), INT_MIN);
    EXPECT_EQ(db->ReadNumber("AccountEnabled"), 0);
    EXPECT_EQ(db->ReadNumber("SendMail"), 1);
    EXPECT_EQ(db->ReadNumber("Note"), 3);
    EXPECT_EQ(db->ReadText("ClosingBalanceLo"), "7");
    EXPECT_EQ(db->ReadText("Type"), "User");
    EXPECT_EQ(db->ReadNumber("ClientSendTraffic"), 12345);
    EXPECT_EQ(backend_->TypeOf(kAlice, "SendMail"), 4u);
    EXPECT_EQ(backend_->TypeOf(kAlice, "Note"), 4u);
    EXPECT_EQ(backend_->TypeOf(kAlice, "ClosingBalanceLo"), 1u);
}

TEST_P(UserDatabaseStore, OpeningAnotherAccountClosesThePreviousOne) {
    backend_->Seed({Dword(kAlice, "Limit", 1), Dword(kBoris, "Limit", 2)});
    auto db = backend_->Open();
    db->OpenAccount("alice");
    db->OpenAccount("boris");
    db->WriteNumber("Limit", 20);
    db->OpenAccount("alice");
    EXPECT_EQ(db->ReadNumber("Limit"), 1);
    db->OpenAccount("boris");
    EXPECT_EQ(db->ReadNumber("Limit"), 20);
}

TEST_P(UserDatabaseStore, ValuesWrittenBeforeAnErrorStayWritten) {
    backend_->Seed({Dword(kAlice, "Limit", 1), Dword(kBoris, "Limit", 2)});
    {
        auto db = backend_->Open();
        try {
            db->OpenAccount("alice");
            db->WriteNumber("Limit", 10);
            db->CloseAccount();
            db->WriteNumber("Limit", 20);  // no open account
            FAIL() << "the write without an account went through";
        } catch (const EUserDatabaseError&) {
            db->Flush();
        }
    }
    auto db = backend_->Open();
    db->OpenAccount("alice");
    EXPECT_EQ(db->ReadNumber("Limit"), 10);
    db->OpenAccount("boris");
    EXPECT_EQ(db->ReadNumber("Limit"), 2);
}

TEST_P(UserDatabaseStore, ReadsTheServiceProgramPath) {
    backend_->Seed({Text(kAlice, "Type", "User"), {kService, "ImagePath", 2, "C:\\WinGate\\WinGate.exe"}});
    auto db = backend_->Open();
    db->OpenAccount("alice");
    EXPECT_EQ(db->ReadServiceImagePath(), "C:\\WinGate\\WinGate.exe");
    EXPECT_EQ(db->ReadText("Type"), "User") << "the open account stays open";
}

TEST_P(UserDatabaseStore, ServiceKeyWithoutImagePathGivesAnEmptyPath) {
    backend_->Seed({Key(kService)});
    EXPECT_EQ(backend_->Open()->ReadServiceImagePath(), "");
}

TEST_P(UserDatabaseStore, MissingServiceKeyFailsAndIsNotCreated) {
    backend_->Seed({Text(kAlice, "Type", "User")});
    {
        auto db = backend_->Open();
        EXPECT_THROW(db->ReadServiceImagePath(), EServiceNotFound);
        db->Flush();
    }
    EXPECT_FALSE(backend_->KeyExists("Services"));
}

std::vector<BackendParam> Backends() {
    std::vector<BackendParam> backends = {
        {"RegFileVersion5", [] { return MakeRegFileBackend(true); }},
        {"RegFileRegedit4", [] { return MakeRegFileBackend(false); }},
    };
#ifdef _WIN32
    backends.push_back({"Registry", [] { return MakeRegistryBackend(); }});
#endif
    return backends;
}

INSTANTIATE_TEST_SUITE_P(Backends, UserDatabaseStore, ::testing::ValuesIn(Backends()),
                         [](const ::testing::TestParamInfo<BackendParam>& info) { return info.param.name; });

}  // namespace
}  // namespace tarnwell::testing
