#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "settings/settings_keys.h"
#include "support/temp_folder.h"
#include "text/cp1251_literal.h"
#include "text/int_text.h"

namespace tarnwell {
namespace {

using namespace literals;

class RecordingNotifier : public UserNotifier {
public:
    std::vector<std::string> messages;
    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
};

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every value that the settings file stores, as one text.
std::string Snapshot(FormControls& f) {
    std::string s;
    for (auto [key, edit] : settings_keys::MailEdits(f)) s += std::string(key) + "=" + edit->Text + "\n";
    s += "Security=" + IntToStr(f.RGSecurity.ItemIndex()) + " Password=" + f.EPassword.Text +
         " CAFile=" + f.ECAFile.Text + "\n";
    s += "LastPath=" + f.ECurrentFile.Text + "\n";
    for (const CheckListBox* list : {&f.ChLBRun, &f.ChLBTable, &f.ChLBHTML, &f.ChLBOther, &f.ChLBCont}) {
        for (int i = 0; i < list->Count(); ++i) s += list->Checked(i) ? '1' : '0';
        s += "\n";
    }
    s += "RGkb=" + IntToStr(f.RGkb.ItemIndex()) + " RG1=" + IntToStr(f.RG1.ItemIndex()) +
         " Tochnost=" + IntToStr(f.CSETochn.Value()) + " DefaultLim=" + IntToStr(f.SEDefault.Value()) +
         " ESGToUser=" + (f.ESGToUser.Enabled ? "on" : "off");
    return s;
}

class Settings : public ::testing::Test {
protected:
    std::string Folder() const { return folder_.path().string(); }
    std::string Path() const { return SettingsFilePath(Folder()); }
    void WriteSettings(const std::string& bytes) const { std::ofstream(Path(), std::ios::binary) << bytes; }
    std::string Saved() const { return ReadBytes(Path()); }

    // ReadSet into f, noting the last viewed file it asks to show.
    bool Read(FormControls& f) {
        return ReadSet(
            f, notifier, [this](const std::string& path) { shown.push_back(path); }, Folder());
    }

