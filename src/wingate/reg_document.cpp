#include "wingate/reg_document.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "text/cp1251.h"
#include "text/cp1251_table.h"
#include "wingate/user_database.h"
#include "wingate/value_rules.h"

namespace tarnwell {
namespace {

constexpr std::u16string_view kHeader4 = u"REGEDIT4";
constexpr std::u16string_view kHeader5 = u"Windows Registry Editor Version 5.00";

// The position of the next line feed at or after pos, or npos. Looks at four units at a time: the parse
// spends most of its time here otherwise.
std::size_t FindLineFeed(const std::u16string& text, std::size_t pos) {
    constexpr std::uint64_t kOnes = 0x0001000100010001ull;
    constexpr std::uint64_t kHighs = 0x8000800080008000ull;
    constexpr std::uint64_t kFeeds = 0x000A000A000A000Aull;
    const char16_t* data = text.data();
    std::size_t size = text.size();
    while (pos + 4 <= size) {
        std::uint64_t word = 0;
        std::memcpy(&word, data + pos, sizeof word);
        std::uint64_t x = word ^ kFeeds;
        if (((x - kOnes) & ~x & kHighs) != 0) break;
        pos += 4;
    }
    for (; pos < size; ++pos) {
        if (data[pos] == u'\n') return pos;
    }
    return std::u16string::npos;
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

char16_t UpperCase(char16_t c) {
    if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
    if (c >= 0x0430 && c <= 0x044F) return static_cast<char16_t>(c - 32);
    if (c >= 0x0450 && c <= 0x045F) return static_cast<char16_t>(c - 80);
    if (c >= 0x00E0 && c <= 0x00FE && c != 0x00F7) return static_cast<char16_t>(c - 32);
    if (c == 0x0491) return 0x0490;
    return c;
}

std::u16string_view TrimRight(std::u16string_view s) {
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The line without its ending ("\n" or "\r\n").
std::u16string_view Content(std::u16string_view line) {
    if (!line.empty() && line.back() == u'\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
    return line;
}

// The line ending that closes a piece of text ("" for the file's last line when it has none).
std::u16string_view Ending(std::u16string_view text) {
    if (text.empty() || text.back() != u'\n') return {};
    if (text.size() >= 2 && text[text.size() - 2] == u'\r') return text.substr(text.size() - 2);
    return text.substr(text.size() - 1);
}

// Whether a piece that starts a line ends with an empty line (the piece is one, or its last two endings
// follow each other).
bool EndsWithEmptyLine(std::u16string_view text) {
    std::u16string_view rest = text.substr(0, text.size() - Ending(text).size());
    if (rest.size() == text.size()) return false;
    return rest.empty() || rest.back() == u'\n';
}

// Reads the bytes of a hex value's data ("00,4a,\" continued on the next lines). Used to check a value
// while parsing (out == nullptr) and to decode it later.
class HexScanner {
public:
    // Scans one line's content. Returns false with error set when the line is malformed; sets continues
    // when the data goes on on the next line.
    bool Line(std::u16string_view s, std::string* out, const char*& error, bool& continues) {
        continues = false;
        std::size_t i = 0;
        for (;;) {
            while (i < s.size() && IsBlank(s[i])) ++i;
            if (i == s.size()) {
                if (state_ == State::AfterComma) {
                    error = "expected a hex byte after ','";  // 00,01,<end>
                    return false;
                }
                return true;
            }
            char16_t c = s[i];
            if (c == u'\\') {
                if (state_ == State::AfterByte || !TrimRight(s.substr(i + 1)).empty()) {
                    error = "a '\\' continues hex data only after a ',' at the end of a line";  // 00\ 01
                    return false;
                }
                continues = true;
                return true;
            }
            if (state_ == State::AfterByte) {
                if (c != u',') {
                    error = "expected ',' between hex bytes";  // 00 01
                    return false;
                }
                state_ = State::AfterComma;
                ++i;
                continue;
            }
            int hi = HexDigit(c);
            int lo = i + 1 < s.size() ? HexDigit(s[i + 1]) : -1;
            if (hi < 0 || lo < 0) {
                error = "expected a hex byte of two digits";  // 0g, 1
                return false;
            }
            if (out != nullptr) out->push_back(static_cast<char>(hi * 16 + lo));
            state_ = State::AfterByte;
            i += 2;
        }
    }

private:
    enum class State { Start, AfterByte, AfterComma };
    State state_ = State::Start;
};

// Scans a quoted text starting after its opening quote. Returns the offset of the closing quote within s,
// or npos with error set.
std::size_t ScanQuoted(std::u16string_view s, bool& escaped, const char*& error) {
    escaped = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'"') return i;
        if (s[i] == u'\\') {
            if (i + 1 < s.size() && (s[i + 1] == u'\\' || s[i + 1] == u'"')) {
                escaped = true;
                ++i;
                continue;
            }
            error = "unknown escape sequence in quotes (only \\\\ and \\\" are allowed)";  // "a\n"
            return std::u16string_view::npos;
        }
    }
    error = "missing closing quote";  // "abc
    return std::u16string_view::npos;
}

std::u16string Unescape(std::u16string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'\\' && i + 1 < s.size()) ++i;
        out.push_back(s[i]);
    }
    return out;
}

std::u16string Escape(std::u16string_view s) {
    std::u16string out;
    out.reserve(s.size() + 2);
    for (char16_t c : s) {
        if (c == u'\\' || c == u'"') out.push_back(u'\\');
        out.push_back(c);
    }
    return out;
}

bool StartsWithNoCase(std::u16string_view s, std::u16string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (UpperCase(s[i]) != UpperCase(prefix[i])) return false;
    }
    return true;
}

