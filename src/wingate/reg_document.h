#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwell {

// A registry export file held in memory: the header, the keys in brackets and their values, in both
// formats Windows writes ("REGEDIT4", 8-bit text read as Windows-1251; "Windows Registry Editor Version
// 5.00", UTF-16LE with a byte order mark).
//
// The document keeps the file's own text. Rendering an unchanged document gives the file back byte for
// byte; changing a value rewrites only that value's entry (the name as it stood, the new data, the same
// line ending); a new value goes after the last value of its key, a new key after its siblings and their
// subkeys. Comments, blank lines, unknown value types, keys of other hives and every byte the program does
// not understand are carried through untouched.
//
// Key and value names match without regard to letter case, like the registry. Paths and names given to
// and returned by the document are Windows-1251.
class RegDocument {
public:
    enum class Format { Regedit4, Version5 };

    // A value as the registry holds it: its type and its data bytes. String data is in the file's own
    // encoding (Windows-1251 bytes for REGEDIT4, UTF-16LE for Version 5.00) with its closing zero.
    struct RawValue {
        std::uint32_t type = 0;
        std::string bytes;
        friend bool operator==(const RawValue&, const RawValue&) = default;
    };

    // Largest file the document accepts.
    static constexpr std::size_t kMaxFileSize = std::size_t{256} << 20;
    // Most lines and most keys (key lines, and keys their paths name) a file may hold. Every line and key
    // costs the document tens to hundreds of bytes, so a file of short lines or of deep key paths would
    // otherwise take many times its own size in memory; a user database uses a small part of either.
    static constexpr std::size_t kMaxLines = std::size_t{1} << 21;
    static constexpr std::size_t kMaxKeys = std::size_t{1} << 18;

    // The root of all keys; the hives ("HKEY_LOCAL_MACHINE", ...) are its subkeys.
    static constexpr int kRoot = 0;
    static constexpr int kNoKey = -1;

    // Parses a file's bytes. A malformed file throws ERegFileError "<file_name>(<line>): <what is wrong>".
    static RegDocument Parse(std::string_view bytes, const std::string& file_name);

    // A document with nothing but the Version 5.00 header, for a file that does not exist yet.
    static RegDocument NewVersion5();

    Format format() const { return format_; }

    // The file's bytes as they stand now.
    std::string Render() const;

    // Whether anything changed since parsing or the last MarkSaved().
    bool modified() const { return modified_; }
    void MarkSaved() { modified_ = false; }

    // The key at path below key base ("SOFTWARE\Qbik Software", parts separated by backslashes, empty parts
    // skipped), or kNoKey. A key exists when it has its own line in brackets or a key below it has one.
    int FindKey(int base, std::string_view path) const;

    // As FindKey, creating the missing keys (each after its siblings).
    int CreateKey(int base, std::string_view path);

    // Names of the key's direct subkeys, in file order.
    std::vector<std::string> SubkeyNames(int key) const;
    // The same subkeys by number, in the same order.
    std::vector<int> Subkeys(int key) const;
    // Whether the key's own name is spelled exactly so (letter case included): a cheap check of a key
    // that is expected, before the look-up by name.
    bool IsNamed(int key, std::string_view name) const;

    // The direct subkey whose name, as SubkeyNames gives it, is name, or kNoKey. Finds subkeys whose names
    // hold characters that Windows-1251 lacks (they read as '?'), which FindKey cannot.
    int FindListedSubkey(int key, std::string_view name) const;

    // The value of that name in the key (the last one when a key repeats a name, as an import would leave
    // it), or nullopt.
    std::optional<RawValue> Value(int key, std::string_view name) const;

    // Whether the key has a value of that name (Value without decoding it).
    bool HasValue(int key, std::string_view name) const;

    // Writes a value (REG_SZ up to the text's first zero byte; REG_DWORD). Writing what the value already
    // holds changes nothing.
    void SetText(int key, std::string_view name, std::string_view text);
    void SetNumber(int key, std::string_view name, std::int32_t value);

    // String data of a REG_SZ / REG_EXPAND_SZ value as Windows-1251 text, up to the first zero character.
    std::string TextOf(const RawValue& value) const;

    // The two reads a statistics refresh makes for every account, without building the value's bytes:
    // the number of a value written as dword:..., and the text (as TextOf gives it) of a value written as
    // a quoted string. nullopt when the value is absent or written in another form; Value tells the rest.
    std::optional<std::uint32_t> DwordEntry(int key, std::string_view name) const;
    std::optional<std::string> QuotedText(int key, std::string_view name) const;

    // The same reads by the number of a value name, for a reader that reads the same names from many
    // keys: ValueNameId once, then the reads by number, without comparing the name's text each time. A
    // number stays valid for the document's life; kNoValueName means that no entry has the name (yet: a
    // write may add it, after which ValueNameId gives its number).
    static constexpr std::uint32_t kNoValueName = 0xFFFFFFFFu;
    std::uint32_t ValueNameId(std::string_view name) const;
    bool HasValue(int key, std::uint32_t name_id) const;
    std::optional<std::uint32_t> DwordEntry(int key, std::uint32_t name_id) const;
    std::optional<std::string> QuotedText(int key, std::uint32_t name_id) const;

