#pragma once

// A generated WinGate user database in the REGEDIT4 export format, for the benchmarks: `users` accounts
// of type User with a Russian full name, the seven counters and balances, a Limit for two thirds of them,
// optionally SendMail 0 for every fifth and AccountEnabled 0 for every seventh, and the service key.

#include <cstdio>
#include <string>
#include <string_view>

#include "text/cp1251.h"

namespace tarnwell::bench {

inline std::string GeneratedDatabase(int users, bool with_flags) {
    const std::string db = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase";
    const std::string real_name = Utf8ToCp1251("Пользователь ");
    static const char* const kNames[] = {"ClientSendTraffic", "NonClientRecvTraffic", "ClientRecvTraffic",
                                         "NonClientSendTraffic", "TimeOnLine", "OpeningBalanceLo",
                                         "ClosingBalanceLo"};
    std::string text = "REGEDIT4\r\n\r\n[" + db + "]\r\n\r\n";
    char line[128];
    for (int i = 0; i < users; ++i) {
        text += "[" + db + "\\user" + std::to_string(i) + "]\r\n\"Type\"=\"User\"\r\n";
        text += "\"RealName\"=\"" + real_name + std::to_string(i) + "\"\r\n";
        for (int n = 0; n < 7; ++n) {
            unsigned value = static_cast<unsigned>(i) * 7919u * static_cast<unsigned>(n + 1) % 2000000000u;
            std::snprintf(line, sizeof line, "\"%s\"=dword:%08x\r\n", kNames[n], value);
            text += line;
        }
        if (i % 3 != 0) text += "\"Limit\"=dword:00030d40\r\n";
        if (with_flags && i % 5 == 0) text += "\"SendMail\"=dword:00000000\r\n";
        if (with_flags && i % 7 == 0) text += "\"AccountEnabled\"=dword:00000000\r\n";
        text += "\r\n";
    }
    text +=
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\WinGateEngine]\r\n"
        "\"ImagePath\"=\"C:\\\\WinGate\\\\WinGate.exe\"\r\n\r\n";
    return text;
}

// A text as the bytes of a Version 5.00 file: the byte order mark, then the units in little-endian order.
inline std::string Version5FileBytes(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    bytes.reserve(2 + 2 * text.size());
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

}  // namespace tarnwell::bench