void AppendHex(std::u16string& out, std::uint32_t value, int digits) {
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out.push_back(kDigits[(value >> shift) & 0xF]);
}

}  // namespace

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
            std::size_t eol = FindLineFeed(u, pos);
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

    void NextLine() {
        if (++line_ > kMaxLines) Fail("more than " + std::to_string(kMaxLines) + " lines");
    }

    // Before a new key or key line: both count against the same limit.
    void CheckKeyLimit(std::size_t count) const {
        if (count >= kMaxKeys) Fail("more than " + std::to_string(kMaxKeys) + " keys");
    }

    void Decode(std::string_view bytes) {
        if (bytes.size() > kMaxFileSize) Fail("file too large");
        std::u16string& u = doc_.units_;
        if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
            static_cast<unsigned char>(bytes[1]) == 0xFE) {
            doc_.format_ = Format::Version5;
            if (bytes.size() % 2 != 0) Fail("UTF-16 file with an odd number of bytes (cut short?)");
            u.resize((bytes.size() - 2) / 2);
            const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + 2;
            for (std::size_t i = 0; i < u.size(); ++i) u[i] = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
        } else {
            doc_.format_ = Format::Regedit4;
            u.resize(bytes.size());
            const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
            for (std::size_t i = 0; i < u.size(); ++i) u[i] = p[i];
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
            path.substr(0, last_slash + 1) == parent_path_) {
            node = parent_;
            begin = last_slash + 1;
        }
        int parent = node;
        for (std::size_t i = begin; i <= path.size(); ++i) {
            if (i < path.size() && path[i] != u'\\') continue;
            if (i == begin) Fail("empty key name in the path");  // [A\\B], [A\]
            std::u16string_view part = path.substr(begin, i - begin);
            int child = doc_.FindChild(node, part);
            if (child == kNoKey) {
                CheckKeyLimit(doc_.nodes_.size() - 1);  // the root is no key
                std::size_t at = pos + start + begin;
                child = doc_.AddNode(node, Text{Offset(at), Offset(at + part.size())});
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
        if (content[i] == u'@') {
            item.name = Text{Offset(pos + i), Offset(pos + i)};
            ++i;
        } else {
            bool escaped = false;
            std::size_t close = ScanQuoted(content.substr(i + 1), escaped, error);
            if (close == std::u16string_view::npos) Fail(std::string("value name: ") + error);
            std::u16string_view name = content.substr(i + 1, close);
            item.name = escaped ? doc_.Own(Unescape(name)) : Text{Offset(pos + i + 1), Offset(pos + i + 1 + close)};
            i += close + 2;
        }
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
            bool ok = !digits.empty() && digits.size() <= 8;
            for (char16_t c : digits) ok = ok && HexDigit(c) >= 0;
            if (!ok) Fail("dword data must be 1 to 8 hex digits");  // dword:1234567890
            item.form = Form::Dword;
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
                std::size_t eol = FindLineFeed(u, next);
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

    RegDocument& doc_;
    const std::string& file_;
    std::size_t line_ = 0;
    int parent_ = kNoKey;              // parent of the last key line's key
    std::u16string_view parent_path_;  // its path as written there, with the closing backslash
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

// ---------------------------------------------------------------------------------------------------------
// Text helpers
// ---------------------------------------------------------------------------------------------------------

std::u16string_view RegDocument::View(const Text& text) const {
    if (text.owned >= 0) return owned_[static_cast<std::size_t>(text.owned)];
    return std::u16string_view(units_).substr(text.begin, text.end - text.begin);
}

RegDocument::Text RegDocument::Own(std::u16string text) {
    owned_.push_back(std::move(text));
    return Text{0, 0, static_cast<std::int32_t>(owned_.size() - 1)};
}

std::u16string RegDocument::ToUnits(std::string_view cp1251) const {
    if (format_ == Format::Version5) return Cp1251ToUtf16(cp1251);
    std::u16string out(cp1251.size(), u'\0');
    for (std::size_t i = 0; i < cp1251.size(); ++i) out[i] = static_cast<unsigned char>(cp1251[i]);
    return out;
}

std::string RegDocument::FromUnits(std::u16string_view units) const {
    if (format_ == Format::Version5) return Utf16ToCp1251(units);
    std::string out(units.size(), '\0');
    for (std::size_t i = 0; i < units.size(); ++i) out[i] = static_cast<char>(units[i]);
    return out;
}

char16_t RegDocument::Fold(char16_t unit) const {
    if (format_ == Format::Regedit4) unit = detail::kCp1251ToUnicode[unit & 0xFF];
    return UpperCase(unit);
}

bool RegDocument::SameName(std::u16string_view a, std::u16string_view b) const {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && Fold(a[i]) != Fold(b[i])) return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------------------------------------

std::size_t RegDocument::NameHash(int parent, std::u16string_view name) const {
    // FNV-1a over the parent's index and the folded name.
    std::uint64_t h = 1469598103934665603ull ^ static_cast<std::uint64_t>(parent);
    for (char16_t c : name) {
        h ^= Fold(c);
        h *= 1099511628211ull;
    }
    return static_cast<std::size_t>(h ^ (h >> 29));
}

void RegDocument::IndexNode(int node) {
    if ((nodes_.size() + 1) * 2 > buckets_.size()) {
        std::size_t size = std::max<std::size_t>(64, buckets_.size() * 2);
        while (size < nodes_.size() * 2 + 2) size *= 2;
        buckets_.assign(size, -1);
        for (std::size_t n = 1; n < nodes_.size(); ++n) {
            if (static_cast<int>(n) != node) IndexNode(static_cast<int>(n));
        }
    }
    std::size_t mask = buckets_.size() - 1;
    for (std::size_t b = nodes_[static_cast<std::size_t>(node)].hash & mask;; b = (b + 1) & mask) {
        if (buckets_[b] < 0) {
            buckets_[b] = node;
            return;
        }
    }
}

int RegDocument::FindChild(int parent, std::u16string_view name) const {
    if (buckets_.empty()) return kNoKey;
    std::size_t hash = NameHash(parent, name);
    std::size_t mask = buckets_.size() - 1;
    for (std::size_t b = hash & mask; buckets_[b] >= 0; b = (b + 1) & mask) {
        const Node& node = nodes_[static_cast<std::size_t>(buckets_[b])];
        if (node.hash == hash && node.parent == parent && SameName(View(node.name), name)) return buckets_[b];
    }
    return kNoKey;
}

int RegDocument::AddNode(int parent, Text name) {
    int index = static_cast<int>(nodes_.size());
    Node node;
    node.name = name;
    node.parent = parent;
    node.hash = NameHash(parent, View(name));
    nodes_.push_back(std::move(node));
    nodes_[static_cast<std::size_t>(parent)].children.push_back(index);
    IndexNode(index);
    return index;
}

const std::u16string& RegDocument::Scratch(std::string_view cp1251) const {
    scratch_.resize(cp1251.size());
    if (format_ == Format::Version5) {
        for (std::size_t i = 0; i < cp1251.size(); ++i)
            scratch_[i] = detail::kCp1251ToUnicode[static_cast<unsigned char>(cp1251[i])];
    } else {
        for (std::size_t i = 0; i < cp1251.size(); ++i) scratch_[i] = static_cast<unsigned char>(cp1251[i]);
    }
    return scratch_;
}

bool RegDocument::InSubtree(int node, int top) const {
    for (; node != kNoKey; node = nodes_[static_cast<std::size_t>(node)].parent) {
        if (node == top) return true;
    }
    return false;
}

int RegDocument::FindKey(int base, std::string_view path) const {
    int node = base;
    std::u16string_view rest = Scratch(path);
    while (node != kNoKey && !rest.empty()) {
        std::size_t slash = rest.find(u'\\');
        std::u16string_view part = rest.substr(0, slash);
        rest = slash == std::u16string_view::npos ? std::u16string_view() : rest.substr(slash + 1);
        if (!part.empty()) node = FindChild(node, part);
    }
    return node;
}

int RegDocument::CreateKey(int base, std::string_view path) {
    int node = base;
    std::u16string units = ToUnits(path);
    std::u16string_view rest = units;
    while (!rest.empty()) {
        std::size_t slash = rest.find(u'\\');
        std::u16string_view part = rest.substr(0, slash);
        rest = slash == std::u16string_view::npos ? std::u16string_view() : rest.substr(slash + 1);
        if (part.empty()) continue;
        int child = FindChild(node, part);
        if (child == kNoKey) {
            child = AddNode(node, Own(std::u16string(part)));
            AddSection(child);
            modified_ = true;
        }
        node = child;
    }
    return node;
}

std::vector<std::string> RegDocument::SubkeyNames(int key) const {
    std::vector<std::string> names;
    if (key == kNoKey) return names;
    const Node& node = nodes_[static_cast<std::size_t>(key)];
    names.reserve(node.children.size());
    for (int child : node.children) names.push_back(FromUnits(View(nodes_[static_cast<std::size_t>(child)].name)));
    return names;
}

int RegDocument::FindListedSubkey(int key, std::string_view name) const {
    if (key == kNoKey) return kNoKey;
    for (int child : nodes_[static_cast<std::size_t>(key)].children) {
        if (FromUnits(View(nodes_[static_cast<std::size_t>(child)].name)) == name) return child;
    }
    return kNoKey;
}

std::u16string RegDocument::FullPath(int node) const {
    std::vector<int> chain;
    for (; node != kRoot && node != kNoKey; node = nodes_[static_cast<std::size_t>(node)].parent) chain.push_back(node);
    std::u16string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!path.empty()) path.push_back(u'\\');
        path.append(View(nodes_[static_cast<std::size_t>(*it)].name));
    }
    return path;
}

