#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/run_process.h"
#include "support/temp_folder.h"

namespace tarnwell::testing {

// How the server protects the session and whom it lets in (see smtp_sink.py serve).
struct SinkOptions {
    std::string security = "plain";  // "plain", "starttls" or "tls"
    std::string login;               // empty: AUTH not offered
    std::string password;
    std::string mechanism;  // "PLAIN" or "LOGIN": only that one offered; empty: both
};

// A real SMTP server for the tests: Debian's Python running smtp_sink.py (python3-aiosmtpd) on a free
// loopback port, storing every message it receives in a folder of its own. The Windows tests under Wine
// start the same server. It is stopped when the object is destroyed, and its folder removed.
class SmtpSink {
public:
    SmtpSink() = default;
    ~SmtpSink();
    SmtpSink(const SmtpSink&) = delete;
    SmtpSink& operator=(const SmtpSink&) = delete;

    // Whether there is a Python to run the server with; the tests skip themselves without it.
    static bool Available();

    // Starts the server and waits (bounded) until it listens. Returns an empty text when it does, else why
    // not (the server's own output included). "starttls" and "tls" need MakeCertificate first.
    std::string Start(const SinkOptions& options);
    std::string Start() { return Start(SinkOptions{}); }
    // Starts, in place of the server, smtp_sink.py's scripted peer, which can speak TLS: for every
    // connection the steps in order ("send <text>", "line", "data", "tls", "pause <ms>", "close",
    // "reset"; see smtp_sink.py script). A "tls" step needs MakeCertificate first.
    std::string StartScript(const std::vector<std::string>& steps);
    // A "send" step of those bytes.
    static std::string SendStep(std::string_view bytes);
    // The steps of an SMTP dialogue over TLS from the first byte, as SmtpScript makes them for the
    // scripted server: the handshake, the greeting, then for every command line the next reply ("354"
    // taking the data first; "<close>" closes instead of answering).
    static std::vector<std::string> TlsSmtpSteps(const std::string& greeting, const std::vector<std::string>& replies);
    // What clients sent to the scripted peer (decrypted), every connection's in turn; waits (a few
    // seconds at most) until the peer has served a connection.
    std::string Received() const;
    // A throw-away self-signed certificate for localhost and 127.0.0.1 (or for the host name `name`
    // alone) in Folder() (CertFile(), and its key beside it). Empty when made, else why not.
    std::string MakeCertificate(const std::string& name = "");
    std::filesystem::path CertFile() const { return Folder() / "cert.pem"; }
    // Every byte the server received unencrypted, in order.
    std::string ClearText() const { return ReadFile(Folder() / "clear.log"); }

    int Port() const { return port_; }
    const std::filesystem::path& Folder() const { return folder_.path(); }
    // How many messages have been stored so far.
    int MessageCount() const;
    // Sender and recipients of message n (from 1), one a line.
    std::string Envelope(int n) const;
    // What Python's email package makes of message n (see smtp_sink.py): its raw headers and decoded
    // parts, and what a mail program reads of its header (defects, names, subject, date).
    std::string Parsed(int n) const;
    std::string Checked(int n) const;

    static std::string ReadFile(const std::filesystem::path& path);
    // Bytes in lower-case hexadecimal, as the parser prints them.
    static std::string Hex(std::string_view bytes);
    // The value of the first line "<key> <value>" of the reader's output, or "<no key>".
    static std::string Field(const std::string& output, const std::string& key);

private:
    // Starts smtp_sink.py with the arguments and waits (bounded) until it listens.
    std::string Run(const std::vector<std::string>& arguments);
    std::string RunReader(const char* mode, int n) const;

    testing_support::TempFolder folder_;
    std::unique_ptr<testing_support::RunningProcess> server_;
    int port_ = 0;
};

}  // namespace tarnwell::testing
