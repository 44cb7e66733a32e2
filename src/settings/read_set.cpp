#include <string>

#include "files/file_contents.h"
#include "files/file_status.h"
#include "settings/password_store.h"
#include "settings/profile_file.h"
#include "settings/settings.h"
#include "settings/settings_keys.h"
#include "text/program_folder.h"

namespace tarnwell {

using namespace settings_keys;

namespace {

// A flag is checked unless the file says 0; a missing or unreadable value checks it.
template <std::size_t N>
void ReadFlags(const ProfileFile& ini, std::string_view section, const std::array<std::string_view, N>& keys,
               CheckListBox& list) {
    for (std::size_t i = 0; i < N; ++i) {
        list.SetChecked(static_cast<int>(i), ini.ReadInteger(section, keys[i], 1) != 0);
    }
}

}  // namespace

std::string SettingsFilePath(std::string_view folder) {
    return JoinPath(folder, "settings.ini");
}

bool ReadSet(FormControls& form, UserNotifier& notifier, const ShowLastFileHandler& show_last_file) {
    return ReadSet(form, notifier, show_last_file, ProgramFolder());
}

bool ReadSet(FormControls& form, UserNotifier& notifier, const ShowLastFileHandler& show_last_file,
             std::string_view folder) {
    std::string path = SettingsFilePath(folder);
    std::string bytes;
    // A folder or a pipe in the file's place holds no settings any more than an empty place does.
    if (NoFileThere(path) || !ReadFileIfExists(path, kMaxSettingsFileSize, bytes)) {
        notifier.ShowNamedMessage(MessageName::kSettingsNotFound);
        for (CheckListBox* list : {&form.ChLBRun, &form.ChLBCont, &form.ChLBTable, &form.ChLBHTML, &form.ChLBOther}) {
            list->SetAllChecked(true);
        }
        return false;
    }
    const ProfileFile ini(bytes);

    for (auto [key, edit] : MailEdits(form)) edit->Text = ini.ReadString(kMail, key, "0");
    // Absent: the plain session of old. Above 2 selects TLS, below 0 nothing (taken as none).
    form.RGSecurity.SetItemIndex(ini.ReadInteger(kMail, kSecurity, 0));
    form.ECAFile.Text = ini.ReadString(kMail, kCAFile, "");
    form.EPassword.Text.clear();
    try {
        form.EPassword.Text = PasswordFromStore(ini.ReadString(kMail, kPassword, ""));
    } catch (const Error& e) {
        // The other settings still count; the password has to be entered again.
        notifier.ShowMessage(e.what());
    }
    form.ECurrentFile.Text = ini.ReadString(kSet, kLastPath, "0");
    ReadFlags(ini, kAutoRun, kAutoRunKeys, form.ChLBRun);

    form.ESGToUser.Enabled = form.ChLBRun.Checked(2);

    form.ChLBOther.SetChecked(0, ini.ReadInteger(kOpt, kAutoClose, 1) != 0);
    form.ChLBOther.SetChecked(1, ini.ReadInteger(kOpt, kAutoSave, 1) != 0);
    form.RGkb.SetItemIndex(ini.ReadInteger(kOpt, kNormKB, 1) != 0 ? 1 : 0);
    ReadFlags(ini, kTableStat, kColumnKeys, form.ChLBTable);
    ReadFlags(ini, kTableHTML, kColumnKeys, form.ChLBHTML);
    ReadFlags(ini, kMCont, kLetterKeys, form.ChLBCont);
    // Above 3 selects the last unit, below 0 none (the radio group's own rule); the precision is kept
    // within 1 to 20 by its spin edit; the default limit has no range.
    form.RG1.SetItemIndex(ini.ReadInteger(kOpt, kRazmernost, 1));
    form.CSETochn.SetValue(ini.ReadInteger(kOpt, kTochnost, 1));
    form.SEDefault.SetValue(ini.ReadInteger(kOpt, kDefaultLim, 1));

    if (!form.ECurrentFile.Text.empty() && show_last_file) show_last_file(form.ECurrentFile.Text);
    return true;
}

}  // namespace tarnwell