void RegDocument::EnsureLineEnd(Text& text) {
    std::u16string_view view = View(text);
    if (!view.empty() && view.back() == u'\n') return;
    std::u16string longer(view);
    // A last line that ends in a carriage return alone needs only the line feed: another line end after
    // the carriage return would leave it inside the line, where the parser refuses it.
    if (!view.empty() && view.back() == u'\r') {
        longer.push_back(u'\n');
    } else {
        longer.append(newline_);
    }
    text = Own(std::move(longer));
}

// Gives a key its own line in brackets. A key that exists only through keys below it gets its line just
// before the first of them; a new key goes after its last sibling and everything below that sibling, or
// at the end of the file when its parent has nothing in the file.
void RegDocument::AddSection(int node) {
    std::size_t at = order_.size();
    bool found = false;
    for (std::size_t i = 0; i < order_.size(); ++i) {
        if (InSubtree(sections_[static_cast<std::size_t>(order_[i])].node, node)) {
            at = i;
            found = true;
            break;
        }
    }
    if (!found) {
        int parent = nodes_[static_cast<std::size_t>(node)].parent;
        for (std::size_t i = order_.size(); i-- > 0;) {
            if (InSubtree(sections_[static_cast<std::size_t>(order_[i])].node, parent)) {
                at = i + 1;
                break;
            }
        }
    }

    // The piece just before the new key must end its line; an empty line separates keys.
    Text* before = &prolog_;
    if (at > 0) {
        Section& prev = sections_[static_cast<std::size_t>(order_[at - 1])];
        before = prev.items.empty() ? &prev.header : &prev.items.back().text;
    }
    EnsureLineEnd(*before);
    std::u16string header;
    if (!EndsWithEmptyLine(View(*before))) header.append(newline_);
    header.push_back(u'[');
    header.append(FullPath(node));
    header.push_back(u']');
    header.append(newline_);

    Section section;
    section.header = Own(std::move(header));
    section.node = node;
    Item blank;
    blank.text = Own(newline_);
    section.items.push_back(blank);

    int index = static_cast<int>(sections_.size());
    sections_.push_back(std::move(section));
    order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(at), index);
    // A key gets its own line only when it has none.
    Node& owner = nodes_[static_cast<std::size_t>(node)];
    owner.first_section = owner.last_section = index;
}

