#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>
#include <system_error>
#include <thread>

#include "support/host_python.h"
#include "support/temp_folder.h"

namespace tarnwell::testing_support {
namespace {

// Wine's own exports; absent on Windows proper.
using UnixFileName = char*(__cdecl*)(const wchar_t*);
using DosFileName = wchar_t*(__cdecl*)(const char*);

// The function of that name in kernel32, or null. (Through void*: GetProcAddress's type fits no function.)
template <typename Function>
Function WineFunction(const char* name) {
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    return kernel32 == nullptr ? nullptr
                               : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel32, name)));
}

struct HeapText {
    void operator()(void* p) const { HeapFree(GetProcessHeap(), 0, p); }
};

}  // namespace

std::filesystem::path HostPython() {
    const std::string python = TARNWELL_PYTHON;  // the build machine's Python, a Unix path
    auto dos_name = WineFunction<DosFileName>("wine_get_dos_file_name");
    if (python.empty() || dos_name == nullptr) return {};
    std::unique_ptr<wchar_t, HeapText> name(dos_name(python.c_str()));
    if (!name) return {};
    std::filesystem::path path(name.get());
    std::error_code ignored;
    return std::filesystem::exists(path, ignored) ? path : std::filesystem::path();
}

std::string HostPath(const std::filesystem::path& path) {
    auto unix_name = WineFunction<UnixFileName>("wine_get_unix_file_name");
    if (unix_name == nullptr) return path.string();
    std::unique_ptr<char, HeapText> name(unix_name(std::filesystem::absolute(path).wstring().c_str()));
    return name ? std::string(name.get()) : path.string();
}

namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

// Through host_run.py: output into files, and the exit status, written last, tells that Python has ended.
ProcessResult RunHostPython(const std::vector<std::string>& arguments) {
    const TempFolder folder;
    std::vector<std::string> command = {SourceFile("tests/support/host_run.py"), HostPath(folder / "out"),
                                        HostPath(folder / "err"), HostPath(folder / "status"), HostPath(HostPython())};
    command.insert(command.end(), arguments.begin(), arguments.end());
    { RunningProcess python(HostPython(), command, folder / "launch.log"); }
    ProcessResult result;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!std::filesystem::exists(folder / "status")) {
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "Python did not end within 60 s: " << ReadAll(folder / "launch.log");
            return result;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    result.out = ReadAll(folder / "out");
    result.err = ReadAll(folder / "err");
    result.exit_status = std::stoi(ReadAll(folder / "status"));
    return result;
}

}  // namespace tarnwell::testing_support
