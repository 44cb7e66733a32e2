#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include "support/run_process.h"

namespace tarnwell::testing_support {
namespace {

struct Handle {
    HANDLE h = nullptr;
    Handle() = default;
    explicit Handle(HANDLE handle) : h(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { Close(); }
    void Close() {
        if (h != nullptr && h != INVALID_HANDLE_VALUE) CloseHandle(h);
        h = nullptr;
    }
};

std::wstring Widen(const std::string& text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

// One argument of a command line, quoted so that the C runtime splits it back as it was (the tests' own
// arguments hold neither quotes nor backslashes before them).
std::wstring Quote(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    return L"\"" + arg + L"\"";
}

std::wstring EnvironmentBlock(const EnvironmentChanges& changes) {
    std::wstring block;
    wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* e = strings; *e != L'\0'; e += wcslen(e) + 1) {
        std::wstring entry(e);
        std::wstring name = entry.substr(0, entry.find(L'=', 1));
        bool changed = false;
        for (const auto& change : changes)
            changed = changed || _wcsicmp(Widen(change.first).c_str(), name.c_str()) == 0;
        if (!changed) block += entry + L'\0';
    }
    FreeEnvironmentStringsW(strings);
    for (const auto& [name, value] : changes) {
        if (value) block += Widen(name) + L"=" + Widen(*value) + L'\0';
    }
    block += L'\0';
    return block;
}

// Starts the program with the arguments, the environment changed as given and the standard handles, in
// the folder (null: this process's). Its handles are the caller's to close.
PROCESS_INFORMATION Spawn(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                          const EnvironmentChanges& environment, const wchar_t* folder, HANDLE input, HANDLE output,
                          HANDLE error) {
    std::wstring command = Quote(program.wstring());
    for (const std::string& arg : arguments) command += L" " + Quote(Widen(arg));
    std::wstring env = EnvironmentBlock(environment);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = error;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(program.wstring().c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                        env.data(), folder, &startup, &info)) {
        throw std::runtime_error("cannot start " + program.string());
    }
    return info;
}

void ReadAll(HANDLE pipe, std::string& sink) {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) sink.append(buffer, got);
}

}  // namespace

ProcessResult RunProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                         const std::filesystem::path& working_folder, const EnvironmentChanges& environment,
                         std::chrono::seconds time_limit) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    Handle out_read, out_write, err_read, err_write;
    if (!CreatePipe(&out_read.h, &out_write.h, &inherit, 0) || !CreatePipe(&err_read.h, &err_write.h, &inherit, 0)) {
        throw std::runtime_error("cannot make pipes");
    }
    SetHandleInformation(out_read.h, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(err_read.h, HANDLE_FLAG_INHERIT, 0);
    Handle null_in(
        CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr));

    PROCESS_INFORMATION info =
        Spawn(program, arguments, environment, working_folder.wstring().c_str(), null_in.h, out_write.h, err_write.h);
    Handle process(info.hProcess), thread(info.hThread);
    out_write.Close();
    err_write.Close();

    ProcessResult result;
    std::thread out_reader([&] { ReadAll(out_read.h, result.out); });
    std::thread err_reader([&] { ReadAll(err_read.h, result.err); });
    DWORD limit = static_cast<DWORD>(time_limit.count() * 1000);
    if (WaitForSingleObject(process.h, limit) != WAIT_OBJECT_0) {
        TerminateProcess(process.h, 1);
        ADD_FAILURE() << program << " ran longer than " << time_limit.count() << " s and was killed";
    }
    out_reader.join();
    err_reader.join();
    DWORD code = 0;
    result.exit_status = GetExitCodeProcess(process.h, &code) ? static_cast<int>(code) : -1;
    return result;
}

struct RunningProcess::Impl {
    Handle process, input;
    std::filesystem::path output_file;
};

RunningProcess::RunningProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                               const std::filesystem::path& output_file, const EnvironmentChanges& environment)
    : impl_(std::make_unique<Impl>()) {
    impl_->output_file = output_file;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    Handle input_read;
    if (!CreatePipe(&input_read.h, &impl_->input.h, &inherit, 0)) throw std::runtime_error("cannot make a pipe");
    SetHandleInformation(impl_->input.h, HANDLE_FLAG_INHERIT, 0);
    Handle output(CreateFileW(output_file.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              &inherit, CREATE_ALWAYS, 0, nullptr));
    if (output.h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + output_file.string());

    PROCESS_INFORMATION info = Spawn(program, arguments, environment, nullptr, input_read.h, output.h, output.h);
    impl_->process.h = info.hProcess;
    if (info.hThread != nullptr) CloseHandle(info.hThread);
}

RunningProcess::~RunningProcess() {
    if (!CloseInputAndWait(std::chrono::seconds(5))) Kill();
}

void RunningProcess::Kill() {
    if (impl_->process.h == nullptr) return;
    TerminateProcess(impl_->process.h, 1);
    WaitForSingleObject(impl_->process.h, INFINITE);
}

bool RunningProcess::CloseInputAndWait(std::chrono::milliseconds limit) {
    impl_->input.Close();
    if (impl_->process.h == nullptr) return true;
    return WaitForSingleObject(impl_->process.h, static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0;
}

bool RunningProcess::Ended() {
    return impl_->process.h != nullptr && WaitForSingleObject(impl_->process.h, 0) == WAIT_OBJECT_0;
}

std::string RunningProcess::Output() const {
    std::ifstream in(impl_->output_file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace tarnwell::testing_support
