#include "settings/profile_file.h"

#include <array>

#include "text/cp1251.h"
#include "text/error.h"
#include "text/int_text.h"

namespace tarnwell {
namespace {

constexpr std::string_view kBlanks = " \t\v\f";

std::string_view Trim(std::string_view text) {
    std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// Lower case of a letter of the code page: Latin and Cyrillic; anything else unchanged.
char32_t LowerCase(char32_t cp) {
    if (cp >= U'A' && cp <= U'Z') return cp + 0x20;
    if (cp >= 0x0410 && cp <= 0x042F) return cp + 0x20;  // А-Я
    if (cp >= 0x0400 && cp <= 0x040F) return cp + 0x50;  // Ѐ-Џ
    if (cp == 0x0490) return 0x0491;                     // Ґ
    return cp;
}

const std::array<char, 256>& LowerCaseTable() {
    static const std::array<char, 256> table = [] {
        std::array<char, 256> lower{};
        for (int b = 0; b < 256; ++b) {
            int folded = UnicodeToCp1251(LowerCase(Cp1251ToUnicode(static_cast<unsigned char>(b))));
            lower[b] = static_cast<char>(folded < 0 ? b : folded);
        }
        return lower;
    }();
    return table;
}

// The form of a section or key name under which it is looked up.
std::string Fold(std::string_view name) {
    const auto& lower = LowerCaseTable();
    std::string folded(name);
    for (char& c : folded) c = lower[static_cast<unsigned char>(c)];
    return folded;
}

// The name of a "[name]" line (blanks around the line already trimmed), or nullopt for any other line.
// The name ends at the line's last "]", so "[a]b]" is the section "a]b".
std::optional<std::string_view> SectionName(std::string_view trimmed) {
    if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
    std::size_t close = trimmed.rfind(']');
    if (close == std::string_view::npos || close == 0) return std::nullopt;
    return trimmed.substr(1, close - 1);
}

void CheckName(std::string_view name, char forbidden) {
    if (name.empty() || Trim(name) != name || name.find_first_of("\r\n") != std::string_view::npos ||
        name.find(forbidden) != std::string_view::npos) {
        throw Error("Invalid name in a profile file: '" + std::string(name) + "'");
    }
}

}  // namespace

ProfileFile::ProfileFile(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            AddLine(bytes.substr(pos), "");
            break;
        }
        std::string_view eol = bytes[end] == '\n' ? "\n" : bytes.substr(end, 2) == "\r\n" ? "\r\n" : "\r";
        AddLine(bytes.substr(pos, end - pos), eol);
        pos = end + eol.size();
    }
}

void ProfileFile::AddLine(std::string_view text, std::string_view eol) {
    if (!eol.empty() && !eol_seen_) {
        eol_ = eol;
        eol_seen_ = true;
    }
    std::string_view trimmed = Trim(text);
    if (auto name = SectionName(trimmed)) {
        section_index_.try_emplace(Fold(*name), sections_.size());
        sections_.emplace_back();
    }
    Section& section = sections_.back();
    std::size_t index = section.lines.size();
    section.lines.push_back({std::string(text), eol});
    if (trimmed.empty()) return;
    section.end = index + 1;
    if (index == 0 && &section != &sections_.front()) return;  // the "[name]" line
    std::size_t equals = trimmed.find('=');
    if (equals != std::string_view::npos) section.keys.try_emplace(Fold(Trim(trimmed.substr(0, equals))), index);
}

const ProfileFile::Line* ProfileFile::FindKey(std::string_view section, std::string_view key) const {
    auto found_section = section_index_.find(Fold(section));
    if (found_section == section_index_.end()) return nullptr;
    const Section& s = sections_[found_section->second];
    auto found_key = s.keys.find(Fold(key));
    return found_key == s.keys.end() ? nullptr : &s.lines[found_key->second];
}

std::optional<std::string> ProfileFile::ReadString(std::string_view section, std::string_view key) const {
    const Line* line = FindKey(section, key);
    if (line == nullptr) return std::nullopt;
    std::string_view text = line->text;
    std::string_view value = Trim(text.substr(text.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, kMaxValueLength));
}

std::string ProfileFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    auto value = ReadString(section, key);
    return value ? *value : std::string(def);
}

std::int32_t ProfileFile::ReadInteger(std::string_view section, std::string_view key, std::int32_t def) const {
    auto value = ReadString(section, key);
    return value ? ProfileStrToInt(*value, def) : def;
}

void ProfileFile::InsertLine(Section& section, std::size_t at, std::string text) {
    // The line before may be the last of a file that ends without a line end.
    if (at > 0 && section.lines[at - 1].eol.empty()) section.lines[at - 1].eol = eol_;
    section.lines.insert(section.lines.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), eol_});
}

void ProfileFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    CheckName(section, ']');
    CheckName(key, '=');
    std::string flat(value);
    for (char& c : flat) {
        if (c == '\r' || c == '\n') c = ' ';
    }

    auto found_section = section_index_.find(Fold(section));
    if (found_section == section_index_.end()) {
        // A new section at the end of the file, after whatever the last section holds. The file's last
        // line may lack its line end.
        Section& last = sections_.back();
        if (!last.lines.empty() && last.lines.back().eol.empty()) last.lines.back().eol = eol_;
        std::size_t index = sections_.size();
        Section& added = sections_.emplace_back();
        added.lines.push_back({"[" + std::string(section) + "]", eol_});
        added.lines.push_back({std::string(key) + "=" + flat, eol_});
        added.keys.emplace(Fold(key), 1);
        added.end = 2;
        section_index_.emplace(Fold(section), index);
        return;
    }

    Section& s = sections_[found_section->second];
    auto found_key = s.keys.find(Fold(key));
    if (found_key != s.keys.end()) {
        Line& line = s.lines[found_key->second];
        std::string_view trimmed = Trim(line.text);
        line.text = std::string(Trim(trimmed.substr(0, trimmed.find('=')))) + "=" + flat;
        return;
    }
    // Only blank lines follow s.end, so the key lines keep their indexes.
    InsertLine(s, s.end, std::string(key) + "=" + flat);
    s.keys.emplace(Fold(key), s.end);
    ++s.end;
}

void ProfileFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
    WriteString(section, key, IntToStr(value));
}

std::string ProfileFile::Bytes() const {
    std::string bytes;
    for (const Section& section : sections_) {
        for (const Line& line : section.lines) {
            bytes += line.text;
            bytes += line.eol;
        }
    }
    return bytes;
}

}  // namespace tarnwell
