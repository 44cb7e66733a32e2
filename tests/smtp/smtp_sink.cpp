#include "smtp_sink.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/host_python.h"

namespace tarnwell::testing {

namespace fs = std::filesystem;
using testing_support::HostPath;
using testing_support::SourceFile;

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

std::string SmtpSink::Field(const std::string& output, const std::string& key) {
    const std::size_t at = ("\n" + output).find("\n" + key + " ");
    if (at == std::string::npos) return "<no " + key + ">";
    const std::size_t start = at + key.size() + 1;
    return output.substr(start, output.find('\n', start) - start);
}

bool SmtpSink::Available() {
    return !testing_support::HostPython().empty();
}

std::string SmtpSink::MakeCertificate(const std::string& name) {
    std::vector<std::string> arguments{SourceFile("tests/smtp/smtp_sink.py"), "makecert", HostPath(Folder())};
    if (!name.empty()) arguments.push_back(name);
    testing_support::ProcessResult python = testing_support::RunHostPython(arguments);
    if (!fs::exists(CertFile())) return "no certificate made: " + python.out + python.err;
    return {};
}

std::string SmtpSink::Start(const SinkOptions& options) {
    std::vector<std::string> arguments{SourceFile("tests/smtp/smtp_sink.py"), "serve", HostPath(Folder()),
                                       options.security};
    if (!options.login.empty()) {
        arguments.insert(arguments.end(), {options.login, options.password});
        if (!options.mechanism.empty()) arguments.push_back(options.mechanism);
    }
    return Run(arguments);
}

std::string SmtpSink::StartScript(const std::vector<std::string>& steps) {
    std::ofstream script(Folder() / "script", std::ios::binary);
    for (const std::string& step : steps) script << step << '\n';
    script.close();
    return Run({SourceFile("tests/smtp/smtp_sink.py"), "script", HostPath(Folder()), HostPath(Folder() / "script")});
}

std::string SmtpSink::Received() const {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!fs::exists(Folder() / "received.served") && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return ReadFile(Folder() / "received");
}

std::string SmtpSink::SendStep(std::string_view bytes) {
    std::string step = "send ";
    for (char c : bytes) {
        if (c == '\r') {
            step += "\\r";
        } else if (c == '\n') {
            step += "\\n";
        } else {
            step += c;
        }
    }
    return step;
}

std::vector<std::string> SmtpSink::TlsSmtpSteps(const std::string& greeting, const std::vector<std::string>& replies) {
    std::vector<std::string> steps{"tls", SendStep(greeting)};
    bool data_follows = false;
    for (const std::string& reply : replies) {
        steps.push_back(data_follows ? "data" : "line");
        if (reply == "<close>") {
            steps.push_back("close");
            break;
        }
        steps.push_back(SendStep(reply));
        data_follows = reply.rfind("354", 0) == 0;
    }
    return steps;
}

std::string SmtpSink::Run(const std::vector<std::string>& arguments) {
    server_ = std::make_unique<testing_support::RunningProcess>(testing_support::HostPython(), arguments,
                                                                Folder() / "server.log");

    // The server writes its port once it listens. Bounded: a server that dies or hangs fails the test.
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fs::exists(Folder() / "port")) {
        if (server_->Ended()) return "the SMTP server ended at start:\n" + server_->Output();
        if (std::chrono::steady_clock::now() > until) return "the SMTP server did not start in time";
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    port_ = std::stoi(ReadFile(Folder() / "port"));
    return {};
}

SmtpSink::~SmtpSink() {
    // The server is asked to stop and given a moment to do so before its folder goes.
    if (server_) {
        std::ofstream(Folder() / "stop").close();
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!fs::exists(Folder() / "stopped") && !server_->Ended() && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        server_.reset();
    }
}

int SmtpSink::MessageCount() const {
    int count = 0;
    while (fs::exists(Folder() / ("msg-" + std::to_string(count + 1) + ".env"))) ++count;
    return count;
}

std::string SmtpSink::Envelope(int n) const {
    return ReadFile(Folder() / ("msg-" + std::to_string(n) + ".env"));
}

std::string SmtpSink::Parsed(int n) const {
    return RunReader("parse", n);
}

std::string SmtpSink::Checked(int n) const {
    return RunReader("check", n);
}

std::string SmtpSink::RunReader(const char* mode, int n) const {
    testing_support::ProcessResult python = testing_support::RunHostPython(
        {SourceFile("tests/smtp/smtp_sink.py"), mode, HostPath(Folder() / ("msg-" + std::to_string(n) + ".eml"))});
    if (!python.err.empty()) return python.out + "<parse failed: " + python.err + ">";
    return python.out;
}

}  // namespace tarnwell::testing
