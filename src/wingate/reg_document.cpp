#include "wingate/reg_document.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "text/cp1251.h"
#include "text/cp1251_table.h"
#include "wingate/reg_syntax.h"
#include "wingate/user_database.h"
#include "wingate/value_rules.h"

namespace tarnwell {

using namespace reg_syntax;

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
    // Names and the texts the refresh reads are short: narrowed on the stack, then made a string at once.
    char buffer[64];
    if (units.size() <= sizeof buffer) {
        for (std::size_t i = 0; i < units.size(); ++i) buffer[i] = static_cast<char>(units[i]);
        return std::string(buffer, units.size());
    }
    std::string out(units.size(), '\0');
    char* p = out.data();
    for (std::size_t i = 0; i < units.size(); ++i) p[i] = static_cast<char>(units[i]);
    return out;
}

char16_t RegDocument::Fold(char16_t unit) const {
    // Names are mostly ASCII, which both formats store as itself.
    if (unit < 0x80) return (unit >= u'a' && unit <= u'z') ? static_cast<char16_t>(unit - 32) : unit;
    if (format_ == Format::Regedit4) unit = detail::kCp1251ToUnicode[unit & 0xFF];
    return UpperCase(unit);
}

bool RegDocument::SpelledAs(std::u16string_view units, std::string_view cp1251) const {
    if (units.size() != cp1251.size()) return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(cp1251.data());
    if (format_ == Format::Version5) {
        for (std::size_t i = 0; i < units.size(); ++i) {
            if (units[i] != detail::kCp1251ToUnicode[bytes[i]]) return false;
        }
        return true;
    }
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (units[i] != bytes[i]) return false;
    }
    return true;
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
        buckets_.assign(size, Bucket{});
        for (std::size_t n = 1; n < nodes_.size(); ++n) {
            if (static_cast<int>(n) != node) IndexNode(static_cast<int>(n));
        }
    }
    const auto hash = static_cast<std::uint32_t>(nodes_[static_cast<std::size_t>(node)].hash);
    std::size_t mask = buckets_.size() - 1;
    for (std::size_t b = hash & mask;; b = (b + 1) & mask) {
        if (buckets_[b].node < 0) {
            buckets_[b] = Bucket{node, hash};
            return;
        }
    }
}

int RegDocument::FindChild(int parent, std::u16string_view name) const {
    return FindChild(parent, name, NameHash(parent, name));
}

int RegDocument::FindChild(int parent, std::u16string_view name, std::size_t hash) const {
    if (buckets_.empty()) return kNoKey;
    std::size_t mask = buckets_.size() - 1;
    for (std::size_t b = hash & mask; buckets_[b].node >= 0; b = (b + 1) & mask) {
        // The bucket's copy of the hash spares a visit to every node that merely shares the bucket.
        if (buckets_[b].hash != static_cast<std::uint32_t>(hash)) continue;
        const Node& node = nodes_[static_cast<std::size_t>(buckets_[b].node)];
        if (node.hash == hash && node.parent == parent && SameName(View(node.name), name)) return buckets_[b].node;
    }
    return kNoKey;
}

int RegDocument::AddNode(int parent, Text name) {
    return AddNode(parent, name, NameHash(parent, View(name)));
}

