// The command line on any bytes. As a Windows command tail: splitting ends, an argument holds no quote and
// is never empty, and the arguments joined again (quoted where they hold a separator) split back into the
// same arguments. As the arguments of a Linux process (the input split at NUL bytes): the switch the
// program runs is the one its first argument names byte for byte, whatever quotes or blanks it holds.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/switches.h"
#include "fuzz_check.h"

namespace tarnwell::fuzzing {
namespace {

std::vector<std::string> SplitAll(std::string_view tail) {
    std::vector<std::string> args;
    const std::size_t most = tail.size() + 1;
    for (std::size_t rounds = 0;; ++rounds) {
        Require(rounds <= most, "splitting ends");
        const std::size_t before = tail.size();
        std::string arg = NextArgument(tail);
        if (arg.empty()) return args;
        Require(tail.size() < before, "an argument takes bytes off the tail");
        args.push_back(std::move(arg));
    }
}

bool HoldsSeparator(const std::string& arg) {
    for (char c : arg) {
        if (static_cast<unsigned char>(c) <= ' ') return true;
    }
    return false;
}

}  // namespace
}  // namespace tarnwell::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwell;
    using namespace tarnwell::fuzzing;
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const std::vector<std::string> args = SplitAll(input);
    std::string joined;
    for (const std::string& arg : args) {
        Require(arg.find('"') == std::string::npos, "an argument holds no quote");
        if (!joined.empty()) joined += ' ';
        joined += HoldsSeparator(arg) ? "\"" + arg + "\"" : arg;
    }
    Require(SplitAll(joined) == args, "joined arguments split back into the same arguments");
    Require(FirstArgument(input) == (args.empty() ? std::nullopt : std::optional<std::string>(args.front())),
            "the first argument is the first one split");

#ifndef _WIN32
    std::vector<std::string> argv_text = {"tarnwell"};
    for (std::size_t from = 0;;) {
        const std::size_t nul = input.find('\0', from);
        argv_text.emplace_back(input.substr(from, nul == std::string_view::npos ? std::string_view::npos : nul - from));
        if (nul == std::string_view::npos) break;
        from = nul + 1;
    }
    std::vector<const char*> argv;
    for (const std::string& a : argv_text) argv.push_back(a.c_str());
    const std::optional<std::string> first = FirstCommandArgument(static_cast<int>(argv.size()), argv.data());
    Require(MatchSwitch(first.value_or("")) == MatchSwitch(argv_text[1]),
            "on Linux the switch is the one the first argument names byte for byte");
#endif
    return 0;
}
