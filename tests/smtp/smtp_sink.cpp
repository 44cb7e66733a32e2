#include "smtp_sink_posix.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace tarnwell::testing {

namespace fs = std::filesystem;

namespace {

const std::string kSink = std::string(TARNWELL_SOURCE_DIR) + "/tests/smtp/smtp_sink.py";

}  // namespace

std::string SmtpSink::ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string SmtpSink::Hex(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

std::string SmtpSink::Start(const std::string& python) {
    python_ = python;
    temp_ = std::make_unique<testing_support::TempFolder>();
    folder_ = temp_->path();
    const std::string log = (folder_ / "server.log").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::string folder = folder_.string();
    const char* argv[] = {python_.c_str(), kSink.c_str(), "serve", folder.c_str(), nullptr};
    int rc = posix_spawn(&pid_, python_.c_str(), &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        pid_ = 0;
        return "cannot start " + python_;
    }

    // The server writes its port once it listens. Bounded: a server that dies or hangs fails the test.
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fs::exists(folder_ / "port")) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = 0;
            return "the SMTP server ended at start:\n" + ReadFile(folder_ / "server.log");
        }
        if (std::chrono::steady_clock::now() > until) return "the SMTP server did not start in time";
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    port_ = std::stoi(ReadFile(folder_ / "port"));
    return {};
}

SmtpSink::~SmtpSink() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        int status = 0;
        while (waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > until) {
                kill(pid_, SIGKILL);
                waitpid(pid_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
}

int SmtpSink::MessageCount() const {
    int count = 0;
    while (fs::exists(folder_ / ("msg-" + std::to_string(count + 1) + ".env"))) ++count;
    return count;
}

std::string SmtpSink::Envelope(int n) const {
    return ReadFile(folder_ / ("msg-" + std::to_string(n) + ".env"));
}

std::string SmtpSink::Parsed(int n) const {
    std::string command =
        python_ + " " + kSink + " parse " + (folder_ / ("msg-" + std::to_string(n) + ".eml")).string();
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t got;
        while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
        if (pclose(pipe) != 0) output += "<parse failed: " + command + ">";
    }
    return output;
}

}  // namespace tarnwell::testing
