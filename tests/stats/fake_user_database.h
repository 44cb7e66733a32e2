#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "wingate/user_database.h"

namespace tarnwell {

// An in-memory user database that logs every change, for checking what the send-flag writer touches.
class FakeUserDatabase : public TUserDatabase {
public:
    using Value = std::variant<std::string, std::int32_t>;
    std::map<std::string, std::map<std::string, Value>> accounts;
    std::vector<std::string> log;  // "create <login>", "<login>.<name>=<value>", "flush"
    std::string refuse_writes_to;  // a login whose writes fail

    std::vector<std::string> ListAccounts() override {
        std::vector<std::string> logins;
        for (const auto& [login, values] : accounts) logins.push_back(login);
        return logins;
    }
    bool OpenAccount(std::string_view login) override {
        if (!accounts.contains(std::string(login))) log.push_back("create " + std::string(login));
        accounts[std::string(login)];
        open_ = login;
        return true;
    }
    bool OpenExistingAccount(std::string_view login) override {
        open_ = accounts.contains(std::string(login)) ? std::string(login) : "";
        return !open_.empty();
    }
    void CloseAccount() override { open_.clear(); }
    bool HasValue(std::string_view name) override { return Values() && Values()->contains(std::string(name)); }
    std::string ReadText(std::string_view name) override {
        if (!HasValue(name)) return "";
        if (auto* text = std::get_if<std::string>(&Values()->at(std::string(name)))) return *text;
        throw EUserDatabaseError("Invalid data type for '" + std::string(name) + "'");
    }
    std::int32_t ReadNumber(std::string_view name) override {
        if (!HasValue(name)) throw EUserDatabaseError("Failed to get data for '" + std::string(name) + "'");
        return std::get<std::int32_t>(Values()->at(std::string(name)));
    }
    void WriteText(std::string_view name, std::string_view text) override { Write(name, std::string(text)); }
    void WriteNumber(std::string_view name, std::int32_t value) override { Write(name, value); }
    std::string ReadServiceImagePath() override { return ""; }
    void Flush() override { log.push_back("flush"); }

private:
    std::map<std::string, Value>* Values() { return open_.empty() ? nullptr : &accounts[open_]; }
    void Write(std::string_view name, Value value) {
        if (!Values() || open_ == refuse_writes_to) {
            throw EUserDatabaseError("Failed to set data for '" + std::string(name) + "'");
        }
        std::string shown = std::holds_alternative<std::string>(value) ? std::get<std::string>(value)
                                                                       : std::to_string(std::get<std::int32_t>(value));
        log.push_back(open_ + "." + std::string(name) + "=" + shown);
        (*Values())[std::string(name)] = std::move(value);
    }

    std::string open_;
};

}  // namespace tarnwell
