// The user database store on a 10,000-user registry export file (Version 5.00, UTF-16): reading every
// value of every account the way the statistics refresh does, and writing SendMail for all of them in one
// batch the way the settings writer does. Prints the median of several runs of each.

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/figure.h"
#include "common/generated_database.h"
#include "text/cp1251.h"
#include "wingate/reg_file_user_database.h"

using namespace tarnwell;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kUsers = 10000;
constexpr int kRuns = 15;

std::string MakeFile() {
    std::u16string text = u"Windows Registry Editor Version 5.00\r\n\r\n";
    const std::u16string db = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase";
    text += u"[" + db + u"]\r\n\r\n";
    auto dword = [](unsigned value) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "dword:%08x", value);
        return Cp1251ToUtf16(buffer);
    };
    for (int i = 0; i < kUsers; ++i) {
        text += u"[" + db + u"\\user" + Cp1251ToUtf16(std::to_string(i)) + u"]\r\n";
        text += u"\"Type\"=\"User\"\r\n";
        text += u"\"RealName\"=\"Пользователь номер " + Cp1251ToUtf16(std::to_string(i)) + u"\"\r\n";
        text += u"\"ClientSendTraffic\"=" + dword(1000003u * static_cast<unsigned>(i)) + u"\r\n";
        text += u"\"NonClientRecvTraffic\"=" + dword(1000033u * static_cast<unsigned>(i)) + u"\r\n";
        text += u"\"ClientRecvTraffic\"=" + dword(10007u * static_cast<unsigned>(i)) + u"\r\n";
        text += u"\"NonClientSendTraffic\"=" + dword(10009u * static_cast<unsigned>(i)) + u"\r\n";
        text += u"\"TimeOnLine\"=" + dword(3600u + static_cast<unsigned>(i)) + u"\r\n";
        text += u"\"OpeningBalanceLo\"=" + dword(10000000u) + u"\r\n";
        text += u"\"ClosingBalanceLo\"=" + dword(5000000u) + u"\r\n";
        if (i % 10 != 0) text += u"\"Limit\"=" + dword(10000000u) + u"\r\n";
        text += u"\"AccountEnabled\"=dword:00000001\r\n";
        if (i % 2 == 0) text += u"\"SendMail\"=dword:00000001\r\n";
        text += u"\"LastLogon\"=hex:01,02,03,04,05,06,07,08\r\n\r\n";
    }
    return bench::Version5FileBytes(text);
}

// Everything the statistics refresh reads, in its order.
long long ReadAll(const std::string& path) {
    RegFileUserDatabase db(path, {});
    long long sum = 0;
    for (const std::string& login : db.ListAccounts()) {
        db.OpenAccount(login);
        if (db.ReadText("Type") == "User") {
            sum += static_cast<long long>(db.ReadText("RealName").size());
            for (const char* name : {"ClientSendTraffic", "NonClientRecvTraffic", "ClientRecvTraffic",
                                     "NonClientSendTraffic", "TimeOnLine", "OpeningBalanceLo", "ClosingBalanceLo"}) {
                sum += db.ReadNumber(name);
            }
            if (db.HasValue("Limit")) sum += db.ReadNumber("Limit");
            if (db.HasValue("SendMail")) sum += db.ReadFlag("SendMail");
        }
        db.CloseAccount();
    }
    return sum;
}

void WriteSendMail(const std::string& path, bool flag) {
    RegFileUserDatabase db(path, {});
    for (int i = 0; i < kUsers; ++i) {
        if (db.OpenExistingAccount("user" + std::to_string(i))) db.WriteFlag("SendMail", flag);
        db.CloseAccount();
    }
    db.Flush();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Wall time and this process's processor time (user and system), both in milliseconds. On a shared
// machine the second shows the work itself when other processes hold the cores.
struct Stamp {
    Clock::time_point wall;
    double cpu;
};

Stamp Now() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return {Clock::now(), static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6};
}

struct Series {
    std::vector<double> wall, cpu;
    void Add(const Stamp& from, const Stamp& to) {
        wall.push_back(std::chrono::duration<double, std::milli>(to.wall - from.wall).count());
        cpu.push_back(to.cpu - from.cpu);
    }
    void Print(const char* what) const {
        std::printf("  %-50s %7.1f ms wall %7.1f ms cpu\n", what, Median(wall), Median(cpu));
        bench::PrintFigure(std::string("registry export file, 10,000 users: ") + what,
                           bench::Text("%.1f ms (processor %.1f ms)", Median(wall), Median(cpu)));
    }
};

}  // namespace

int main() {
    auto folder = std::filesystem::temp_directory_path() / "tarnwell-bench-wingate";
    std::filesystem::create_directories(folder);
    std::string path = (folder / "registry.reg").string();
    std::string bytes = MakeFile();
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));

    Series parse, read, write;
    long long check = 0;
    for (int run = 0; run < kRuns; ++run) {
        std::string file_bytes;
        {
            std::ifstream in(path, std::ios::binary);
            file_bytes.assign(std::istreambuf_iterator<char>(in), {});
        }
        Stamp t0 = Now();
        RegDocument doc = RegDocument::Parse(file_bytes, path);
        Stamp t1 = Now();
        parse.Add(t0, t1);

        t0 = Now();
        check += ReadAll(path);
        t1 = Now();
        read.Add(t0, t1);

        t0 = Now();
        WriteSendMail(path, run % 2 == 0);  // alternate, so that every run really changes the file
        t1 = Now();
        write.Add(t0, t1);
    }
    std::filesystem::remove_all(folder);

    std::printf("wingate: %d users, %.1f MB Version 5.00 file, median of %d runs (checksum %lld)\n", kUsers,
                static_cast<double>(bytes.size()) / 1e6, kRuns, check);
    parse.Print("parse only (bytes in memory)");
    read.Print("read every value (file read, parse, reads)");
    write.Print("SendMail for all, one batch (read, write, flush)");
    return 0;
}
