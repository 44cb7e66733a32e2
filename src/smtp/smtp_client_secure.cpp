// The extended opening of a session: EHLO, STARTTLS, AUTH.

#include <algorithm>
#include <cctype>
#include <sstream>

#include "smtp/smtp_client.h"
#include "smtp/uu_processor.h"

namespace tarnwell {
namespace {

// The words of one EHLO reply line after its number, upper-cased: "250-AUTH PLAIN LOGIN\r\n" gives
// AUTH, PLAIN, LOGIN. A line too short to carry a word gives none.
std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    if (line.size() <= 4) return words;
    std::string text = line.substr(4);
    for (char& ch : text) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    std::istringstream in(text);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

bool Offers(const std::vector<std::string>& extensions, const std::string& keyword) {
    return std::any_of(extensions.begin() + (extensions.empty() ? 0 : 1), extensions.end(),
                       [&](const std::string& line) {
                           auto words = Words(line);
                           return !words.empty() && words[0] == keyword;
                       });
}

// The mechanisms of the AUTH extension ("250-AUTH PLAIN LOGIN"; some servers still write "AUTH=LOGIN").
std::vector<std::string> AuthMechanisms(const std::vector<std::string>& extensions) {
    std::vector<std::string> mechanisms;
    for (std::size_t i = 1; i < extensions.size(); ++i) {
        auto words = Words(extensions[i]);
        if (words.empty()) continue;
        if (words[0] == "AUTH") mechanisms.insert(mechanisms.end(), words.begin() + 1, words.end());
        if (words[0].rfind("AUTH=", 0) == 0) mechanisms.push_back(words[0].substr(5));
    }
    return mechanisms;
}

bool Has(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

}  // namespace

std::vector<std::string> TSmtpClient::Ehlo() {
    std::vector<std::string> lines;
    Exchange("EHLO " + (Domain.empty() ? UserID : Domain), &lines);
    if (LastReply().empty()) throw ENotConnected();
    if (ReplyNumber() < 200 || ReplyNumber() >= 300) throw ESmtpRefused(ReplyText());
    return lines;
}

void TSmtpClient::OpenExtended() {
    if (Security != ssNone && Security != ssStartTls && Security != ssTls) {
        throw Error("Invalid security mode " + std::to_string(static_cast<int>(Security)));
    }
    std::vector<std::string> extensions = Ehlo();
    if (Security == ssStartTls) {
        // Nothing may follow in clear text: without STARTTLS the session ends here, without QUIT.
        if (!Offers(extensions, "STARTTLS")) {
            CloseNow();
            throw ETlsError("The server " + Host + " does not offer STARTTLS");
        }
        Transaction("STARTTLS");
        if (LastReply().empty()) throw ENotConnected();
        if (ReplyNumber() < 200 || ReplyNumber() >= 300) {
            CloseNow();
            throw ETlsError("The server refused STARTTLS: " + ReplyText());
        }
        // Bytes already behind the go-ahead were sent before the encryption and by anyone on the way:
        // taken into the encrypted session they would pass for the server's replies. Refuse them.
        if (DataAvailable()) {
            CloseNow();
            throw ETlsError("The server sent data behind its STARTTLS reply; the session is refused");
        }
        StartTls(Host, CAFile);
        // What the server offered before the encryption counts no longer.
        extensions = Ehlo();
    }
    if (!Password.empty()) Login(extensions);
}

void TSmtpClient::Login(const std::vector<std::string>& extensions) {
    const std::vector<std::string> mechanisms = AuthMechanisms(extensions);
    auto step = [this](const std::string& command) {
        Transaction(command);
        if (LastReply().empty()) throw ENotConnected();
    };
    auto refused = [this] { return ESmtpAuthError("Login refused: " + ReplyText()); };
    if (Has(mechanisms, "PLAIN")) {
        step("AUTH PLAIN " + MimeBase64(std::string(1, '\0') + UserID + std::string(1, '\0') + Password));
        if (ReplyNumber() != 235) throw refused();
    } else if (Has(mechanisms, "LOGIN")) {
        step("AUTH LOGIN");
        if (ReplyNumber() != 334) throw refused();
        step(MimeBase64(UserID));
        if (ReplyNumber() != 334) throw refused();
        step(MimeBase64(Password));
        if (ReplyNumber() != 235) throw refused();
    } else {
        throw ESmtpAuthError("The server " + Host + " offers no login by AUTH PLAIN or AUTH LOGIN");
    }
}

}  // namespace tarnwell
