#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include "support/run_process.h"

extern char** environ;

namespace tarnwell::testing_support {
namespace {

struct Pipe {
    int read = -1, write = -1;
    Pipe() {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error(std::strerror(errno));
        read = fds[0];
        write = fds[1];
    }
    ~Pipe() {
        CloseRead();
        CloseWrite();
    }
    void CloseRead() {
        if (read >= 0) close(read);
        read = -1;
    }
    void CloseWrite() {
        if (write >= 0) close(write);
        write = -1;
    }
};

std::vector<std::string> ChildEnvironment(const EnvironmentChanges& changes) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        std::string entry(*e);
        std::string name = entry.substr(0, entry.find('='));
        if (changes.count(name) == 0) env.push_back(entry);
    }
    for (const auto& [name, value] : changes) {
        if (value) env.push_back(name + "=" + *value);
    }
    return env;
}

// Starts the program with the arguments and the environment changed as given; the file actions are used
// and destroyed.
pid_t Spawn(const std::filesystem::path& program, const std::vector<std::string>& arguments,
            const EnvironmentChanges& environment, posix_spawn_file_actions_t& actions) {
    std::vector<std::string> argv_text{program.string()};
    argv_text.insert(argv_text.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : argv_text) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env_text = ChildEnvironment(environment);
    std::vector<char*> envp;
    for (std::string& e : env_text) envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) throw std::runtime_error("cannot start " + program.string() + ": " + std::strerror(rc));
    return pid;
}

}  // namespace

ProcessResult RunProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                         const std::filesystem::path& working_folder, const EnvironmentChanges& environment,
                         std::chrono::seconds time_limit) {
    Pipe out, err;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.write, 1);
    posix_spawn_file_actions_adddup2(&actions, err.write, 2);
    posix_spawn_file_actions_addchdir_np(&actions, working_folder.c_str());

    pid_t pid = Spawn(program, arguments, environment, actions);
    close(out.write);
    out.write = -1;
    close(err.write);
    err.write = -1;

    ProcessResult result;
    auto deadline = std::chrono::steady_clock::now() + time_limit;
    pollfd fds[2] = {{out.read, POLLIN, 0}, {err.read, POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open_streams = 2;
    while (open_streams > 0) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            kill(pid, SIGKILL);
            ADD_FAILURE() << program << " ran longer than " << time_limit.count() << " s and was killed";
            break;
        }
        int n = poll(fds, 2, static_cast<int>(left.count()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buffer[4096];
            ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                fds[i].fd = -1;
                --open_streams;
            }
        }
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

struct RunningProcess::Impl {
    pid_t pid = 0;
    bool reaped = false;
    Pipe input;
    std::filesystem::path output_file;

    bool Reap(int flags) {
        if (reaped) return true;
        int status = 0;
        pid_t got;
        while ((got = waitpid(pid, &status, flags)) < 0 && errno == EINTR) {
        }
        reaped = got == pid || got < 0;
        return reaped;
    }
};

RunningProcess::RunningProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                               const std::filesystem::path& output_file, const EnvironmentChanges& environment)
    : impl_(std::make_unique<Impl>()) {
    impl_->output_file = output_file;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, impl_->input.read, 0);
    posix_spawn_file_actions_addopen(&actions, 1, output_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);

    impl_->pid = Spawn(program, arguments, environment, actions);
    impl_->input.CloseRead();
}

RunningProcess::~RunningProcess() {
    if (!CloseInputAndWait(std::chrono::seconds(5))) Kill();
}

void RunningProcess::Kill() {
    if (impl_->reaped) return;
    kill(impl_->pid, SIGKILL);
    impl_->Reap(0);
}

bool RunningProcess::CloseInputAndWait(std::chrono::milliseconds limit) {
    impl_->input.CloseWrite();
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!impl_->Reap(WNOHANG)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool RunningProcess::Ended() {
    return impl_->Reap(WNOHANG);
}

std::string RunningProcess::Output() const {
    std::ifstream in(impl_->output_file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace tarnwell::testing_support
