// The registry export parser on any bytes: a file it accepts renders back byte for byte, and values
// written into it read back, in the document and from its bytes parsed again, with every key where it was.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "wingate/reg_document.h"
#include "wingate/user_database.h"

namespace tarnwell::fuzzing {
namespace {

// The key paths of the document, depth first in file order, at most `limit` of them.
void Paths(const RegDocument& doc, int key, const std::string& path, std::vector<std::string>& out, std::size_t limit) {
    for (const std::string& name : doc.SubkeyNames(key)) {
        if (out.size() >= limit) return;
        const std::string below = path + "\\" + name;
        out.push_back(below);
        Paths(doc, doc.FindListedSubkey(key, name), below, out, limit);
    }
}

// The names on the way down to the first key without subkeys, taking the first subkey each time.
std::vector<std::string> FirstLeafPath(const RegDocument& doc) {
    std::vector<std::string> path;
    for (int key = RegDocument::kRoot;;) {
        std::vector<std::string> names = doc.SubkeyNames(key);
        if (names.empty()) return path;
        path.push_back(names.front());
        key = doc.FindListedSubkey(key, names.front());
    }
}

int KeyAt(const RegDocument& doc, const std::vector<std::string>& path) {
    int key = RegDocument::kRoot;
    for (const std::string& name : path) {
        if (key == RegDocument::kNoKey) break;
        key = doc.FindListedSubkey(key, name);
    }
    return key;
}

}  // namespace
}  // namespace tarnwell::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwell;
    using tarnwell::fuzzing::Require;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::optional<RegDocument> doc;
    try {
        doc = RegDocument::Parse(bytes, "fuzz.reg");
    } catch (const ERegFileError&) {
        return 0;
    }
    Require(doc->Render() == bytes, "an untouched document renders back byte for byte");

    std::vector<std::string> before;
    fuzzing::Paths(*doc, RegDocument::kRoot, "", before, 200);

    // A number and a text taken from the input: text is any byte but NUL (where REG_SZ ends) and 0x98,
    // which Windows-1251 leaves unassigned and no typed text can hold.
    std::int32_t number = 0;
    for (std::size_t i = 0; i < size && i < 4; ++i) number = number << 8 | data[i];
    std::string text(bytes.substr(size > 40 ? size - 40 : 0));
    text = text.substr(0, text.find('\0'));
    for (char& c : text) {
        if (static_cast<unsigned char>(c) == 0x98) c = '?';
    }

    std::vector<std::string> path = fuzzing::FirstLeafPath(*doc);
    if (path.empty()) {
        path = {"HKEY_LOCAL_MACHINE", "SOFTWARE", "Fuzz"};
        doc->CreateKey(RegDocument::kRoot, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Fuzz");
    }
    const int key = fuzzing::KeyAt(*doc, path);
    doc->SetNumber(key, "Limit", number);
    doc->SetText(key, "RealName", text);

    auto check = [&](const RegDocument& d, int k, const char* where) {
        Require(k != RegDocument::kNoKey, where);
        auto limit = d.Value(k, "Limit");
        Require(limit && limit->type == 4 && limit->bytes.size() == 4, "a written number reads back as a DWORD");
        std::uint32_t read = 0;
        for (int i = 3; i >= 0; --i) read = read << 8 | static_cast<unsigned char>(limit->bytes[i]);
        Require(static_cast<std::int32_t>(read) == number, "a written number reads back");
        auto name = d.Value(k, "RealName");
        Require(name && name->type == 1 && d.TextOf(*name) == text, "a written text reads back");
    };
    check(*doc, key, "the written key is there");

    const std::string rendered = doc->Render();
    std::optional<RegDocument> again;
    try {
        again = RegDocument::Parse(rendered, "fuzz.reg");
    } catch (const ERegFileError& e) {
        Require(false, std::string("a written document parses again: ") + e.what());
    }
    check(*again, fuzzing::KeyAt(*again, path), "the written key is there after parsing again");
    std::vector<std::string> after;
    fuzzing::Paths(*again, RegDocument::kRoot, "", after, 200);
    if (after.size() > before.size()) after.resize(before.size());  // the key made for a file without one
    Require(after == before, "writing a value leaves every key where it was");
    return 0;
}