// ---------------------------------------------------------------------------------------------------------
// Values
// ---------------------------------------------------------------------------------------------------------

const RegDocument::Item* RegDocument::FindItem(int key, std::u16string_view name, int* section,
                                               std::size_t* index) const {
    if (key == kNoKey || key == kRoot) return nullptr;
    const Item* found = nullptr;
    for (int s = nodes_[static_cast<std::size_t>(key)].first_section; s >= 0;
         s = sections_[static_cast<std::size_t>(s)].next) {
        const std::vector<Item>& items = sections_[static_cast<std::size_t>(s)].items;
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].form == Form::Other || !SameName(View(items[i].name), name)) continue;
            found = &items[i];
            if (section != nullptr) *section = s;
            if (index != nullptr) *index = i;
        }
    }
    return found;
}

RegDocument::RawValue RegDocument::Decode(const Item& item) const {
    RawValue raw;
    raw.type = item.type;
    std::u16string_view data = View(item.text).substr(item.data_begin, item.data_end - item.data_begin);
    switch (item.form) {
        case Form::Quoted: {
            std::u16string text = Unescape(data);
            if (format_ == Format::Version5) {
                raw.bytes.reserve(text.size() * 2 + 2);
                for (char16_t c : text) {
                    raw.bytes.push_back(static_cast<char>(c & 0xFF));
                    raw.bytes.push_back(static_cast<char>(c >> 8));
                }
                raw.bytes.append(2, '\0');
            } else {
                raw.bytes = FromUnits(text);
                raw.bytes.push_back('\0');
            }
            break;
        }
        case Form::Dword: {
            std::uint32_t value = 0;
            for (char16_t c : data) value = value * 16 + static_cast<std::uint32_t>(HexDigit(c));
            for (int k = 0; k < 4; ++k) raw.bytes.push_back(static_cast<char>((value >> (8 * k)) & 0xFF));
            break;
        }
        case Form::Hex: {
            HexScanner scanner;
            const char* error = nullptr;
            bool continues = false;
            std::u16string_view rest = data;
            for (;;) {
                std::size_t eol = rest.find(u'\n');
                std::u16string_view line =
                    Content(rest.substr(0, eol == std::u16string_view::npos ? rest.size() : eol + 1));
                scanner.Line(line, &raw.bytes, error, continues);
                if (!continues || eol == std::u16string_view::npos) break;
                rest = rest.substr(eol + 1);
            }
            break;
        }
        case Form::Other:
            break;
    }
    return raw;
}

