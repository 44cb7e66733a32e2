// Personal letters over one SMTP session to a local sink: letters per second and processor time of
// TSmtpClient against Python's smtplib doing the same dialogue, in the same run, against the same sink.
//
//     bench_smtp SINK PYTHON SMTPLIB_SCRIPT [LETTERS]
//
// Two rounds: a sink that answers at once (throughput; both clients are then bound by their own
// processor time and the loopback round trips), and a sink that takes 500 microseconds per reply, as a
// real server does, where a client that sleeps while it waits uses almost no processor time.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "common/figure.h"
#include "smtp/smtp_client.h"
#include "text/cp1251_literal.h"

extern char** environ;

namespace tarnwell {
namespace {

using namespace tarnwell::literals;

struct Run {
    long letters = 0;
    double wall = 0;
    double cpu = 0;  // user + system
    double system = 0;
    double sink_cpu = 0;
    double PerSecond() const { return wall > 0 ? letters / wall : 0; }
    double CpuShare() const { return 100.0 * cpu / wall; }
};

double Seconds(const timeval& t) {
    return t.tv_sec + t.tv_usec / 1e6;
}

// Processor time of this process so far: user and system.
std::pair<double, double> CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return {Seconds(usage.ru_utime), Seconds(usage.ru_stime)};
}

// A child process whose standard output is read line by line.
class Child {
public:
    explicit Child(const std::vector<std::string>& args) {
        int fds[2];
        if (pipe(fds) != 0) std::exit(2);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            std::fprintf(stderr, "cannot start %s\n", argv[0]);
            std::exit(2);
        }
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        out_ = fdopen(fds[0], "r");
    }
    ~Child() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        std::fclose(out_);
    }
    std::string Line() {
        char buffer[512];
        if (!std::fgets(buffer, sizeof buffer, out_)) return {};
        return buffer;
    }

private:
    pid_t pid_ = 0;
    std::FILE* out_ = nullptr;
};

const std::vector<std::string>& LetterBody() {
    static const std::vector<std::string> body = [] {
        std::vector<std::string> lines;
        for (auto text : {"Уважаемый пользователь ivan!"_cp, ""_cp, "Ваш трафик за текущий месяц:"_cp,
                          "Принято: 1 234,56 мб."_cp, "Отправлено: 98,76 мб."_cp, "Всего: 1 333,32 мб."_cp,
                          "Время в сети: 12:34:56"_cp, "Лимит: 2 000,00 мб."_cp, "Остаток: 666,68 мб."_cp, ""_cp,
                          "Сведения на 01.02.2026 12:00:00"_cp, "Администратор сети"_cp})
            lines.emplace_back(text);
        return lines;
    }();
    return body;
}

void SetLetter(TSmtpClient& client, long i) {
    client.PostMessage.FromName = std::string(std::string_view("Администратор"_cp));
    client.PostMessage.FromAddress = "admin@corp.ru";
    client.PostMessage.Subject = std::string(std::string_view("Наработанный трафик"_cp));
    client.PostMessage.ToAddress = {"user" + std::to_string(i) + "@corp.ru"};
    client.PostMessage.Body = LetterBody();
}

// The bytes smtplib sends after DATA: the same message as ours.
std::string MessageFile(const std::filesystem::path& folder) {
    TSmtpClient client;
    client.Charset = "windows-1251";
    SetLetter(client, 0);
    client.BuildMessage();
    std::filesystem::path path = folder / "bench_smtp_letter.eml";
    std::ofstream(path, std::ios::binary) << client.FinalHeader().Text() << "\r\n\r\n" << client.BodyStream().Data();
    return path.string();
}

double SinkCpu(Child& sink) {
    long letters = 0;
    double cpu = 0, wall = 0;
    std::sscanf(sink.Line().c_str(), "connection %ld %lf %lf", &letters, &cpu, &wall);
    return cpu;
}

Run Ours(Child& sink, int port, long letters) {
    Run run;
    auto wall_start = std::chrono::steady_clock::now();
    auto [user_start, system_start] = CpuSeconds();
    {
        TSmtpClient client;
        client.Host = "127.0.0.1";
        client.Port = port;
        client.UserID = "tarnwell";
        client.Charset = "windows-1251";
        client.TimeOut = 60000;
        client.Connect();
        for (long i = 0; i < letters; ++i) {
            SetLetter(client, i);
            client.SendMailMessage();
            ++run.letters;
        }
        client.Disconnect();
    }
    run.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
    auto [user_end, system_end] = CpuSeconds();
    run.system = system_end - system_start;
    run.cpu = user_end - user_start + run.system;
    run.sink_cpu = SinkCpu(sink);
    return run;
}