    testing_support::TempFolder folder_;
    RecordingNotifier notifier;
    std::vector<std::string> shown;
};

// Anything in the file's place that is no regular file holds no settings: the missing-file case.
TEST_F(Settings, MissingFileShowsTheMessageOnceAndTicksEveryItem) {
    struct Case {
        const char* name;
        std::function<void(const std::string& path)> place;
    };
    std::vector<Case> cases = {
        {"nothing", [](const std::string&) {}},
        {"a folder", [](const std::string& path) { std::filesystem::create_directory(path); }},
#ifndef _WIN32
        {"a named pipe", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }},
        {"a link to nothing", [](const std::string& path) { std::filesystem::create_symlink(path + ".gone", path); }},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(Path());
        c.place(Path());
        notifier.messages.clear();
        FormControls f;
        EXPECT_FALSE(Read(f));
        EXPECT_EQ(notifier.messages,
                  std::vector<std::string>{std::string("Не найден или не существует файл настроек!"_cp)});
        for (const CheckListBox* list : {&f.ChLBRun, &f.ChLBCont, &f.ChLBTable, &f.ChLBHTML, &f.ChLBOther}) {
            for (int i = 0; i < list->Count(); ++i) EXPECT_TRUE(list->Checked(i)) << list->Items()[i];
        }
        EXPECT_EQ(f.EHost.Text, "127.0.0.1");
        EXPECT_EQ(f.ESubject.Text, "Наработанный трафик"_cp);
        EXPECT_EQ(f.RG1.ItemIndex(), 0);
        EXPECT_EQ(f.CSETochn.Value(), 2);
        EXPECT_TRUE(shown.empty());
    }
}

TEST_F(Settings, FileWithOnlyAutoSaveGivesTheMissingKeyValues) {
    WriteSettings("[opt]\r\nAutoSave=1\r\n");
    FormControls f;
    EXPECT_TRUE(Read(f));
    EXPECT_TRUE(notifier.messages.empty());
    for (auto [key, edit] : settings_keys::MailEdits(f)) EXPECT_EQ(edit->Text, "0") << key;
    EXPECT_EQ(f.ECurrentFile.Text, "0");
    EXPECT_EQ(shown, std::vector<std::string>{"0"});
    for (const CheckListBox* list : {&f.ChLBRun, &f.ChLBCont, &f.ChLBTable, &f.ChLBHTML, &f.ChLBOther}) {
        for (int i = 0; i < list->Count(); ++i) EXPECT_TRUE(list->Checked(i)) << list->Items()[i];
    }
    EXPECT_EQ(f.RGkb.ItemIndex(), 1);
    EXPECT_EQ(f.RG1.ItemIndex(), 1);
    EXPECT_EQ(f.CSETochn.Value(), 1);
    EXPECT_EQ(f.SEDefault.Value(), 1);
    EXPECT_TRUE(f.ESGToUser.Enabled);
}

TEST_F(Settings, ValuesAreCheckedAndClampedAsTheyAreApplied) {
    auto security = [](FormControls& f) { return f.RGSecurity.ItemIndex(); };
    struct Case {
        std::string file;
        std::function<int(FormControls&)> probe;
        int expected;
    };
    auto precision = [](FormControls& f) { return f.CSETochn.Value(); };
    auto unit = [](FormControls& f) { return f.RG1.ItemIndex(); };
    auto auto_close = [](FormControls& f) { return f.ChLBOther.Checked(0) ? 1 : 0; };
    const Case cases[] = {
        {"[opt]\nTochnost=25", precision, 20},
        {"[opt]\nTochnost=0", precision, 1},
        {"[opt]\nTochnost=0x7", precision, 7},
        {"[opt]\nRazmernost=7", unit, 3},
        {"[opt]\nRazmernost=2", unit, 2},
        {"[opt]\nRazmernost=-1", unit, -1},
        {"[opt]\nRazmernost=-9", unit, -1},
        {"[opt]\nRazmernost=", unit, 1},
        {"[opt]\nAutoClose=0x10", auto_close, 1},
        {"[opt]\nAutoClose=yes", auto_close, 1},
        {"[opt]\nAutoClose=0", auto_close, 0},
        {"[opt]\nAutoClose=\"0\"", auto_close, 0},
        {"[OPT]\nautoclose = 0x0", auto_close, 0},
        {"[opt]\nNormKB=0", [](FormControls& f) { return f.RGkb.ItemIndex(); }, 0},
        {"[mail]\nHost=x", security, 0},
        {"[mail]\nSecurity=1", security, 1},
        {"[mail]\nSecurity=2", security, 2},
        {"[mail]\nSecurity=9", security, 2},
        {"[mail]\nSecurity=-4", security, -1},
        {"[mail]\nSecurity=TLS", security, 0},
        {"[opt]\nDefaultLim=-5", [](FormControls& f) { return f.SEDefault.Value(); }, -5},
        {"[AutoRun]\nMailTable=0", [](FormControls& f) { return f.ESGToUser.Enabled ? 1 : 0; }, 0},
        {"[AutoRun]\nMailTable=2", [](FormControls& f) { return f.ESGToUser.Enabled ? 1 : 0; }, 1},
        {"[TableHTML]\nTimeOnLine=0", [](FormControls& f) { return f.ChLBHTML.Checked(7) ? 1 : 0; }, 0},
        {"[TableHTML]\nTimeOnLine=0", [](FormControls& f) { return f.ChLBTable.Checked(7) ? 1 : 0; }, 1},
        {"[MCont]\nOpening=0", [](FormControls& f) { return f.ChLBCont.Checked(5) ? 1 : 0; }, 0},
    };
    for (const auto& c : cases) {
        WriteSettings(c.file);
        FormControls f;
        ASSERT_TRUE(Read(f));
        EXPECT_EQ(c.probe(f), c.expected) << c.file;
    }
}

TEST_F(Settings, TextValues) {
    WriteSettings("[mail]\r\nHost= \"smtp.example\" \r\nPort=\r\nSubject=a=b\r\n[set]\r\nLastPath=\r\n");
    FormControls f;
    ASSERT_TRUE(Read(f));
    EXPECT_EQ(f.EHost.Text, "smtp.example");
    EXPECT_EQ(f.EPort.Text, "");  // present but empty: not the missing-key "0"
    EXPECT_EQ(f.ESubject.Text, "a=b");
    EXPECT_EQ(f.EDomain.Text, "0");
    EXPECT_EQ(f.ECurrentFile.Text, "");
    EXPECT_TRUE(shown.empty());  // no last viewed file to show
}

TEST_F(Settings, ApplyingTheFileRunsNoHandler) {
    WriteSettings(ReadBytes(TARNWELL_TEST_DATA "/settings_new.ini") + "[set]\r\nLastPath=C:\\x.log\r\n");
    FormControls f;
    int handlers = 0;
    auto count = [&] { ++handlers; };
    for (CheckListBox* list : {&f.ChLBRun, &f.ChLBCont, &f.ChLBTable, &f.ChLBHTML, &f.ChLBOther}) {
        list->OnClickCheck = count;
    }
    for (auto [key, edit] : settings_keys::MailEdits(f)) edit->OnChange = count;
    f.ECurrentFile.OnChange = f.RG1.OnClick = f.RGkb.OnClick = f.CSETochn.OnChange = f.SEDefault.OnChange = count;
    f.PC1.OnChange = count;
    ASSERT_TRUE(Read(f));
    EXPECT_EQ(handlers, 0);
}

TEST_F(Settings, AnErrorShowingTheLastFileLeavesTheValuesApplied) {
    WriteSettings("[set]\nLastPath=/no/such/file.log\n[opt]\nTochnost=5\n");
    FormControls f;
    auto fail = [](const std::string& path) { throw Error("Cannot open file " + path); };
    EXPECT_THROW(ReadSet(f, notifier, fail, Folder()), Error);
    EXPECT_EQ(f.ECurrentFile.Text, "/no/such/file.log");
    EXPECT_EQ(f.CSETochn.Value(), 5);
}

TEST_F(Settings, OversizedFileIsAnErrorAndIsLeftAlone) {
    const std::string huge = "[opt]\r\nAutoSave=" + std::string(kMaxSettingsFileSize, '1');
    WriteSettings(huge);
    FormControls f;
    try {
        Read(f);
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(Path()), std::string::npos) << e.what();
    }
    EXPECT_TRUE(notifier.messages.empty());
    try {
        SaveSet(f, Folder());
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.what(), "Unable to write to " + Path());
    }
    EXPECT_EQ(Saved(), huge);
}