std::optional<RegDocument::RawValue> RegDocument::Value(int key, std::string_view name) const {
    const Item* item = FindItem(key, Scratch(name), nullptr, nullptr);
    if (item == nullptr) return std::nullopt;
    return Decode(*item);
}

std::string RegDocument::TextOf(const RawValue& value) const {
    const std::string& b = value.bytes;
    if (format_ == Format::Version5) {
        std::u16string text;
        for (std::size_t i = 0; i + 1 < b.size(); i += 2) {
            char16_t c =
                static_cast<char16_t>(static_cast<unsigned char>(b[i]) | (static_cast<unsigned char>(b[i + 1]) << 8));
            if (c == 0) break;
            text.push_back(c);
        }
        return Utf16ToCp1251(text);
    }
    return std::string(b.data(), std::min(b.size(), b.find('\0')));
}

std::size_t RegDocument::AnsiSize(const RawValue& value) const {
    if (format_ == Format::Version5 && value_rules::IsStringType(value.type)) return (value.bytes.size() + 1) / 2;
    return value.bytes.size();
}

std::u16string RegDocument::HexText(const std::string& bytes, std::uint32_t type, std::size_t first_line_length) const {
    std::u16string out = u"hex(";
    AppendHex(out, type, 1);
    out.append(u"):");
    std::size_t column = first_line_length + out.size();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        AppendHex(out, static_cast<unsigned char>(bytes[i]), 2);
        column += 2;
        if (i + 1 == bytes.size()) break;
        out.push_back(u',');
        ++column;
        // Lines of the export format stay under 80 columns, continued by a backslash.
        if (column > 76) {
            out.push_back(u'\\');
            out.append(newline_);
            out.append(u"  ");
            column = 2;
        }
    }
    return out;
}

