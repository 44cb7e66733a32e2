#include "store_backends.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "text/cp1251.h"
#include "wingate/reg_document.h"
#include "wingate/reg_file_user_database.h"
#ifdef _WIN32
#include "wingate/registry_user_database.h"
#endif

namespace tarnwell::testing {
namespace {

int ProcessId() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(::getpid());
#endif
}

std::string Hex2(unsigned char b) {
    static constexpr char kDigits[] = "0123456789abcdef";
    return {kDigits[b >> 4], kDigits[b & 15]};
}

// A registry export file holding the seeds, in Windows-1251 (REGEDIT4) or as UTF-8 text to be turned
// into UTF-16 (Version 5.00). Strings of text types are written in the file's own encoding.
class RegFileBackend : public StoreBackend {
public:
    explicit RegFileBackend(bool version5) : version5_(version5), path_(folder_.File("registry.reg")) {}

    void Seed(const std::vector<testing::Seed>& seeds) override {
        std::u16string text = version5_ ? u"Windows Registry Editor Version 5.00\r\n" : u"REGEDIT4\r\n";
        std::u16string last_key;
        bool first = true;
        for (const testing::Seed& seed : seeds) {
            std::u16string key = Units("HKEY_LOCAL_MACHINE\\" + root_ + "\\") + seed.unicode_key;
            if (seed.unicode_key.empty()) key = Units("HKEY_LOCAL_MACHINE\\" + FullKey(seed.key));
            if (first || key != last_key) {
                text += u"\r\n[" + key + u"]\r\n";
                last_key = key;
                first = false;
            }
            if (seed.type == 0 && seed.name.empty()) continue;
            text += u"\"" + Units(seed.name) + u"\"=";
            if (seed.type == 1 && seed.data.find('\0') == std::string::npos) {
                text += u"\"" + Units(seed.data) + u"\"";
            } else if (seed.type == 4 && seed.data.size() == 4) {
                text += u"dword:";
                for (int k = 3; k >= 0; --k) text += Units(Hex2(static_cast<unsigned char>(seed.data[k])));
            } else {
                std::string bytes = seed.data;
                if (seed.type == 1 || seed.type == 2) {
                    if (version5_) {
                        bytes = Utf16LeBytes(Cp1251ToUtf16(seed.data)) + std::string(2, '\0');
                    } else {
                        bytes.push_back('\0');
                    }
                }
                text += u"hex(" + Units(std::to_string(seed.type)) + u"):";
                for (std::size_t i = 0; i < bytes.size(); ++i) {
                    if (i > 0) text += u",";
                    text += Units(Hex2(static_cast<unsigned char>(bytes[i])));
                }
            }
            text += u"\r\n";
        }
        text += u"\r\n";
        std::string bytes;
        if (version5_) {
            bytes = "\xFF\xFE" + Utf16LeBytes(text);
        } else {
            for (char16_t c : text) bytes.push_back(static_cast<char>(c));
        }
        WriteBytes(path_, bytes);
    }

    std::unique_ptr<TUserDatabase> Open() override { return std::make_unique<RegFileUserDatabase>(path_, keys_); }

    bool HoldsUnicodeNames() const override { return version5_; }

    std::optional<std::uint32_t> TypeOf(const std::string& key, const std::string& name) override {
        RegDocument doc = RegDocument::Parse(ReadBytes(path_), path_);
        auto value = doc.Value(doc.FindKey(RegDocument::kRoot, "HKEY_LOCAL_MACHINE\\" + FullKey(key)), name);
        if (!value) return std::nullopt;
        return value->type;
    }