Run Smtplib(Child& sink, const std::string& python, const std::string& script, int port, long letters,
            const std::string& message) {
    Run run;
    Child client({python, script, std::to_string(port), std::to_string(letters), message});
    double user = 0;
    std::sscanf(client.Line().c_str(), "letters %ld wall %lf user %lf system %lf", &run.letters, &run.wall, &user,
                &run.system);
    run.cpu = user + run.system;
    run.sink_cpu = SinkCpu(sink);
    return run;
}

void Print(const char* who, const Run& run) {
    const double us = 1e6 / run.letters;
    std::printf(
        "  %-8s %6ld letters %7.3f s wall %6.0f letters/s | client CPU %6.3f s (%4.1f%% of wall) | "
        "per letter: wall %4.0f us, client CPU %3.0f us (system %3.0f), sink CPU %3.0f us\n",
        who, run.letters, run.wall, run.PerSecond(), run.cpu, run.CpuShare(), run.wall * us, run.cpu * us,
        run.system * us, run.sink_cpu * us);
}

}  // namespace
}  // namespace tarnwell

int main(int argc, char** argv) {
    using namespace tarnwell;
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_smtp SINK PYTHON SMTPLIB_SCRIPT [LETTERS]\n");
        return 2;
    }
    const std::string sink_program = argv[1], python = argv[2], script = argv[3];
    const long letters = argc > 4 ? std::atol(argv[4]) : 10000;
    const std::string message = MessageFile(std::filesystem::temp_directory_path());

    // The machine may be shared: each client runs three times, alternating, and the best run of each
    // is compared, being the one least disturbed by other work.
    struct Round {
        const char* name;
        long delay_us;
        long letters;
        int repeats;
    } rounds[] = {{"sink answering at once", 0, letters, 3}, {"sink taking 500 us per reply", 500, letters / 10, 1}};
    bool met = true;
    for (const Round& round : rounds) {
        Child sink({sink_program, std::to_string(round.delay_us)});
        int port = std::atoi(sink.Line().c_str());
        std::printf("%s, %ld letters over one session:\n", round.name, round.letters);
        Run ours, theirs;
        for (int i = 0; i < round.repeats; ++i) {
            Run mine = Ours(sink, port, round.letters);
            Run python_run = Smtplib(sink, python, script, port, round.letters, message);
            Print("Tarnwell", mine);
            Print("smtplib", python_run);
            if (mine.PerSecond() > ours.PerSecond() || i == 0) ours = mine;
            if (python_run.PerSecond() > theirs.PerSecond() || i == 0) theirs = python_run;
        }
        double ratio = ours.PerSecond() / theirs.PerSecond();
        if (round.delay_us == 0) {
            // DESIGN.md's targets: at least 1.2x smtplib's letters per second, under 0.75x its processor time
            // per letter.
            const double cpu_ratio = (ours.cpu / static_cast<double>(ours.letters)) /
                                     (theirs.cpu / static_cast<double>(theirs.letters));
            std::printf("  best runs: %.0f against %.0f letters/s, %.2fx smtplib (target at least 1.2x); "
                        "client CPU per letter %.2fx smtplib's (target under 0.75x)\n",
                        ours.PerSecond(), theirs.PerSecond(), ratio, cpu_ratio);
            met = met && ratio >= 1.2 && cpu_ratio < 0.75;
            bench::PrintFigure("letters over one session, against smtplib: letters per second",
                               bench::Text("%.2fx (%.0f against %.0f)", ratio, ours.PerSecond(), theirs.PerSecond()),
                               "at least 1.2x", bench::Verdict(ratio >= 1.2));
            bench::PrintFigure("letters over one session, against smtplib: client CPU per letter",
                               bench::Text("%.2fx (%.0f against %.0f us)", cpu_ratio, 1e6 * ours.cpu / ours.letters,
                                           1e6 * theirs.cpu / theirs.letters),
                               "under 0.75x", bench::Verdict(cpu_ratio < 0.75));
        } else {
            // Both clients now wait on the same server time; the ratio says little here.
            std::printf("  letters per second against smtplib: %.2fx\n", ratio);
            std::printf("  client CPU time: %.1f%% of wall\n", ours.CpuShare());
            bench::PrintFigure("letters to a server taking 500 us per reply: client CPU, share of wall",
                               bench::Text("%.1f%%", ours.CpuShare()));
        }
    }
    std::filesystem::remove(message);
    std::printf("%s\n", met ? "targets met" : "TARGET MISSED");
    return met ? 0 : 1;
}
