// The settings file reader on any bytes: an untouched file is written back byte for byte, and a value
// written under one of the program's own keys reads back (as the profile rules read any value: line
// breaks made blanks, blanks around it and one pair of quotes dropped, cut to 2047 bytes) from the file
// parsed again, while every other key of the program reads as before.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "settings/profile_file.h"
#include "settings/settings_keys.h"

namespace tarnwell::fuzzing {
namespace {

using Key = std::pair<std::string_view, std::string_view>;

// Every key settings.ini holds.
std::vector<Key> ProgramKeys() {
    namespace k = settings_keys;
    std::vector<Key> keys;
    for (std::string_view key :
         {"FromName", "FromAddress", "Subject", "UserID", "Domain", "SGToUser", "Host", "Port", "HTMLPath"}) {
        keys.emplace_back(k::kMail, key);
    }
    keys.emplace_back(k::kSet, "LastPath");
    for (std::string_view key : k::kAutoRunKeys) keys.emplace_back(k::kAutoRun, key);
    for (std::string_view key : k::kColumnKeys) {
        keys.emplace_back(k::kTableStat, key);
        keys.emplace_back(k::kTableHTML, key);
    }
    for (std::string_view key : {"AutoClose", "AutoSave", "NormKB", "Razmernost", "Tochnost", "DefaultLim"}) {
        keys.emplace_back(k::kOpt, key);
    }
    for (std::string_view key : k::kLetterKeys) keys.emplace_back(k::kMCont, key);
    return keys;
}

std::string ExpectedRead(std::string value) {
    constexpr std::string_view kBlanks = " \t\v\f";
    for (char& c : value) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    const std::size_t first = value.find_first_not_of(kBlanks);
    if (first == std::string::npos) return {};
    value = value.substr(first, value.find_last_not_of(kBlanks) - first + 1);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value.substr(0, ProfileFile::kMaxValueLength);
}

}  // namespace
}  // namespace tarnwell::fuzzing

// The input: the file, then (after the last NUL byte, when there is one) the value to write; its first
// byte picks the key.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwell;
    using tarnwell::fuzzing::Require;
    static const std::vector<fuzzing::Key> keys = fuzzing::ProgramKeys();

    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = input.rfind('\0');
    const std::string_view file = nul == std::string_view::npos ? input : input.substr(0, nul);
    const std::string_view value = nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1);

    ProfileFile profile(file);
    Require(profile.Bytes() == file, "an untouched file is written back byte for byte");

    const fuzzing::Key written = keys[value.empty() ? 0 : static_cast<unsigned char>(value[0]) % keys.size()];
    std::vector<std::optional<std::string>> before;
    for (const auto& [section, key] : keys) before.push_back(profile.ReadString(section, key));

    profile.WriteString(written.first, written.second, value);
    const ProfileFile again(profile.Bytes());
    Require(again.ReadString(written.first, written.second) == fuzzing::ExpectedRead(std::string(value)),
            "a written value reads back");
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i] == written) continue;
        Require(again.ReadString(keys[i].first, keys[i].second) == before[i], "the other keys read as before");
    }

    // A number reads back as that number.
    std::int32_t number = 0;
    for (std::size_t i = 0; i < value.size() && i < 4; ++i) number = number << 8 | static_cast<unsigned char>(value[i]);
    profile.WriteInteger(written.first, written.second, number);
    Require(ProfileFile(profile.Bytes()).ReadInteger(written.first, written.second, number ^ 1) == number,
            "a written number reads back");
    return 0;
}
