#include "wingate/reg_document.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "text/cp1251.h"
#include "text/cp1251_table.h"
#include "wingate/reg_syntax.h"
#include "wingate/user_database.h"
#include "wingate/value_rules.h"

namespace tarnwell {

using namespace reg_syntax;

// ---------------------------------------------------------------------------------------------------------
// Parsing
// ---------------------------------------------------------------------------------------------------------

class RegDocument::Parser {
public:
    Parser(RegDocument& doc, const std::string& file_name) : doc_(doc), file_(file_name) {}

    void Run(std::string_view bytes) {
        Decode(bytes);
        const std::u16string& u = doc_.units_;
        std::size_t pos = 0;
        int section = -1;
        bool first = true;
        while (pos < u.size()) {
            NextLine();
            std::size_t eol = LineFeed(pos);
            std::size_t next = eol == std::u16string::npos ? u.size() : eol + 1;
            std::u16string_view content = Content(std::u16string_view(u).substr(pos, next - pos));
            if (first) {
                Header(content, next);
                first = false;
                pos = next;
                continue;
            }
            std::size_t lead = 0;
            while (lead < content.size() && IsBlank(content[lead])) ++lead;
            char16_t c = lead < content.size() ? content[lead] : u'\0';
            if (c == u'[') {
                section = KeyLine(content, lead, pos, next);
                pos = next;
                continue;
            }
            Item item;
            item.text = Text{Offset(pos), Offset(next)};
            if (lead == content.size() || c == u';') {
                // Blank line or comment.
            } else if (c == u'"' || c == u'@') {
                if (section < 0) Fail("a value before the first key");  // "a"="b" right after the header
                next = ValueEntry(item, pos, lead, next);
            } else {
                Fail("unrecognised line (expected [key], \"name\"=data, @=data or a ';' comment)");
            }
            if (section < 0) {
                doc_.prolog_.end = Offset(next);
            } else {
                doc_.sections_[static_cast<std::size_t>(section)].items.push_back(item);
            }
            pos = next;
        }
        if (first) Fail("empty file (expected \"REGEDIT4\" or \"Windows Registry Editor Version 5.00\")");
    }

private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw ERegFileError(file_ + "(" + std::to_string(line_ == 0 ? 1 : line_) + "): " + what);
    }

    std::uint32_t Offset(std::size_t pos) const { return static_cast<std::uint32_t>(pos); }