    bool KeyExists(const std::string& key) override {
        if (!std::filesystem::exists(path_)) return false;
        RegDocument doc = RegDocument::Parse(ReadBytes(path_), path_);
        return doc.FindKey(RegDocument::kRoot, "HKEY_LOCAL_MACHINE\\" + FullKey(key)) != RegDocument::kNoKey;
    }

private:
    // Seed texts are Windows-1251; the file holds them as bytes (REGEDIT4) or UTF-16 units.
    std::u16string Units(const std::string& text) const {
        if (version5_) return Cp1251ToUtf16(text);
        std::u16string out;
        for (char c : text) out.push_back(static_cast<unsigned char>(c));
        return out;
    }

    bool version5_;
    TempFolder folder_;
    std::string path_;
};

#ifdef _WIN32

std::wstring Wide(const std::string& text) {
    std::u16string u = Cp1251ToUtf16(text);
    return std::wstring(u.begin(), u.end());
}

class RegistryBackend : public StoreBackend {
public:
    RegistryBackend() { Remove(); }
    ~RegistryBackend() override { Remove(); }

    void Seed(const std::vector<testing::Seed>& seeds) override {
        Remove();
        for (const testing::Seed& seed : seeds) {
            HKEY key = nullptr;
            std::wstring path = Wide(FullKey(seed.key));
            if (!seed.unicode_key.empty()) {
                path = Wide(root_ + "\\") + std::wstring(seed.unicode_key.begin(), seed.unicode_key.end());
            }
            if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                nullptr) != ERROR_SUCCESS) {
                throw std::runtime_error("cannot create test key " + seed.key);
            }
            if (!(seed.type == 0 && seed.name.empty())) {
                std::string bytes = seed.data;
                if (seed.type == 1 || seed.type == 2) {
                    std::u16string wide = Cp1251ToUtf16(seed.data);
                    wide.push_back(u'\0');
                    bytes.assign(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
                }
                RegSetValueExW(key, Wide(seed.name).c_str(), 0, seed.type, reinterpret_cast<const BYTE*>(bytes.data()),
                               static_cast<DWORD>(bytes.size()));
            }
            RegCloseKey(key);
        }
    }

    std::unique_ptr<TUserDatabase> Open() override { return std::make_unique<RegistryUserDatabase>(keys_); }

    bool HoldsUnicodeNames() const override { return true; }

    std::optional<std::uint32_t> TypeOf(const std::string& key, const std::string& name) override {
        HKEY handle = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(FullKey(key)).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        DWORD type = 0;
        LONG result = RegQueryValueExW(handle, Wide(name).c_str(), nullptr, &type, nullptr, nullptr);
        RegCloseKey(handle);
        if (result != ERROR_SUCCESS) return std::nullopt;
        return type;
    }

    bool KeyExists(const std::string& key) override {
        HKEY handle = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(FullKey(key)).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(handle);
        return true;
    }

private:
    void Remove() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(root_).c_str()); }
};

#endif

}  // namespace

Seed Key(std::string key) {
    return {std::move(key), {}, 0, {}};
}

Seed Text(std::string key, std::string name, std::string text) {
    return {std::move(key), std::move(name), 1, std::move(text)};
}

Seed Dword(std::string key, std::string name, std::uint32_t value) {
    std::string bytes;
    for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<char>((value >> (8 * k)) & 0xFF));
    return {std::move(key), std::move(name), 4, bytes};
}

StoreBackend::StoreBackend() {
    // Never the real database: a key of this test process's own.
    root_ = "SOFTWARE\\Tarnwell Tests\\" + std::to_string(ProcessId());
    keys_.database = "\\" + root_ + "\\UserDatabase";
    keys_.service = "\\" + root_ + "\\Services\\WinGateEngine";
}

std::unique_ptr<StoreBackend> MakeRegFileBackend(bool version5) {
    return std::make_unique<RegFileBackend>(version5);
}

#ifdef _WIN32
std::unique_ptr<StoreBackend> MakeRegistryBackend() {
    return std::make_unique<RegistryBackend>();
}
#endif

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Utf16LeBytes(std::u16string_view units) {
    std::string bytes;
    bytes.reserve(2 * units.size());
    for (char16_t unit : units) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace tarnwell::testing
