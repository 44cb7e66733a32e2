// The SMTP client against a peer on the loopback that answers with any bytes: a letter counts as sent
// only when the bytes hold a well-formed accepting reply to each command in turn. Lines end at LF; a reply
// is its continuation lines (a hyphen after the three digits, or a blank first) and its last line, three
// digits then a blank or the line's end. Greeting, RSET, MAIL FROM, DATA and the closing dot are accepted
// by 2xx and 3xx, HELO by 2xx; the reply to RCPT TO only has to be there.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "fuzz_check.h"
#include "smtp/smtp_client.h"

namespace tarnwell::fuzzing {
namespace {

struct Reply {
    bool well_formed = false;
    int code = 0;
};

bool Digits(std::string_view line) {
    return line.size() >= 3 && std::isdigit(static_cast<unsigned char>(line[0])) &&
           std::isdigit(static_cast<unsigned char>(line[1])) && std::isdigit(static_cast<unsigned char>(line[2]));
}

// The replies the bytes hold, in order; a reply cut off by the end of the bytes is left out.
std::vector<Reply> Replies(std::string_view bytes) {
    std::vector<Reply> replies;
    Reply reply{true, 0};
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = bytes.find('\n', at);
        std::string_view line = bytes.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        at = end == std::string_view::npos ? bytes.size() : end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const bool continued = (!line.empty() && line[0] == ' ') || (Digits(line) && line.size() > 3 && line[3] == '-');
        if (continued) {
            if (end == std::string_view::npos) break;
            continue;
        }
        reply.well_formed = reply.well_formed && Digits(line) && (line.size() == 3 || line[3] == ' ');
        reply.code = Digits(line) ? std::stoi(std::string(line.substr(0, 3))) : 0;
        replies.push_back(reply);
        reply = Reply{true, 0};
    }
    return replies;
}

bool Accepts(const Reply& reply, int below) {
    return reply.well_formed && reply.code >= 200 && reply.code < below;
}

// A listening socket on 127.0.0.1 for one input: a connection that an earlier input left behind can
// never meet the next input's bytes.
int Listener(int& port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    Require(fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(fd, 4) == 0 &&
                ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0,
            "a loopback listener");
    port = ntohs(address.sin_port);
    return fd;
}

// The peer: sends the bytes, ends its side, and reads whatever the client sends until it closes.
void Answer(int listener, std::string_view bytes) {
    // A client that failed before connecting leaves nobody to wait for.
    pollfd ready{listener, POLLIN, 0};
    if (::poll(&ready, 1, 10000) != 1) return;
    int peer = ::accept(listener, nullptr, nullptr);
    if (peer < 0) return;
    for (std::size_t sent = 0; sent < bytes.size();) {
        ssize_t n = ::send(peer, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    ::shutdown(peer, SHUT_WR);
    char sink[4096];
    while (::recv(peer, sink, sizeof sink, 0) > 0) {
    }
    ::close(peer);
}

}  // namespace
}  // namespace tarnwell::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwell;
    using namespace tarnwell::fuzzing;
    int port = 0;
    const int listener = Listener(port);
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    std::thread peer(Answer, listener, bytes);
    bool sent = false;
    {
        TSmtpClient client;
        client.Host = "127.0.0.1";
        client.Port = port;
        client.TimeOut = 10000;
        client.UserID = "fuzz";
        client.PostMessage.FromAddress = "admin@corp.ru";
        client.PostMessage.ToAddress = {"ivan@corp.ru"};
        client.PostMessage.Body = {"Traffic", "."};
        try {
            client.Connect();
            client.SendMailMessage();
            sent = true;
            client.Disconnect();
        } catch (const std::exception&) {
        }
    }
    peer.join();
    ::close(listener);

    if (sent) {
        // Greeting, HELO, RSET, MAIL FROM, RCPT TO, DATA, the closing dot.
        const std::vector<Reply> replies = Replies(bytes);
        Require(replies.size() >= 7, "a sent letter had a reply to each command");
        Require(Accepts(replies[0], 400), "a sent letter had an accepting greeting");
        Require(Accepts(replies[1], 300), "a sent letter had its HELO accepted");
        Require(Accepts(replies[2], 400) && Accepts(replies[3], 400), "a sent letter had RSET and MAIL FROM accepted");
        Require(Accepts(replies[5], 400), "a sent letter had DATA accepted");
        Require(Accepts(replies[6], 400), "a sent letter had its closing dot accepted");
    }
    return 0;
}