int RegDocument::AddNode(int parent, Text name, std::size_t hash) {
    int index = static_cast<int>(nodes_.size());
    Node node;
    node.name = name;
    node.parent = parent;
    node.hash = hash;
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

std::vector<int> RegDocument::Subkeys(int key) const {
    if (key == kNoKey) return {};
    return nodes_[static_cast<std::size_t>(key)].children;
}

bool RegDocument::IsNamed(int key, std::string_view name) const {
    if (key <= kRoot || static_cast<std::size_t>(key) >= nodes_.size()) return false;
    return SpelledAs(View(nodes_[static_cast<std::size_t>(key)].name), name);
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

std::uint32_t RegDocument::FindValueName(std::string_view cp1251) const {
    if (value_name_buckets_.empty()) return kNoName;
    // Readers ask for the same names in the same order key after key: the name asked for after the last
    // one the previous time is tried first, spelled exactly as asked.
    std::size_t slot = static_cast<std::uint32_t>(last_asked_ + 1);
    if (slot < asked_next_.size()) {
        std::uint32_t guess = asked_next_[slot];
        if (guess != kNoName && SpelledAs(View(value_names_[guess]), cp1251)) {
            last_asked_ = guess;
            return guess;
        }
    }
    std::uint32_t id = HashedValueName(Scratch(cp1251));
    if (id != kNoName) {
        if (slot >= asked_next_.size()) asked_next_.resize(slot + 1, kNoName);
        asked_next_[slot] = id;
    }
    last_asked_ = id;
    return id;
}

std::uint32_t RegDocument::HashedValueName(std::u16string_view name) const {
    if (value_name_buckets_.empty()) return kNoName;
    std::size_t hash = NameHash(kNoKey, name);
    std::size_t mask = value_name_buckets_.size() - 1;
    for (std::size_t b = hash & mask; value_name_buckets_[b] != kNoName; b = (b + 1) & mask) {
        std::uint32_t id = value_name_buckets_[b];
        if (value_name_hashes_[id] == hash && SameName(View(value_names_[id]), name)) return id;
    }
    return kNoName;
}

std::uint32_t RegDocument::InternValueName(Text name) {
    std::u16string_view view = View(name);
    std::uint32_t found = HashedValueName(view);
    if (found != kNoName) return found;
    auto id = static_cast<std::uint32_t>(value_names_.size());
    value_names_.push_back(name);
    value_name_hashes_.push_back(NameHash(kNoKey, view));
    // The table stays at most half full; when it grows every name is placed again, otherwise the new one.
    bool rebuild = value_names_.size() * 2 > value_name_buckets_.size();
    if (rebuild) value_name_buckets_.assign(std::max<std::size_t>(64, value_name_buckets_.size() * 2), kNoName);
    std::size_t mask = value_name_buckets_.size() - 1;
    for (std::uint32_t n = rebuild ? 0 : id; n <= id; ++n) {
        std::size_t b = value_name_hashes_[n] & mask;
        while (value_name_buckets_[b] != kNoName) b = (b + 1) & mask;
        value_name_buckets_[b] = n;
    }
    return id;
}

const RegDocument::Item* RegDocument::FindItem(int key, std::uint32_t id, int* section, std::size_t* index) const {
    if (key == kNoKey || key == kRoot || id == kNoName) return nullptr;
    const Item* found = nullptr;
    for (int s = nodes_[static_cast<std::size_t>(key)].first_section; s >= 0;
         s = sections_[static_cast<std::size_t>(s)].next) {
        // The last entry of a name counts: each section is searched from its end, and a later section's
        // entry replaces an earlier one's.
        const std::vector<Item>& items = sections_[static_cast<std::size_t>(s)].items;
        for (std::size_t i = items.size(); i-- > 0;) {
            if (items[i].name_id != id) continue;
            found = &items[i];
            if (section != nullptr) *section = s;
            if (index != nullptr) *index = i;
            break;
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
        case Form::Dword:
            for (int k = 0; k < 4; ++k) raw.bytes.push_back(static_cast<char>((item.number >> (8 * k)) & 0xFF));
            break;
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
    const Item* item = FindItem(key, FindValueName(name), nullptr, nullptr);
    if (item == nullptr) return std::nullopt;
    return Decode(*item);
}

bool RegDocument::HasValue(int key, std::string_view name) const {
    return HasValue(key, FindValueName(name));
}

std::uint32_t RegDocument::ValueNameId(std::string_view name) const {
    return HashedValueName(Scratch(name));
}

bool RegDocument::HasValue(int key, std::uint32_t name_id) const {
    return FindItem(key, name_id, nullptr, nullptr) != nullptr;
}

void RegDocument::Prefetch(int key) const {
    if (key <= kRoot || static_cast<std::size_t>(key) >= nodes_.size()) return;
    const Text& name = nodes_[static_cast<std::size_t>(key)].name;
    if (name.owned < 0) __builtin_prefetch(units_.data() + name.begin);
    for (int s = nodes_[static_cast<std::size_t>(key)].first_section; s >= 0;
         s = sections_[static_cast<std::size_t>(s)].next) {
        const std::vector<Item>& items = sections_[static_cast<std::size_t>(s)].items;
        const char* begin = reinterpret_cast<const char*>(items.data());
        const char* end = reinterpret_cast<const char*>(items.data() + items.size());
        for (const char* p = begin; p < end; p += 64) __builtin_prefetch(p);
        if (!items.empty()) {
            const char16_t* text_begin = units_.data() + items.front().text.begin;
            const char16_t* text_end = units_.data() + items.back().text.end;
            for (const char16_t* p = text_begin; p < text_end; p += 32) __builtin_prefetch(p);
        }
    }
}

std::optional<std::uint32_t> RegDocument::DwordEntry(int key, std::string_view name) const {
    return DwordEntry(key, FindValueName(name));
}

std::optional<std::uint32_t> RegDocument::DwordEntry(int key, std::uint32_t name_id) const {
    const Item* item = FindItem(key, name_id, nullptr, nullptr);
    if (item == nullptr || item->form != Form::Dword) return std::nullopt;
    return item->number;
}

std::optional<std::string> RegDocument::QuotedText(int key, std::string_view name) const {
    return QuotedText(key, FindValueName(name));
}

std::optional<std::string> RegDocument::QuotedText(int key, std::uint32_t name_id) const {
    const Item* item = FindItem(key, name_id, nullptr, nullptr);
    if (item == nullptr || item->form != Form::Quoted) return std::nullopt;
    std::u16string_view data = View(item->text).substr(item->data_begin, item->data_end - item->data_begin);
    // Nothing escaped before the text's end (its first zero, if any), the common case: the text straight
    // from the file.
    std::size_t end = 0;
    while (end < data.size() && data[end] != u'\\' && data[end] != u'\0') ++end;
    if (end == data.size() || data[end] == u'\0') return FromUnits(data.substr(0, end));
    std::u16string text = Unescape(data);
    text.resize(std::min(text.size(), text.find(u'\0')));
    return FromUnits(text);
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

}  // namespace tarnwell
