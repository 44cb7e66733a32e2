#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/error.h"

namespace tarnwell {

// ---------------------------------------------------------------------------------------------------------
// Errors
// ---------------------------------------------------------------------------------------------------------

// ListAccounts could not open the database key (missing, or no access), or there is no registry export
// file at all. Callers show "Возможно WinGate не установлен или версия программыне совместима!" and
// abandon their operation silently; they must not let this one reach the error box.
class EDatabaseNotFound : public Error {
public:
    using Error::Error;
};

// ReadServiceImagePath could not open the service key. RestartProxyService turns it into its message
// "Не найдено имя службы для перезапуска".
class EServiceNotFound : public Error {
public:
    using Error::Error;
};

// A value that cannot be read or written. what() is exactly one of
//   "Failed to get data for '<name>'", "Invalid data type for '<name>'", "Failed to set data for '<name>'"
// These travel to the error box unchanged.
class EUserDatabaseError : public Error {
public:
    using Error::Error;
};

// The registry export file cannot be read, parsed or replaced. what() names the file and, for a parse
// error, the line: "<file>(<line>): <what is wrong>". A file that fails to parse is never rewritten.
class ERegFileError : public Error {
public:
    using Error::Error;
};

// ---------------------------------------------------------------------------------------------------------
// The store
// ---------------------------------------------------------------------------------------------------------

// Registry paths the store works under, below HKEY_LOCAL_MACHINE, with a leading backslash. The program
// always uses the defaults; tests point them elsewhere so that they never touch a real installation.
struct UserDatabaseKeys {
    std::string database = "\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase";
    std::string service = "\\SYSTEM\\CurrentControlSet\\Services\\WinGateEngine";
};

// A value name prepared by a store for reading it from many accounts (TUserDatabase::Prepare).
struct PreparedName {
    int index = -1;
};

// WinGate's user database: one key per account below the database key, holding named values.
//
// All texts (logins, value names, string values) are Windows-1251 bytes; numbers are signed 32-bit (counts
// can be read as unsigned, ReadCount). The
// store keeps at most one open account; the value operations apply to it. With no open account (none
// opened yet, the last open failed, or it was closed) reads of text give "", HasValue gives false, number
// reads fail with "Failed to get data for '<name>'" and writes with "Failed to set data for '<name>'".
//
// Made for one operation and released at its end (a std::unique_ptr on the caller's stack).
//
// Ending a batch of writes: call Flush() after the last write, on every path — also when a write or
// anything else failed in between, so that what was written before the failure stays written
// (WriteBatch in wingate/user_accounts.h does exactly this):
//
//     auto db = location.Open();
//     try {
//         ... db->OpenAccount(login); db->WriteNumber("Limit", n); db->CloseAccount(); ...
//     } catch (...) {
//         db->Flush();   // keep the values written before the error, then report the error
//         throw;
//     }
//     db->Flush();
//
// The registry store writes through at once and its Flush() does nothing; the export-file store replaces
// the file atomically in Flush(), once per batch, and only when something changed (a Flush() after reads
// only costs nothing). Flush() may throw ERegFileError. The destructor flushes too, swallowing any error,
// as a last resort for a path that forgot; do not rely on it, since a failure there goes unreported.
class TUserDatabase {
public:
    virtual ~TUserDatabase() = default;

    // Logins of all account keys, in the store's own enumeration order (not sorted). Opens the database key
    // without creating it; throws EDatabaseNotFound when it is missing or cannot be opened.
    virtual std::vector<std::string> ListAccounts() = 0;

    // Opens the account's key, creating it when it is missing (closing any account open before). False when
    // that fails; the caller may ignore it, the value operations then act on no key.
    virtual bool OpenAccount(std::string_view login) = 0;

    // As OpenAccount, but never creates a key: false when the account has none.
    virtual bool OpenExistingAccount(std::string_view login) = 0;

    virtual void CloseAccount() = 0;

    // Whether the open account holds a value of that name, of any type.
    virtual bool HasValue(std::string_view name) = 0;

    // A string value (REG_SZ or REG_EXPAND_SZ), up to its first zero character. A missing value gives "";
    // any other type throws EUserDatabaseError "Invalid data type for '<name>'".
    virtual std::string ReadText(std::string_view name) = 0;