// Appends a value's data text to the entry text (which ends just before it) and records where it lies.
void RegDocument::PlaceData(Item& item, std::u16string& text, const RawValue& raw, std::u16string data,
                            Form form) const {
    if (form == Form::Hex) data = HexText(raw.bytes, raw.type, text.size());
    std::size_t start = text.size();
    text.append(data);
    switch (form) {
        case Form::Quoted:
            item.data_begin = static_cast<std::uint32_t>(start + 1);
            item.data_end = static_cast<std::uint32_t>(text.size() - 1);
            break;
        case Form::Dword:
            item.data_begin = static_cast<std::uint32_t>(start + 6);
            item.data_end = static_cast<std::uint32_t>(text.size());
            break;
        default:
            item.data_begin = static_cast<std::uint32_t>(start + data.find(u':') + 1);
            item.data_end = static_cast<std::uint32_t>(text.size());
            break;
    }
    item.type = raw.type;
    item.form = form;
}

void RegDocument::SetValue(int key, std::string_view name, RawValue raw, std::u16string data, Form form) {
    std::u16string name_units = ToUnits(name);
    int section = -1;
    std::size_t index = 0;
    const Item* found = FindItem(key, name_units, &section, &index);
    if (found != nullptr && Decode(*found) == raw) return;

    if (found != nullptr) {
        Item& item = sections_[static_cast<std::size_t>(section)].items[index];
        std::u16string_view old = View(item.text);
        std::u16string text(old.substr(0, item.value_begin));
        PlaceData(item, text, raw, std::move(data), form);
        text.append(Ending(old));
        item.text = Own(std::move(text));
        modified_ = true;
        return;
    }

    if (nodes_[static_cast<std::size_t>(key)].first_section < 0) AddSection(key);
    Section& target = sections_[static_cast<std::size_t>(nodes_[static_cast<std::size_t>(key)].last_section)];
    std::size_t at = 0;
    for (std::size_t i = 0; i < target.items.size(); ++i) {
        if (target.items[i].form != Form::Other) at = i + 1;
    }
    EnsureLineEnd(at == 0 ? target.header : target.items[at - 1].text);

    std::u16string text;
    if (name_units.empty()) {
        text = u"@";
    } else {
        text = u"\"" + Escape(name_units) + u"\"";
    }
    text.push_back(u'=');
    Item item;
    item.name = Own(name_units);
    item.value_begin = static_cast<std::uint32_t>(text.size());
    PlaceData(item, text, raw, std::move(data), form);
    text.append(newline_);
    item.text = Own(std::move(text));
    target.items.insert(target.items.begin() + static_cast<std::ptrdiff_t>(at), item);
    modified_ = true;
}

