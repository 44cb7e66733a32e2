#include <windows.h>

#include <memory>
#include <system_error>

#include "support/host_python.h"

namespace tarnwell::testing_support {
namespace {

// Wine's own exports; absent on Windows proper.
using UnixFileName = char*(__cdecl*)(const wchar_t*);
using DosFileName = wchar_t*(__cdecl*)(const char*);

FARPROC WineFunction(const wchar_t* module, const char* name) {
    HMODULE handle = GetModuleHandleW(module);
    return handle == nullptr ? nullptr : GetProcAddress(handle, name);
}

struct HeapText {
    void operator()(void* p) const { HeapFree(GetProcessHeap(), 0, p); }
};

}  // namespace

std::filesystem::path HostPython() {
    const std::string python = TARNWELL_PYTHON;  // the build machine's Python, a Unix path
    auto dos_name = reinterpret_cast<DosFileName>(WineFunction(L"kernel32.dll", "wine_get_dos_file_name"));
    if (python.empty() || dos_name == nullptr) return {};
    std::unique_ptr<wchar_t, HeapText> name(dos_name(python.c_str()));
    if (!name) return {};
    std::filesystem::path path(name.get());
    std::error_code ignored;
    return std::filesystem::exists(path, ignored) ? path : std::filesystem::path();
}

std::string HostPath(const std::filesystem::path& path) {
    auto unix_name = reinterpret_cast<UnixFileName>(WineFunction(L"kernel32.dll", "wine_get_unix_file_name"));
    if (unix_name == nullptr) return path.string();
    std::unique_ptr<char, HeapText> name(unix_name(std::filesystem::absolute(path).wstring().c_str()));
    return name ? std::string(name.get()) : path.string();
}

}  // namespace tarnwell::testing_support