    // The next line feed at or after pos in the units, or npos. It is searched in the file's own bytes,
    // many at a time (memchr): an 8-bit file holds the same line feeds at the same places; in a UTF-16
    // file a line feed is a 0x0A byte at an even place with a zero after it, and any other 0x0A byte (the
    // low byte of another unit, or a high byte) is passed over.
    std::size_t LineFeed(std::size_t pos) const {
        const std::string_view bytes = file_bytes_;
        std::size_t at = pos * unit_size_;
        while (at < bytes.size()) {
            const void* found = std::memchr(bytes.data() + at, '\n', bytes.size() - at);
            if (found == nullptr) break;
            at = static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data());
            if (unit_size_ == 1) return at;
            if (at % 2 == 0 && at + 1 < bytes.size() && bytes[at + 1] == '\0') return at / 2;
            ++at;
        }
        return std::u16string::npos;
    }

    void NextLine() {
        if (++line_ > kMaxLines) Fail("more than " + std::to_string(kMaxLines) + " lines");
    }

    // Before a new key or key line: both count against the same limit.
    void CheckKeyLimit(std::size_t count) const {
        if (count >= kMaxKeys) Fail("more than " + std::to_string(kMaxKeys) + " keys");
    }

    void Decode(std::string_view bytes) {
        if (bytes.size() > kMaxFileSize) Fail("file too large");
        if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
            static_cast<unsigned char>(bytes[1]) == 0xFE) {
            doc_.format_ = Format::Version5;
            if (bytes.size() % 2 != 0) Fail("UTF-16 file with an odd number of bytes (cut short?)");
            Widen(bytes.substr(2), 2);
            file_bytes_ = bytes.substr(2);
            unit_size_ = 2;
        } else {
            doc_.format_ = Format::Regedit4;
            Widen(bytes, 1);
            file_bytes_ = bytes;
            unit_size_ = 1;
        }
    }

    // Appends the file's units (one byte each, or two in little-endian order) to units_ through a small
    // buffer: the units' fresh pages are written once, not zeroed first and then filled.
    void Widen(std::string_view bytes, std::size_t width) {
        std::u16string& u = doc_.units_;
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        const std::size_t count = bytes.size() / width;
        u.reserve(count);
        char16_t chunk[2048];
        for (std::size_t done = 0; done < count;) {
            std::size_t n = std::min(count - done, std::size(chunk));
            if (width == 2) {
                for (std::size_t i = 0; i < n; ++i) {
                    chunk[i] = static_cast<char16_t>(p[2 * (done + i)] | (p[2 * (done + i) + 1] << 8));
                }
            } else {
                for (std::size_t i = 0; i < n; ++i) chunk[i] = p[done + i];
            }
            u.append(chunk, n);
            done += n;
        }
    }

    void Header(std::u16string_view content, std::size_t next) {
        std::u16string_view header = TrimRight(content);
        if (doc_.format_ == Format::Version5) {
            if (header != kHeader5) Fail("a UTF-16 file must start with \"Windows Registry Editor Version 5.00\"");
        } else if (header != kHeader4) {
            if (header == kHeader5) Fail("a \"Version 5.00\" file must be UTF-16LE with a byte order mark");
            Fail("not a registry export file (expected \"REGEDIT4\" or \"Windows Registry Editor Version 5.00\")");
        }
        doc_.prolog_ = Text{0, Offset(next)};
        std::u16string_view ending = Ending(std::u16string_view(doc_.units_).substr(0, next));
        if (!ending.empty()) doc_.newline_.assign(ending);
    }

    int KeyLine(std::u16string_view content, std::size_t lead, std::size_t pos, std::size_t next) {
        if (lead + 1 < content.size() && content[lead + 1] == u'-') {
            Fail("key deletions ([-...]) do not belong in a database file");
        }
        std::size_t close = content.rfind(u']');
        if (close == std::u16string_view::npos || close < lead) Fail("missing ']' at the end of the key");  // [A\B
        if (!TrimRight(content.substr(close + 1)).empty()) Fail("text after the key's ']'");                // [A] x
        std::size_t start = lead + 1;
        if (start == close) Fail("empty key name");  // []
        std::u16string_view path = content.substr(start, close - start);
        // Keys come in runs of siblings: start from the previous key's parent when the path shares it.
        std::size_t last_slash = path.rfind(u'\\');
        int node = kRoot;
        std::size_t begin = 0;
        if (last_slash != std::u16string_view::npos && parent_ != kNoKey &&
            SameUnits(path.substr(0, last_slash + 1), parent_path_)) {
            node = parent_;
            begin = last_slash + 1;
        }
        int parent = node;
        for (std::size_t i = begin; i <= path.size(); ++i) {
            if (i < path.size() && path[i] != u'\\') continue;
            if (i == begin) Fail("empty key name in the path");  // [A\\B], [A\]
            std::u16string_view part = path.substr(begin, i - begin);
            std::size_t hash = doc_.NameHash(node, part);
            int child = doc_.FindChild(node, part, hash);
            if (child == kNoKey) {
                CheckKeyLimit(doc_.nodes_.size() - 1);  // the root is no key
                std::size_t at = pos + start + begin;
                child = doc_.AddNode(node, Text{Offset(at), Offset(at + part.size())}, hash);
            }
            parent = node;
            node = child;
            begin = i + 1;
        }
        if (last_slash != std::u16string_view::npos) {
            parent_ = parent;
            parent_path_ = path.substr(0, last_slash + 1);
        }
        CheckKeyLimit(doc_.sections_.size());
        previous_name_ = kNoName;
        Section section;
        section.header = Text{Offset(pos), Offset(next)};
        section.node = node;
        section.items.reserve(16);
        int index = static_cast<int>(doc_.sections_.size());
        doc_.sections_.push_back(std::move(section));
        doc_.order_.push_back(index);
        Node& owner = doc_.nodes_[static_cast<std::size_t>(node)];
        if (owner.first_section < 0) {
            owner.first_section = index;
        } else {
            doc_.sections_[static_cast<std::size_t>(owner.last_section)].next = index;
        }
        owner.last_section = index;
        return index;
    }

    // Parses a value entry whose first line is [pos, next). Returns the end of its last line.
    std::size_t ValueEntry(Item& item, std::size_t pos, std::size_t lead, std::size_t next) {
        const std::u16string& u = doc_.units_;
        std::u16string_view content = Content(std::u16string_view(u).substr(pos, next - pos));
        const char* error = nullptr;
        std::size_t i = lead;
        Text name_text;
        if (content[i] == u'@') {
            name_text = Text{Offset(pos + i), Offset(pos + i)};
            ++i;
        } else {
            bool escaped = false;
            std::size_t close = ScanQuoted(content.substr(i + 1), escaped, error);
            if (close == std::u16string_view::npos) Fail(std::string("value name: ") + error);
            std::u16string_view name = content.substr(i + 1, close);
            name_text = escaped ? doc_.Own(Unescape(name)) : Text{Offset(pos + i + 1), Offset(pos + i + 1 + close)};
            i += close + 2;
        }
        item.name_id = NameId(name_text);
        while (i < content.size() && IsBlank(content[i])) ++i;
        if (i == content.size() || content[i] != u'=') Fail("expected '=' after the value name");  // "a" 1
        ++i;
        while (i < content.size() && IsBlank(content[i])) ++i;
        std::u16string_view data = content.substr(i);
        item.value_begin = Offset(i);
        if (!data.empty() && data[0] == u'"') {
            bool escaped = false;
            std::size_t close = ScanQuoted(data.substr(1), escaped, error);
            if (close == std::u16string_view::npos) Fail(std::string("value data: ") + error);
            if (!TrimRight(data.substr(close + 2)).empty()) Fail("text after the closing quote");  // "a"="b"c
            item.form = Form::Quoted;
            item.type = value_rules::kString;
            item.data_begin = Offset(i + 1);
            item.data_end = Offset(i + 1 + close);
        } else if (StartsWithNoCase(data, u"dword:")) {
            std::u16string_view digits = TrimRight(data.substr(6));
            // Every digit read without a branch; a non-digit's -1 leaves its mark in `bad`.
            int bad = digits.empty() || digits.size() > 8 ? -1 : 0;
            std::uint32_t number = 0;
            for (char16_t c : digits) {
                const int digit = HexDigit(c);
                bad |= digit;
                number = number * 16 + static_cast<std::uint32_t>(digit);
            }
            if (bad < 0) Fail("dword data must be 1 to 8 hex digits");  // dword:1234567890
            item.form = Form::Dword;
            item.number = number;
            item.type = value_rules::kDword;
            item.data_begin = Offset(i + 6);
            item.data_end = Offset(i + 6 + digits.size());
        } else if (StartsWithNoCase(data, u"hex")) {
            std::size_t colon = 3;
            item.type = value_rules::kBinary;
            if (data.size() > 3 && data[3] == u'(') {
                std::size_t close = data.find(u')', 4);
                if (close == std::u16string_view::npos || close == 4 || close > 12) {
                    Fail("hex(type) needs a type of 1 to 8 hex digits");  // hex(:00
                }
                std::uint32_t type = 0;
                for (std::size_t k = 4; k < close; ++k) {
                    int d = HexDigit(data[k]);
                    if (d < 0) Fail("hex(type) needs a type of 1 to 8 hex digits");  // hex(x):00
                    type = type * 16 + static_cast<std::uint32_t>(d);
                }
                item.type = type;
                colon = close + 1;
            }
            if (colon >= data.size() || data[colon] != u':') Fail("expected ':' after hex");  // hex 00
            item.form = Form::Hex;
            item.data_begin = Offset(i + colon + 1);
            HexScanner scanner;
            bool continues = false;
            std::u16string_view rest = data.substr(colon + 1);
            for (;;) {
                if (!scanner.Line(rest, nullptr, error, continues)) Fail(error);
                if (!continues) break;
                if (next >= u.size()) Fail("hex data continues past the end of the file");  // 00,\<eof>
                NextLine();
                std::size_t eol = LineFeed(next);
                std::size_t after = eol == std::u16string::npos ? u.size() : eol + 1;
                rest = Content(std::u16string_view(u).substr(next, after - next));
                next = after;
            }
            item.data_end = Offset(next - pos);
        } else if (TrimRight(data) == u"-") {
            Fail("value deletions (\"name\"=-) do not belong in a database file");
        } else {
            Fail("unrecognised value data (expected \"text\", dword:, hex: or hex(type):)");  // "a"=12
        }
        item.text = Text{Offset(pos), Offset(next)};
        return next;
    }

    // Consecutive keys of a database hold the same value names in the same order: the name that followed
    // the previous entry's name last time is tried first, by its exact units, before the hashed look-up.
    std::uint32_t NameId(Text name) {
        std::size_t slot = static_cast<std::uint32_t>(previous_name_ + 1);  // 0: a key's first entry
        if (slot >= follower_.size()) follower_.resize(slot + 1, kNoName);
        std::uint32_t id = follower_[slot];
        if (id == kNoName || !SameUnits(doc_.View(doc_.value_names_[id]), doc_.View(name))) {
            id = doc_.InternValueName(name);
        }
        follower_[slot] = id;
        previous_name_ = id;
        return id;
    }

    RegDocument& doc_;
    const std::string& file_;
    std::size_t line_ = 0;
    std::string_view file_bytes_;      // the file's bytes that the units are made of (after a byte order mark)
    std::size_t unit_size_ = 1;        // bytes a unit: 1 (8-bit file) or 2 (UTF-16LE)
    int parent_ = kNoKey;              // parent of the last key line's key
    std::u16string_view parent_path_;  // its path as written there, with the closing backslash
    std::vector<std::uint32_t> follower_;  // by the previous entry's name id + 1: the id that came next
    std::uint32_t previous_name_ = kNoName;
};

RegDocument RegDocument::Parse(std::string_view bytes, const std::string& file_name) {
    RegDocument doc;
    doc.nodes_.push_back(Node{});
    Parser(doc, file_name).Run(bytes);
    return doc;
}

RegDocument RegDocument::NewVersion5() {
    RegDocument doc;
    doc.nodes_.push_back(Node{});
    doc.format_ = Format::Version5;
    doc.units_ = std::u16string(kHeader5) + u"\r\n\r\n";
    doc.prolog_ = Text{0, static_cast<std::uint32_t>(doc.units_.size())};
    return doc;
}

}  // namespace tarnwell
