#include <string>

#include "files/file_contents.h"
#include "files/file_status.h"
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
void WriteFlags(TProfileFile& ini, std::string_view section, const std::array<std::string_view, N>& keys,
                const TCheckListBox& list) {
    for (std::size_t i = 0; i < N; ++i) ini.WriteInteger(section, keys[i], list.Checked(static_cast<int>(i)) ? 1 : 0);
}

// The file as it stands, to be changed key by key in memory; empty when there is none yet.
TProfileFile LoadForUpdate(const std::string& path) {
    std::string bytes;
    try {
        ReadFileIfExists(path, kMaxSettingsFileSize, bytes);
    } catch (const Error&) {
        // A folder in the file's place, a file too large or one that cannot be read: it cannot be updated.
        throw UnableToWrite(path);
    }
    return TProfileFile(bytes);
}

void Store(const std::string& path, const TProfileFile& ini) {
    if (IsReadOnlyFile(path)) throw UnableToWrite(path);
    try {
        ReplaceFileDurably(path, ini.Bytes());
    } catch (const Error&) {
        throw UnableToWrite(path);
    }
}

}  // namespace

void SaveSet(TFormControls& form) {
    SaveSet(form, ProgramFolder());
}

void SaveSet(TFormControls& form, std::string_view folder) {
    std::string path = SettingsFilePath(folder);
    TProfileFile ini = LoadForUpdate(path);

    for (auto [key, edit] : MailEdits(form)) ini.WriteString(kMail, key, edit->Text);
    ini.WriteString(kSet, "LastPath", form.ECurrentFile.Text);
    WriteFlags(ini, kAutoRun, kAutoRunKeys, form.ChLBRun);
    WriteFlags(ini, kTableStat, kColumnKeys, form.ChLBTable);
    WriteFlags(ini, kTableHTML, kColumnKeys, form.ChLBHTML);
    ini.WriteInteger(kOpt, "AutoClose", form.ChLBOther.Checked(0) ? 1 : 0);
    ini.WriteInteger(kOpt, "AutoSave", form.ChLBOther.Checked(1) ? 1 : 0);
    ini.WriteInteger(kOpt, "NormKB", form.RGkb.ItemIndex() == 1 ? 1 : 0);
    WriteFlags(ini, kMCont, kLetterKeys, form.ChLBCont);
    ini.WriteInteger(kOpt, "Razmernost", form.RG1.ItemIndex());
    ini.WriteInteger(kOpt, "Tochnost", form.CSETochn.ShowValue());
    ini.WriteInteger(kOpt, "DefaultLim", form.SEDefault.ShowValue());
    Store(path, ini);
}

}  // namespace tarnwell
