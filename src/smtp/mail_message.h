#pragma once

#include <string>
#include <vector>

namespace tarnwell {

// One mail message as the SMTP client sends it. Texts are Windows-1251 bytes: the body goes out as it is,
// header texts that are not plain ASCII as encoded words. The list entries are one recipient or one
// attachment path each, the body lines have no line ends.
struct TMailMessage {
    std::string FromName;
    std::string FromAddress;   // the From line and MAIL FROM
    std::string Subject;       // no Subject line when empty
    std::string LocalProgram;  // an X-Mailer line when not empty
    std::string Date;          // written as it is when not empty; else the moment the message is composed
    std::string ReplyTo;       // a Reply-To line when not empty
    std::vector<std::string> Attachments;
    std::vector<std::string> ToAddress;
    std::vector<std::string> ToCarbonCopy;
    std::vector<std::string> ToBlindCarbonCopy;  // never written into the header
    std::vector<std::string> Body;
};

// The bare address of a recipient entry: what stands in angle brackets ("Ivan <ivan@x.ru>"), else what
// follows a prefix and a colon ("SMTP:ivan@x.ru"), else the whole entry.
std::string ExtractAddress(const std::string& entry);

}  // namespace tarnwell