    // A hint that the key will be opened and its values read soon: starts loading its name and entries
    // into the processor's cache. Changes nothing; any key number is accepted.
    void Prefetch(int key) const;

    // How many bytes the value's data takes in 8-bit form (strings one byte a character, zero included).
    std::size_t AnsiSize(const RawValue& value) const;

private:
    // A piece of text: a range of units_, or (owned >= 0) one of owned_.
    struct Text {
        std::uint32_t begin = 0;
        std::uint32_t end = 0;
        std::int32_t owned = -1;
    };

    enum class Form : std::uint8_t { Other, Quoted, Dword, Hex };

    // The id of a value name, the same for every spelling that differs only in letter case; entries are
    // matched by id, so a look-up compares the name once instead of against every entry of the key.
    static constexpr std::uint32_t kNoName = kNoValueName;

    // One entry below a key line: a value (with its continuation lines), a blank line or a comment. Its
    // text includes the line ending(s).
    struct Item {
        Text text;
        std::uint32_t value_begin = 0;  // where the data starts ("dword:..."), relative to the start of text
        std::uint32_t data_begin = 0;   // the data proper (the digits, the text inside quotes)
        std::uint32_t data_end = 0;
        std::uint32_t type = 0;
        std::uint32_t number = 0;         // a dword entry's number, read once when the entry is parsed
        std::uint32_t name_id = kNoName;  // its name in value_names_; kNoName for blank lines and comments
        Form form = Form::Other;
    };

    struct Section {
        Text header;
        int node = 0;
        int next = -1;  // the node's next section in file order (a key may have several)
        std::vector<Item> items;
    };

    struct Node {
        Text name;
        int parent = kNoKey;
        std::size_t hash = 0;  // of the parent and the folded name
        int first_section = -1;
        int last_section = -1;
        std::vector<int> children;
    };

    class Parser;

    RegDocument() = default;

    std::u16string_view View(const Text& text) const;
    Text Own(std::u16string text);
    std::u16string ToUnits(std::string_view cp1251) const;
    std::string FromUnits(std::u16string_view units) const;
    char16_t Fold(char16_t unit) const;
    bool SameName(std::u16string_view a, std::u16string_view b) const;
    // Whether the units spell exactly the Windows-1251 text (letter case included), without widening it.
    bool SpelledAs(std::u16string_view units, std::string_view cp1251) const;
    std::size_t NameHash(int parent, std::u16string_view name) const;
    void IndexNode(int node);
    const std::u16string& Scratch(std::string_view cp1251) const;
    int FindChild(int parent, std::u16string_view name) const;
    int FindChild(int parent, std::u16string_view name, std::size_t hash) const;
    int AddNode(int parent, Text name);
    int AddNode(int parent, Text name, std::size_t hash);
    std::uint32_t FindValueName(std::string_view cp1251) const;
    std::uint32_t HashedValueName(std::u16string_view name) const;
    std::uint32_t InternValueName(Text name);
    bool InSubtree(int node, int top) const;

    const Item* FindItem(int key, std::uint32_t name_id, int* section, std::size_t* index) const;
    RawValue Decode(const Item& item) const;
    void SetValue(int key, std::string_view name, RawValue raw, std::u16string data, Form form);
    void PlaceData(Item& item, std::u16string& text, const RawValue& raw, std::u16string data, Form form) const;
    void EnsureLineEnd(Text& text);
    void AddSection(int node);
    std::u16string FullPath(int node) const;
    std::u16string HexText(const std::string& bytes, std::uint32_t type, std::size_t first_line_length) const;

    Format format_ = Format::Version5;
    std::u16string units_;  // the file: one unit a byte (REGEDIT4) or a UTF-16 unit (Version 5.00)
    std::vector<std::u16string> owned_;
    std::u16string newline_ = u"\r\n";
    Text prolog_;  // everything before the first key line
    std::vector<Section> sections_;
    std::vector<int> order_;  // sections_ indexes in file order
    std::vector<Node> nodes_;
    struct Bucket {
        int node = -1;           // -1: free
        std::uint32_t hash = 0;  // the node's hash, its low 32 bits (enough to place it in any table)
    };
    std::vector<Bucket> buckets_;  // open-addressing index of nodes by parent and name
    std::vector<Text> value_names_;  // by id: the first spelling of each value name
    std::vector<std::size_t> value_name_hashes_;
    std::vector<std::uint32_t> value_name_buckets_;  // open-addressing index of value_names_; kNoName is free
    mutable std::vector<std::uint32_t> asked_next_;  // by a name id + 1: the id asked for after it last time
    mutable std::uint32_t last_asked_ = kNoName;
    mutable std::u16string scratch_;
    bool modified_ = false;
};

}  // namespace tarnwell