TEST_F(Settings, FirstSaveAfterAMissingFileWritesACompleteFileInSectionOrder) {
    FormControls f;
    EXPECT_FALSE(Read(f));
    SaveSet(f, Folder());
    EXPECT_EQ(Saved(), ReadBytes(TARNWELL_TEST_DATA "/settings_new.ini"));
}

TEST_F(Settings, SavedValuesReadBackUnchanged) {
    FormControls f;
    int n = 0;
    for (auto [key, edit] : settings_keys::MailEdits(f)) edit->Text = "значение "_cp.data() + std::to_string(++n);
    f.ECurrentFile.Text = "C:\\Журналы\\a b.log"_cp;
    f.RGSecurity.SetItemIndex(1);
    f.EPassword.Text = " пароль=с;знаками\"' "_cp;
    f.ECAFile.Text = "C:\\Сертификаты\\ca.pem"_cp;
    int i = 0;
    for (CheckListBox* list : {&f.ChLBRun, &f.ChLBTable, &f.ChLBHTML, &f.ChLBOther, &f.ChLBCont}) {
        for (int item = 0; item < list->Count(); ++item) list->SetChecked(item, (++i % 3) != 0);
    }
    f.ChLBTable.SetChecked(7, false);  // "Время в сети" off on screen, on in HTML
    f.ChLBHTML.SetChecked(7, true);
    f.ChLBRun.SetChecked(2, false);
    f.ESGToUser.Enabled = false;
    f.RGkb.SetItemIndex(1);
    f.RG1.SetItemIndex(-1);
    f.CSETochn.SetValue(17);
    f.SEDefault.SetValue(-42);
    SaveSet(f, Folder());

    FormControls g;
    ASSERT_TRUE(Read(g));
    EXPECT_EQ(Snapshot(g), Snapshot(f));
    EXPECT_EQ(shown, std::vector<std::string>{f.ECurrentFile.Text});
}