void RegDocument::SetText(int key, std::string_view name, std::string_view text) {
    text = text.substr(0, std::min(text.size(), text.find('\0')));
    RawValue raw;
    raw.type = value_rules::kString;
    std::u16string units = ToUnits(text);
    if (format_ == Format::Version5) {
        for (char16_t c : units) {
            raw.bytes.push_back(static_cast<char>(c & 0xFF));
            raw.bytes.push_back(static_cast<char>(c >> 8));
        }
        raw.bytes.append(2, '\0');
    } else {
        raw.bytes.assign(text);
        raw.bytes.push_back('\0');
    }
    // A line break cannot stand inside quotes; such a text is written as the hex form of a REG_SZ.
    if (units.find_first_of(u"\r\n") != std::u16string::npos) {
        SetValue(key, name, std::move(raw), {}, Form::Hex);
        return;
    }
    SetValue(key, name, std::move(raw), u"\"" + Escape(units) + u"\"", Form::Quoted);
}

void RegDocument::SetNumber(int key, std::string_view name, std::int32_t value) {
    auto bits = static_cast<std::uint32_t>(value);
    RawValue raw;
    raw.type = value_rules::kDword;
    for (int k = 0; k < 4; ++k) raw.bytes.push_back(static_cast<char>((bits >> (8 * k)) & 0xFF));
    std::u16string data = u"dword:";
    AppendHex(data, bits, 8);
    SetValue(key, name, std::move(raw), std::move(data), Form::Dword);
}

// ---------------------------------------------------------------------------------------------------------
// Rendering
// ---------------------------------------------------------------------------------------------------------

std::string RegDocument::Render() const {
    std::size_t total = View(prolog_).size();
    for (int s : order_) {
        const Section& section = sections_[static_cast<std::size_t>(s)];
        total += View(section.header).size();
        for (const Item& item : section.items) total += View(item.text).size();
    }
    std::string out;
    if (format_ == Format::Version5) {
        out.reserve(2 + total * 2);
        out.push_back(static_cast<char>(0xFF));
        out.push_back(static_cast<char>(0xFE));
    } else {
        out.reserve(total);
    }
    auto put = [&](std::u16string_view text) {
        if (format_ == Format::Version5) {
            std::size_t at = out.size();
            out.resize(at + text.size() * 2);
            char* p = out.data() + at;
            for (char16_t c : text) {
                *p++ = static_cast<char>(c & 0xFF);
                *p++ = static_cast<char>(c >> 8);
            }
        } else {
            std::size_t at = out.size();
            out.resize(at + text.size());
            char* p = out.data() + at;
            for (char16_t c : text) *p++ = static_cast<char>(c);
        }
    };
    put(View(prolog_));
    for (int s : order_) {
        const Section& section = sections_[static_cast<std::size_t>(s)];
        put(View(section.header));
        for (const Item& item : section.items) put(View(item.text));
    }
    return out;
}

}  // namespace tarnwell
