#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "wingate/reg_document.h"
#include "wingate/user_database.h"

namespace tarnwell {

// The user database in a registry export file standing for HKEY_LOCAL_MACHINE.
//
// The file is read at the first operation and held in memory; writes change the memory copy, and Flush()
// replaces the file atomically when anything changed. A missing file acts as an empty registry (nothing to
// list; a write creates a Version 5.00 file). A malformed file gives its ERegFileError on every operation
// and is never written.
class RegFileUserDatabase : public TUserDatabase {
public:
    RegFileUserDatabase(std::string path, UserDatabaseKeys keys);
    ~RegFileUserDatabase() override;

    RegFileUserDatabase(const RegFileUserDatabase&) = delete;
    RegFileUserDatabase& operator=(const RegFileUserDatabase&) = delete;

    std::vector<std::string> ListAccounts() override;
    bool OpenAccount(std::string_view login) override;
    bool OpenExistingAccount(std::string_view login) override;
    void CloseAccount() override;
    bool HasValue(std::string_view name) override;
    std::string ReadText(std::string_view name) override;
    std::int32_t ReadNumber(std::string_view name) override;
    void WriteText(std::string_view name, std::string_view text) override;
    void WriteNumber(std::string_view name, std::int32_t value) override;
    std::string ReadServiceImagePath() override;
    void Flush() override;

protected:
    bool HasPreparedValue(PreparedName name) override;
    std::string ReadPreparedText(PreparedName name) override;
    std::int32_t ReadPreparedNumber(PreparedName name) override;

private:
    RegDocument& Document();
    std::uint32_t NameId(PreparedName name);
    int DatabaseKey(bool create);
    int FindAccount(int database, std::string_view login);
    std::string ReadTextOf(int key, std::string_view name);

    std::string path_;
    UserDatabaseKeys keys_;
    std::optional<RegDocument> document_;
    std::optional<ERegFileError> load_error_;
    int database_ = RegDocument::kNoKey;  // found (or created) once, nodes never move
    int account_ = RegDocument::kNoKey;
    // The accounts ListAccounts gave, by key, and the one expected to be opened next: callers open the
    // listed accounts in turn, so the expected key is checked by its spelling before a look-up by name.
    std::vector<int> listed_;
    std::size_t next_listed_ = 0;
    // The document's number of each prepared name, looked up at its first read (kNoValueName: not in
    // the file; looked up again, since a write may add it).
    std::vector<std::uint32_t> name_ids_;
};

}  // namespace tarnwell
