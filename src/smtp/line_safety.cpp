#include "smtp/line_safety.h"

#include <string>
#include <vector>

#include "text/error.h"

namespace tarnwell {
namespace {

void CheckListSafe(std::string_view field, const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) CheckLineSafe(field, entry);
}

}  // namespace

void CheckLineSafe(std::string_view field, std::string_view value) {
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
        throw Error("Invalid character (CR, LF or NUL) in " + std::string(field));
}

void CheckEnvelopeSafe(const TMailMessage& message) {
    CheckLineSafe("FromAddress", message.FromAddress);
    CheckListSafe("ToAddress", message.ToAddress);
    CheckListSafe("ToCarbonCopy", message.ToCarbonCopy);
    CheckListSafe("ToBlindCarbonCopy", message.ToBlindCarbonCopy);
}

void CheckHeaderSafe(const TMailMessage& message) {
    CheckLineSafe("FromName", message.FromName);
    CheckEnvelopeSafe(message);
    CheckLineSafe("Subject", message.Subject);
    CheckLineSafe("LocalProgram", message.LocalProgram);
    CheckLineSafe("Date", message.Date);
    CheckLineSafe("ReplyTo", message.ReplyTo);
    CheckListSafe("Attachments", message.Attachments);
}

}  // namespace tarnwell
