#include "wingate/reg_file_user_database.h"

#include <utility>

#include "files/file_contents.h"
#include "text/cp1251.h"
#include "wingate/account_values.h"
#include "wingate/value_rules.h"

namespace tarnwell {
namespace {

constexpr std::string_view kHive = "HKEY_LOCAL_MACHINE";

}  // namespace

RegFileUserDatabase::RegFileUserDatabase(std::string path, UserDatabaseKeys keys)
    : path_(std::move(path)), keys_(std::move(keys)) {}

RegFileUserDatabase::~RegFileUserDatabase() {
    try {
        Flush();
    } catch (...) {
        // Last resort only: callers flush on every path and see the error there.
    }
}

RegDocument& RegFileUserDatabase::Document() {
    if (load_error_) throw *load_error_;
    if (!document_) {
        try {
            std::string bytes;
            bool exists = false;
            try {
                exists = ReadFileIfExists(path_, RegDocument::kMaxFileSize, bytes);
            } catch (const EFileAccessError& error) {
                throw ERegFileError(error.what());
            }
            if (exists) {
                document_.emplace(RegDocument::Parse(bytes, path_));
            } else {
                document_.emplace(RegDocument::NewVersion5());
            }
        } catch (const ERegFileError& error) {
            load_error_ = error;
            throw;
        }
    }
    return *document_;
}

int RegFileUserDatabase::DatabaseKey(bool create) {
    RegDocument& doc = Document();
    if (database_ == RegDocument::kNoKey) {
        std::string path = std::string(kHive) + keys_.database;
        database_ = create ? doc.CreateKey(RegDocument::kRoot, path) : doc.FindKey(RegDocument::kRoot, path);
    }
    return database_;
}

std::vector<std::string> RegFileUserDatabase::ListAccounts() {
    int key = DatabaseKey(false);
    if (key == RegDocument::kNoKey) {
        throw EDatabaseNotFound("Cannot open the key '" + keys_.database + "' in " + path_);
    }
    listed_ = Document().Subkeys(key);
    next_listed_ = 0;
    if (!listed_.empty()) Document().Prefetch(listed_.front());
    return Document().SubkeyNames(key);
}

// A listed login whose key name holds characters that Windows-1251 lacks reads with '?' in their place;
// opening it by that text must find the listed key, not create a new one beside it.
int RegFileUserDatabase::FindAccount(int database, std::string_view login) {
    RegDocument& doc = Document();
    // The listed account expected next, or the one after it when an account was passed over. A key
    // spelled exactly as the login is the one FindKey gives: no two keys share a name.
    for (std::size_t i = next_listed_; i < next_listed_ + 2 && i < listed_.size(); ++i) {
        if (doc.IsNamed(listed_[i], login)) {
            next_listed_ = i + 1;
            if (next_listed_ < listed_.size()) doc.Prefetch(listed_[next_listed_]);
            return listed_[i];
        }
    }
    int key = doc.FindKey(database, login);
    if (key == RegDocument::kNoKey && login.find(kUnmappable) != std::string_view::npos) {
        key = doc.FindListedSubkey(database, login);
    }
    return key;
}

bool RegFileUserDatabase::OpenAccount(std::string_view login) {
    CloseAccount();
    int database = DatabaseKey(true);
    account_ = FindAccount(database, login);
    if (account_ == RegDocument::kNoKey) account_ = Document().CreateKey(database, login);
    return true;
}

bool RegFileUserDatabase::OpenExistingAccount(std::string_view login) {
    CloseAccount();
    int database = DatabaseKey(false);
    if (database != RegDocument::kNoKey) account_ = FindAccount(database, login);
    return account_ != RegDocument::kNoKey;
}

void RegFileUserDatabase::CloseAccount() {
    account_ = RegDocument::kNoKey;
}

bool RegFileUserDatabase::HasValue(std::string_view name) {
    return Document().HasValue(account_, name);
}

std::string RegFileUserDatabase::ReadTextOf(int key, std::string_view name) {
    RegDocument& doc = Document();
    // A quoted string is a REG_SZ: its text straight away.
    if (auto text = doc.QuotedText(key, name)) return *std::move(text);
    auto value = doc.Value(key, name);
    if (!value) return {};
    if (!value_rules::IsText(value->type)) throw value_rules::InvalidTypeError(name);
    return doc.TextOf(*value);
}

std::string RegFileUserDatabase::ReadText(std::string_view name) {
    return ReadTextOf(account_, name);
}

std::int32_t RegFileUserDatabase::ReadNumber(std::string_view name) {
    RegDocument& doc = Document();
    // A dword:... entry is a REG_DWORD of four bytes: its number straight away.
    if (auto number = doc.DwordEntry(account_, name)) return static_cast<std::int32_t>(*number);
    auto value = doc.Value(account_, name);
    if (!value) throw value_rules::GetDataError(name);
    value_rules::CheckNumberRead(name, value->type, doc.AnsiSize(*value));
    const auto* b = reinterpret_cast<const unsigned char*>(value->bytes.data());
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
                                     (static_cast<std::uint32_t>(b[2]) << 16) |
                                     (static_cast<std::uint32_t>(b[3]) << 24));
}

std::uint32_t RegFileUserDatabase::NameId(PreparedName name) {
    const auto index = static_cast<std::size_t>(name.index);
    if (index >= name_ids_.size()) name_ids_.resize(index + 1, RegDocument::kNoValueName);
    std::uint32_t& id = name_ids_[index];
    if (id == RegDocument::kNoValueName) id = Document().ValueNameId(NameOf(name));
    return id;
}

// The common forms straight from the entry, as ReadText and ReadNumber take them; anything else (a
// missing value, another form or type) by the reads by name, which tell the errors.
bool RegFileUserDatabase::HasPreparedValue(PreparedName name) {
    const std::uint32_t id = NameId(name);
    return id != RegDocument::kNoValueName && Document().HasValue(account_, id);
}

std::string RegFileUserDatabase::ReadPreparedText(PreparedName name) {
    if (auto text = Document().QuotedText(account_, NameId(name))) return *std::move(text);
    return ReadText(NameOf(name));
}

std::int32_t RegFileUserDatabase::ReadPreparedNumber(PreparedName name) {
    if (auto number = Document().DwordEntry(account_, NameId(name))) return static_cast<std::int32_t>(*number);
    return ReadNumber(NameOf(name));
}

void RegFileUserDatabase::WriteText(std::string_view name, std::string_view text) {
    RegDocument& doc = Document();
    if (account_ == RegDocument::kNoKey) throw value_rules::SetDataError(name);
    doc.SetText(account_, name, text);
}

void RegFileUserDatabase::WriteNumber(std::string_view name, std::int32_t value) {
    RegDocument& doc = Document();
    if (account_ == RegDocument::kNoKey) throw value_rules::SetDataError(name);
    doc.SetNumber(account_, name, value);
}

std::string RegFileUserDatabase::ReadServiceImagePath() {
    int key = Document().FindKey(RegDocument::kRoot, std::string(kHive) + keys_.service);
    if (key == RegDocument::kNoKey) throw EServiceNotFound("Cannot open the key '" + keys_.service + "' in " + path_);
    return ReadTextOf(key, account_values::kImagePath);
}

void RegFileUserDatabase::Flush() {
    if (!document_ || !document_->modified()) return;
    try {
        ReplaceFileDurably(path_, document_->Render());
    } catch (const EFileAccessError& error) {
        throw ERegFileError(error.what());
    }
    document_->MarkSaved();
}

}  // namespace tarnwell
