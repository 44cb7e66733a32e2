// Messages sent to a real SMTP server (Debian's python3-aiosmtpd) and read back with Python's email
// package: what arrives must be what the program meant to send.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "smtp/smtp_client.h"
#include "text/cp1251_literal.h"

extern char** environ;

namespace tarnwell {
namespace {

using namespace tarnwell::literals;
namespace fs = std::filesystem;

const std::string kPython = TARNWELL_PYTHON;
const std::string kSink = std::string(TARNWELL_SOURCE_DIR) + "/tests/smtp/smtp_sink.py";

std::string Hex(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class AiosmtpdTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (kPython.empty()) GTEST_SKIP() << "no Debian Python in this build";
        char pattern[] = "/tmp/tarnwell-aiosmtpd-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        const std::string log = (folder_ / "server.log").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        std::string folder = folder_.string();
        const char* argv[] = {kPython.c_str(), kSink.c_str(), "serve", folder.c_str(), nullptr};
        int rc = posix_spawn(&pid_, kPython.c_str(), &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        ASSERT_EQ(rc, 0) << "cannot start " << kPython;

        // The server writes its port once it listens. Bounded: a server that dies or hangs fails the test.
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!fs::exists(folder_ / "port")) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = 0;
                FAIL() << "the SMTP server ended at start:\n" << ReadFile(folder_ / "server.log");
            }
            if (std::chrono::steady_clock::now() > until) FAIL() << "the SMTP server did not start in time";
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        port_ = std::stoi(ReadFile(folder_ / "port"));
    }

    void TearDown() override {
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
        if (!folder_.empty()) fs::remove_all(folder_);
    }

    void Open(TSmtpClient& client) {
        client.Host = "127.0.0.1";
        client.Port = port_;
        client.UserID = "tarnwell";
        client.TimeOut = 10000;
        client.Charset = "windows-1251";
        client.Connect();
    }

    // What the email package makes of stored message number n.
    std::string Parsed(int n) {
        std::string command =
            kPython + " " + kSink + " parse " + (folder_ / ("msg-" + std::to_string(n) + ".eml")).string();
        std::string output;
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char buffer[4096];
            std::size_t got;
            while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
            EXPECT_EQ(pclose(pipe), 0) << command;
        }
        return output;
    }

    std::string Envelope(int n) { return ReadFile(folder_ / ("msg-" + std::to_string(n) + ".env")); }

    std::string File(const std::string& name, const std::string& bytes) {
        fs::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    fs::path folder_;
    pid_t pid_ = 0;
    int port_ = 0;
};

std::string Header(const std::string& name, const std::string& value) {
    return "header " + name + " " + Hex(value) + "\n";
}

// A leaf part as the reader prints it: type, charset and file name, then the decoded bytes.
std::string Part(const std::string& description, const std::string& payload) {
    return "part " + description + "\npayload " + Hex(payload) + "\n";
}

TEST_F(AiosmtpdTest, LettersArriveWithTheirHeadersCharsetAndDottedLines) {
    const std::string subject(std::string_view("Наработанный трафик"_cp));
    const std::string name(std::string_view("Администратор"_cp));
    const std::string greeting(std::string_view("Привет, Иван!"_cp));
    TSmtpClient client;
    Open(client);
    for (const char* to : {"ivan@corp.ru", "olga@corp.ru"}) {
        client.PostMessage.FromName = name;
        client.PostMessage.FromAddress = "admin@corp.ru";
        client.PostMessage.Subject = subject;
        client.PostMessage.ToAddress = {to};
        client.PostMessage.Body = {greeting, ".", ".x", "", "..two", "end."};
        client.SendMailMessage();
    }
    client.Disconnect();

    for (int n : {1, 2}) {
        const std::string to = n == 1 ? "ivan@corp.ru" : "olga@corp.ru";
        EXPECT_EQ(Envelope(n), "admin@corp.ru\n" + to + "\n");
        const std::string text = "\r\n" + greeting + "\r\n.\r\n.x\r\n\r\n..two\r\nend.\r\n";
        EXPECT_EQ(Parsed(n), Header("From", name + "<admin@corp.ru>") + Header("To", to) + Header("Subject", subject) +
                                 Header("Mime-Version", "1.0") +
                                 Header("Content-Type", "text/plain; charset=windows-1251") +
                                 Part("text/plain windows-1251 -", text));
    }
}

TEST_F(AiosmtpdTest, AttachmentsDecodeBackToTheirBytes) {
    std::string bytes;
    for (int i = 0; i < 1031; ++i) bytes += static_cast<char>((i * 37 + 11) % 256);
    const std::string binary = File("data.bin", bytes);
    const std::string dotted = File("dot.bin", "fourteen bytes");  // uuencoded, its line begins with "."
    TSmtpClient client;
    Open(client);
    client.SubType = mtHtml;
    for (TUUMethod method : {uuMime, uuCode}) {
        client.EncodeType = method;
        client.PostMessage.FromAddress = "admin@corp.ru";
        client.PostMessage.ToAddress = {"ivan@corp.ru"};
        client.PostMessage.Body = {"See the files.", ".hidden"};
        client.PostMessage.Attachments = {binary, dotted};
        client.SendMailMessage();
    }
    client.Disconnect();

    for (int n : {1, 2}) {
        std::string parsed = Parsed(n);
        std::string parts = parsed.substr(parsed.find("part "));
        EXPECT_EQ(parts, Part("text/plain windows-1251 -", "See the files.\r\n.hidden") +
                             Part("application/octet-stream - data.bin", bytes) +
                             Part("application/octet-stream - dot.bin", "fourteen bytes"))
            << (n == 1 ? "Base64" : "uuencode");
    }
}

}  // namespace
}  // namespace tarnwell
