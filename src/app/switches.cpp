#include "app/switches.h"

#include <array>
#include <utility>

namespace tarnwell {
namespace {

constexpr std::array<std::pair<std::string_view, Switch>, 4> kSwitches = {{
    {"/setlimit", Switch::SetLimit},
    {"/createhtml", Switch::CreateHtml},
    {"/sendhtml", Switch::SendHtml},
    {"/sendmail", Switch::SendMail},
}};

}  // namespace

std::optional<Switch> MatchSwitch(std::string_view argument) {
    for (const auto& [text, which] : kSwitches) {
        if (argument == text) return which;
    }
    return std::nullopt;
}

std::vector<std::string_view> SwitchTexts() {
    std::vector<std::string_view> texts;
    for (const auto& entry : kSwitches) texts.push_back(entry.first);
    return texts;
}

}  // namespace tarnwell
