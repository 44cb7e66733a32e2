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
// Writing values
// ---------------------------------------------------------------------------------------------------------

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
            item.number = 0;
            for (std::size_t k = raw.bytes.size(); k-- > 0;) {
                item.number = (item.number << 8) | static_cast<unsigned char>(raw.bytes[k]);
            }
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
    const Item* found = FindItem(key, HashedValueName(name_units), &section, &index);
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
    item.name_id = InternValueName(Own(name_units));
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
