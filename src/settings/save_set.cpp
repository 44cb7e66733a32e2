#include <algorithm>
#include <optional>
#include <string>

#include "files/file_contents.h"
#include "files/file_status.h"
#include "settings/owner_only_write.h"
#include "settings/password_store.h"
#include "settings/profile_file.h"
#include "settings/settings.h"
#include "settings/settings_keys.h"
#include "text/message.h"
#include "text/program_folder.h"

namespace tarnwell {

using namespace settings_keys;

namespace {

Error UnableToWrite(const std::string& path) {
    return Error(FormatMsg("Unable to write to %s", {path}));
}

template <std::size_t N>
void WriteFlags(ProfileFile& ini, std::string_view section, const std::array<std::string_view, N>& keys,
                const CheckListBox& list) {
    for (std::size_t i = 0; i < N; ++i) ini.WriteInteger(section, keys[i], list.Checked(static_cast<int>(i)) ? 1 : 0);
}

// The file as it stands, to be changed key by key in memory; empty when there is none yet.
ProfileFile LoadForUpdate(const std::string& path) {
    std::string bytes;
    try {
        ReadFileIfExists(path, kMaxSettingsFileSize, bytes);
    } catch (const Error&) {
        // A folder in the file's place, a file too large or one that cannot be read: it cannot be updated.
        throw UnableToWrite(path);
    }
    return ProfileFile(bytes);
}

// A password is any text: one that a read would change (blanks at either end are dropped, and one pair of
// enclosing quotes) goes out between quotes, which the read takes off again.
std::string KeptAsItIs(const std::string& value) {
    if (value.empty()) return value;
    const char first = value.front();
    const char last = value.back();
    constexpr std::string_view kBlanks = " \t\v\f";  // what a read trims
    const bool blank_end =
        kBlanks.find(first) != std::string_view::npos || kBlanks.find(last) != std::string_view::npos;
    const bool quoted = value.size() >= 2 && (first == '"' || first == '\'') && last == first;
    return blank_end || quoted ? "\"" + value + "\"" : value;
}

void Store(const std::string& path, const ProfileFile& ini, bool owner_only) {
    if (IsReadOnlyFile(path)) throw UnableToWrite(path);
    try {
        std::optional<OwnerOnlyWrite> restricted;
        if (owner_only) restricted.emplace(path);
        ReplaceFileDurably(path, ini.Bytes());
    } catch (const Error&) {
        throw UnableToWrite(path);
    }
}

}  // namespace

void SaveSet(FormControls& form) {
    SaveSet(form, ProgramFolder());
}

void SaveSet(FormControls& form, std::string_view folder) {
    std::string path = SettingsFilePath(folder);
    ProfileFile ini = LoadForUpdate(path);

    for (auto [key, edit] : MailEdits(form)) ini.WriteString(kMail, key, edit->Text);
    ini.WriteInteger(kMail, kSecurity, std::max(form.RGSecurity.ItemIndex(), 0));
    ini.WriteString(kMail, kPassword, KeptAsItIs(StoredPassword(form.EPassword.Text)));
    ini.WriteString(kMail, kCAFile, form.ECAFile.Text);
    const bool owner_only = PasswordNeedsOwnerOnlyFile() && !form.EPassword.Text.empty();
    ini.WriteString(kSet, kLastPath, form.ECurrentFile.Text);
    WriteFlags(ini, kAutoRun, kAutoRunKeys, form.ChLBRun);
    WriteFlags(ini, kTableStat, kColumnKeys, form.ChLBTable);
    WriteFlags(ini, kTableHTML, kColumnKeys, form.ChLBHTML);
    ini.WriteInteger(kOpt, kAutoClose, form.ChLBOther.Checked(0) ? 1 : 0);
    ini.WriteInteger(kOpt, kAutoSave, form.ChLBOther.Checked(1) ? 1 : 0);
    ini.WriteInteger(kOpt, kNormKB, form.RGkb.ItemIndex() == 1 ? 1 : 0);
    WriteFlags(ini, kMCont, kLetterKeys, form.ChLBCont);
    ini.WriteInteger(kOpt, kRazmernost, form.RG1.ItemIndex());
    ini.WriteInteger(kOpt, kTochnost, form.CSETochn.ShowValue());
    ini.WriteInteger(kOpt, kDefaultLim, form.SEDefault.ShowValue());
    Store(path, ini, owner_only);
}

}  // namespace tarnwell