// A password is stored protected for the user on Windows, and elsewhere in a file that only its owner can
// read.
TEST_F(Settings, MailPasswordIsKeptFromOtherUsers) {
    const std::string before = "[mail]\r\nHost=smtp.example\r\n";
    WriteSettings(before);
    FormControls f;
    ASSERT_TRUE(Read(f));
    EXPECT_EQ(f.RGSecurity.ItemIndex(), 0);
    EXPECT_EQ(f.EPassword.Text, "");
    EXPECT_EQ(f.ECAFile.Text, "");
    SaveSet(f, Folder());
    EXPECT_NE(Saved().find("Security=0\r\nPassword=\r\nCAFile=\r\n"), std::string::npos) << Saved();

#ifndef _WIN32
    std::filesystem::permissions(Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                             std::filesystem::perms::group_read | std::filesystem::perms::others_read);
#endif
    f.EPassword.Text = "s3cret";
    SaveSet(f, Folder());
    const std::string saved = Saved();
#ifdef _WIN32
    EXPECT_NE(saved.find("Password=dpapi:"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("s3cret"), std::string::npos);
#else
    EXPECT_NE(saved.find("Password=s3cret\r\n"), std::string::npos) << saved;
    EXPECT_EQ(std::filesystem::status(Path()).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
#endif
    FormControls g;
    ASSERT_TRUE(Read(g));
    EXPECT_EQ(g.EPassword.Text, "s3cret");
    EXPECT_TRUE(notifier.messages.empty());
}

// Any password comes back from a save and a read byte for byte, also one that a read would change if it
// stood bare in the file: quotes around it, blanks or a tab at either end.
TEST_F(Settings, PasswordsComeBackByteForByte) {
    const std::string passwords[] = {
        "\"s3cret\"", "'s3cret'", " s3cret", "s3cret ", "  ", "\ts3cret", "s3cret\t", "s3\tcret",
        "\"",         "'",        "'a\"",   "a b",     "\"a\" \"b\"", "'s3cret\"", "=\"x\"", std::string("пароль"_cp),
    };
    for (const std::string& password : passwords) {
        SCOPED_TRACE("[" + password + "]");
        FormControls f;
        f.EPassword.Text = password;
        SaveSet(f, Folder());
        FormControls g;
        ASSERT_TRUE(Read(g));
        EXPECT_EQ(g.EPassword.Text, password);
    }
}

#ifndef _WIN32
// Sets the process's file mode mask while it lives, and puts the one before back.
class FileModeMask {
public:
    explicit FileModeMask(mode_t mask) : previous_(::umask(mask)) {}
    ~FileModeMask() { ::umask(previous_); }
    FileModeMask(const FileModeMask&) = delete;
    FileModeMask& operator=(const FileModeMask&) = delete;

private:
    mode_t previous_;
};

// The file that is made to hold a password is its owner's alone from the start, whatever the process's
// mask lets others have; the mask is the same afterwards.
TEST_F(Settings, NewFileWithAPasswordIsMadeForItsOwnerAlone) {
    FileModeMask usual(022);  // what a login shell gives: new files readable by everyone
    FormControls f;
    f.EPassword.Text = "s3cret";
    SaveSet(f, Folder());
    struct stat st {};
    ASSERT_EQ(::stat(Path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(::umask(022), 022u);
}
#endif

// A password protected for someone else (or, elsewhere, on Windows) cannot be opened: the message says
// so, without the value, and every other setting still counts.
TEST_F(Settings, APasswordThatCannotBeOpenedIsAskedForAgain) {
    WriteSettings("[mail]\r\nHost=smtp.example\r\nPassword=dpapi:AAAAbm90IGEgYmxvYg==\r\nSecurity=1\r\n");
    FormControls f;
    ASSERT_TRUE(Read(f));
    EXPECT_EQ(f.EPassword.Text, "");
    EXPECT_EQ(f.EHost.Text, "smtp.example");
    EXPECT_EQ(f.RGSecurity.ItemIndex(), 1);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_NE(notifier.messages[0].find("password"), std::string::npos) << notifier.messages[0];
    EXPECT_EQ(notifier.messages[0].find("AAAA"), std::string::npos);
}

TEST_F(Settings, SaveWritesTheControlsNormalisedValues) {
    WriteSettings("[opt]\r\nRazmernost=7\r\nTochnost=abc\r\n");
    FormControls f;
    ASSERT_TRUE(Read(f));
    f.ChLBCont.SetState(0, cbGrayed);
    f.SEDefault.UserSetText("lots");
    SaveSet(f, Folder());
    std::string saved = Saved();
    EXPECT_NE(saved.find("Razmernost=3\r\n"), std::string::npos);
    EXPECT_NE(saved.find("Tochnost=1\r\n"), std::string::npos);
    EXPECT_NE(saved.find("DefaultLim=0\r\n"), std::string::npos);
    EXPECT_EQ(f.SEDefault.Text(), "0");  // the edit shows the minimum it gave
    EXPECT_NE(saved.find("[MCont]\r\nClientSend=1\r\n"), std::string::npos);
}

TEST_F(Settings, SaveKeepsTheFilesOtherLinesAndLineEnds) {
    const std::string before = "; kept by hand\n[Mail]\nhost = old.example \nExtra=keep me\n\n[Other]\nx=1\n";
    WriteSettings(before);
    FormControls f;
    SaveSet(f, Folder());
    std::string saved = Saved();
    EXPECT_EQ(saved.rfind("; kept by hand\n[Mail]\nhost=127.0.0.1\nExtra=keep me\nFromName=", 0), 0u) << saved;
    EXPECT_NE(saved.find(
                  "HTMLPath=export.htm\nSecurity=0\nPassword=\nCAFile=\n\n[Other]\nx=1\n[set]\nLastPath=\n[AutoRun]\n"),
              std::string::npos);
    EXPECT_EQ(saved.find('\r'), std::string::npos);
    EXPECT_EQ(saved.find("Host="), std::string::npos);  // replaced in place, not added again

    SaveSet(f, Folder());
    EXPECT_EQ(Saved(), saved);
}

TEST_F(Settings, RefusedWriteNamesTheFile) {
    struct Case {
        const char* name;
        std::function<std::string(const std::string& folder)> prepare;  // gives the folder to save into
    };
    const Case cases[] = {
        {"a folder in the file's place",
         [](const std::string& folder) {
             std::filesystem::create_directory(SettingsFilePath(folder));
             return folder;
         }},
        {"a missing folder", [](const std::string& folder) { return SettingsFilePath(folder) + "-missing"; }},
    };
    for (const auto& c : cases) {
        std::string folder = c.prepare(Folder());
        FormControls f;
        try {
            SaveSet(f, folder);
            ADD_FAILURE() << c.name;
        } catch (const Error& e) {
            EXPECT_EQ(e.what(), "Unable to write to " + SettingsFilePath(folder)) << c.name;
        }
    }
}

}  // namespace
}  // namespace tarnwell