    // A REG_DWORD as a signed 32-bit number. Throws EUserDatabaseError "Failed to get data for '<name>'"
    // when the value is missing or does not fit into 4 bytes, "Invalid data type for '<name>'" when it fits
    // but is not a REG_DWORD. A string counts as fitting when it has at most 3 characters (its 8-bit text
    // with the closing zero byte takes at most 4 bytes): "abc" is of the wrong type, "abcd" cannot be got.
    virtual std::int32_t ReadNumber(std::string_view name) = 0;

    // A REG_DWORD that counts something and is never negative (traffic in bytes, time on line in seconds):
    // its 32 bits as an unsigned number, 0 to 4294967295. The same errors as ReadNumber.
    std::uint32_t ReadCount(std::string_view name) { return static_cast<std::uint32_t>(ReadNumber(name)); }

    // ReadNumber(name) != 0, with the same errors.
    bool ReadFlag(std::string_view name) { return ReadNumber(name) != 0; }

    // Reads of values that a caller reads from account after account (the statistics loader's dozen):
    // prepare each name once, then read by what Prepare gave. A store may then find the value without
    // comparing the name's text again for every account. Results and errors are those of the reads by
    // name, the name's text in the messages. Prepared names belong to this store, for its whole life.
    PreparedName Prepare(std::string_view name) {
        prepared_.emplace_back(name);
        return PreparedName{static_cast<int>(prepared_.size()) - 1};
    }
    std::string_view NameOf(PreparedName name) const { return prepared_.at(static_cast<std::size_t>(name.index)); }
    bool HasValue(PreparedName name) { return HasPreparedValue(name); }
    std::string ReadText(PreparedName name) { return ReadPreparedText(name); }
    std::int32_t ReadNumber(PreparedName name) { return ReadPreparedNumber(name); }
    std::uint32_t ReadCount(PreparedName name) { return static_cast<std::uint32_t>(ReadNumber(name)); }
    bool ReadFlag(PreparedName name) { return ReadNumber(name) != 0; }

    // Write a REG_SZ (up to the text's first zero byte) / a REG_DWORD. A write that the store refuses
    // throws EUserDatabaseError "Failed to set data for '<name>'".
    virtual void WriteText(std::string_view name, std::string_view text) = 0;
    virtual void WriteNumber(std::string_view name, std::int32_t value) = 0;

    // Writes the number 1 or 0.
    void WriteFlag(std::string_view name, bool value) { WriteNumber(name, value ? 1 : 0); }

    // ImagePath of the proxy service's key ("" when the value is missing). Opens that key without creating
    // it; throws EServiceNotFound when it is missing or cannot be opened. Leaves the open account alone.
    virtual std::string ReadServiceImagePath() = 0;

    // Ends a batch of writes (see above).
    virtual void Flush() = 0;

protected:
    // The reads by a prepared name; by default the reads by its text.
    virtual bool HasPreparedValue(PreparedName name) { return HasValue(NameOf(name)); }
    virtual std::string ReadPreparedText(PreparedName name) { return ReadText(NameOf(name)); }
    virtual std::int32_t ReadPreparedNumber(PreparedName name) { return ReadNumber(NameOf(name)); }

private:
    std::vector<std::string> prepared_;
};

// ---------------------------------------------------------------------------------------------------------
// Choosing the store
// ---------------------------------------------------------------------------------------------------------

// Where the user database lives. Decided once when the program starts (FromEnvironment) and kept by the
// application, which opens a fresh store from it for every operation.
class UserDatabaseLocation {
public:
    // Windows without TARNWELL_REGISTRY: the registry. Otherwise the registry export file that
    // TARNWELL_REGISTRY names (made absolute now, since the viewer later changes the current folder), or,
    // when it is unset or empty, "registry.reg" in ProgramFolder().
    static UserDatabaseLocation FromEnvironment();

    // The registry export file at path (Windows-1251 bytes).
    static UserDatabaseLocation RegFile(std::string path);

#ifdef _WIN32
    static UserDatabaseLocation Registry();
#endif

    bool IsRegistry() const {
        return registry_;
    }
    // The export file's path; empty for the registry.
    const std::string& FilePath() const {
        return path_;
    }

    // A new store on this location. Opening touches nothing yet: a missing or malformed file shows up in
    // the first operation (a malformed one as ERegFileError).
    std::unique_ptr<TUserDatabase> Open(const UserDatabaseKeys& keys = {}) const;

private:
    UserDatabaseLocation(bool registry, std::string path) : registry_(registry), path_(std::move(path)) {}

    bool registry_ = false;
    std::string path_;
};

}  // namespace tarnwell
