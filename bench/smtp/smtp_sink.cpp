// A minimal SMTP sink for the benchmark: answers every command at once (or after a fixed delay), reads
// message data up to the closing dot and throws it away. One connection at a time, single-threaded,
// blocking, with a 64 KiB read buffer, so that it costs far less per exchange than either client.
//
//     smtp_sink [delay-microseconds]
//
// Prints the port it listens on (127.0.0.1, chosen by the system), then one line per finished connection:
// "connection <letters> <cpu seconds of the sink during it> <wall seconds>".

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool SendAll(int s, std::string_view text) {
    while (!text.empty()) {
        ssize_t n = send(s, text.data(), text.size(), MSG_NOSIGNAL);
        if (n <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string_view ReplyTo(std::string_view line) {
    auto starts = [&](const char* verb) { return line.size() >= 4 && strncasecmp(line.data(), verb, 4) == 0; };
    if (starts("HELO") || starts("EHLO")) return "250 sink\r\n";
    if (starts("DATA")) return "354 go ahead\r\n";
    if (starts("QUIT")) return "221 bye\r\n";
    if (starts("RSET") || starts("MAIL") || starts("RCPT") || starts("NOOP")) return "250 ok\r\n";
    return "500 unknown\r\n";
}

void Serve(int s, std::chrono::microseconds delay) {
    auto wall_start = std::chrono::steady_clock::now();
    double cpu_start = CpuSeconds();
    long letters = 0;
    auto answer = [&](std::string_view reply) {
        if (delay.count() > 0) std::this_thread::sleep_for(delay);
        return SendAll(s, reply);
    };
    std::string pending;
    bool in_data = false;
    bool open = answer("220 sink ready\r\n");
    char buffer[65536];
    while (open) {
        ssize_t n = recv(s, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        pending.append(buffer, static_cast<std::size_t>(n));
        std::size_t used = 0;
        while (open) {
            if (in_data) {
                // The data ends with a line holding only a dot; the CR LF before it ends the last line.
                std::size_t end = pending.find("\r\n.\r\n", used >= 2 ? used - 2 : used);
                if (end == std::string::npos) {
                    // Keep only a tail that may hold the start of the end marker.
                    if (pending.size() > used + 4) used = pending.size() - 4;
                    break;
                }
                used = end + 5;
                in_data = false;
                ++letters;
                open = answer("250 queued\r\n");
                continue;
            }
            std::size_t lf = pending.find('\n', used);
            if (lf == std::string::npos) break;
            std::string_view line(pending.data() + used, lf - used);
            used = lf + 1;
            std::string_view reply = ReplyTo(line);
            open = answer(reply);
            if (reply[0] == '3') in_data = true;
            if (reply[0] == '2' && reply[1] == '2' && reply[2] == '1') open = false;
        }
        pending.erase(0, used);
    }
    close(s);
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
    std::printf("connection %ld %.3f %.3f\n", letters, CpuSeconds() - cpu_start, wall);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    std::chrono::microseconds delay(argc > 1 ? std::atol(argv[1]) : 0);
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 8) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        std::perror("smtp_sink");
        return 1;
    }
    std::printf("%d\n", ntohs(address.sin_port));
    std::fflush(stdout);
    for (;;) {
        int s = accept(listener, nullptr, nullptr);
        if (s < 0) return 1;
        int on = 1;
        setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        Serve(s, delay);
    }
}
