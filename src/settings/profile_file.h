#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarnwell {

// A Windows profile (INI) file held in memory, read and changed with the rules of the Windows profile
// functions, then written back whole:
//
// - "[name]" starts a section; "key=value" lines belong to the section above them. Section and key names
//   match without regard to letter case. When a name occurs twice, the first occurrence counts.
// - A value is the text after the first "=", without surrounding blanks and without one pair of enclosing
//   single or double quotes, cut to its first 2047 characters.
// - Writing replaces an existing key's line in place, adds a missing key after the last line of its
//   section and a missing section at the end of the file. Every other line stays byte for byte as it
//   was, line ends included (CR LF, LF or a lone CR); new lines take the line end the file uses first,
//   CR LF in a file that has none.
//
// Texts are Windows-1251 bytes. Any bytes parse: a line that is neither a section nor a key is kept and
// ignored.
class ProfileFile {
public:
    static constexpr std::size_t kMaxValueLength = 2047;

    ProfileFile() = default;
    explicit ProfileFile(std::string_view bytes);

    // The value, or nullopt when the section or the key is missing.
    std::optional<std::string> ReadString(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    // Signed decimal, or hexadecimal after "0x"; a missing, empty or unreadable value gives def.
    std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t def) const;

    // Line breaks inside the value become blanks: a value always stays on its own line. Names must not be
    // empty or hold a line break, nor a key "=" or a section "]" (Error otherwise: they come from the
    // program, never from the file).
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);

    // The file as it stands now.
    std::string Bytes() const;

private:
    struct Line {
        std::string text;  // without its line end
        std::string_view eol;
    };
    struct Section {
        std::vector<Line> lines;  // the "[name]" line first, except in the part before the first section
        std::unordered_map<std::string, std::size_t> keys;  // folded key name -> its first line
        std::size_t end = 0;  // after the section's last line that is not blank: where a new key goes
    };

    void AddLine(std::string_view text, std::string_view eol);
    void InsertLine(Section& section, std::size_t at, std::string text);
    const Line* FindKey(std::string_view section, std::string_view key) const;

    std::vector<Section> sections_ = std::vector<Section>(1);     // [0]: the lines before the first section
    std::unordered_map<std::string, std::size_t> section_index_;  // folded name -> first such section
    std::string_view eol_ = "\r\n";
    bool eol_seen_ = false;
};

}  // namespace tarnwell
