#pragma once

#include <array>
#include <string_view>
#include <utility>

#include "form/form_controls.h"

namespace tarnwell::settings_keys {

// Sections of settings.ini and the keys of each, in the order they are read and written.

inline constexpr std::string_view kMail = "mail";
inline constexpr std::string_view kSet = "set";
inline constexpr std::string_view kAutoRun = "AutoRun";
inline constexpr std::string_view kTableStat = "TableStat";
inline constexpr std::string_view kTableHTML = "TableHTML";
inline constexpr std::string_view kOpt = "opt";
inline constexpr std::string_view kMCont = "MCont";

// Items of ChLBRun.
inline constexpr std::array<std::string_view, 3> kAutoRunKeys = {"HTML", "Mail", "MailTable"};

// Items of ChLBTable (section TableStat) and ChLBHTML (section TableHTML): the statistics columns.
inline constexpr std::array<std::string_view, 11> kColumnKeys = {"Send",
                                                                 "Login",
                                                                 "FullName",
                                                                 "ClientSendTraffic",
                                                                 "NonClientRecvTraffic",
                                                                 "ClientRecvTraffic",
                                                                 "NonClientSendTraffic",
                                                                 "TimeOnLine",
                                                                 "OpeningBalance",
                                                                 "ClosingBalance",
                                                                 "Korvex"};

// Items of ChLBCont.
inline constexpr std::array<std::string_view, 8> kLetterKeys = {"ClientSend", "ServerRecv", "ClientRecv", "ServerSend",
                                                                "Time",       "Opening",    "Closing",    "Limit"};

// Section mail: each key with the edit that holds it.
inline std::array<std::pair<std::string_view, Edit*>, 9> MailEdits(FormControls& f) {
    return {{{"FromName", &f.EFromName},
             {"FromAddress", &f.EFromAddress},
             {"Subject", &f.ESubject},
             {"UserID", &f.EUserID},
             {"Domain", &f.EDomain},
             {"SGToUser", &f.ESGToUser},
             {"Host", &f.EHost},
             {"Port", &f.EPort},
             {"HTMLPath", &f.EHTMLPath}}};
}

// Section set: the file last shown in the viewer (ECurrentFile).
inline constexpr std::string_view kLastPath = "LastPath";

// Section opt.
inline constexpr std::string_view kAutoClose = "AutoClose";    // ChLBOther item 0
inline constexpr std::string_view kAutoSave = "AutoSave";      // ChLBOther item 1
inline constexpr std::string_view kNormKB = "NormKB";          // RGkb: 1 for "1кб. = 1000 б."
inline constexpr std::string_view kRazmernost = "Razmernost";  // RG1, the display unit
inline constexpr std::string_view kTochnost = "Tochnost";      // CSETochn, the precision
inline constexpr std::string_view kDefaultLim = "DefaultLim";  // SEDefault, the default limit

// Section mail, the keys of the protected session; missing, they give the plain session of old.
inline constexpr std::string_view kSecurity = "Security";  // 0 none, 1 STARTTLS, 2 TLS; RGSecurity
inline constexpr std::string_view kPassword = "Password";  // EPassword, stored as password_store.h says
inline constexpr std::string_view kCAFile = "CAFile";      // ECAFile

}  // namespace tarnwell::settings_keys
