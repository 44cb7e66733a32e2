#pragma once

#include <sstream>
#include <string>

namespace tarnwell::testing_support {

// The arguments of the service stand-in's runs, one a line, from its log (tests/data/app/service.sh and
// tests/integration/service_stub.cpp note each run's argument and time).
inline std::string ServiceRunArguments(const std::string& log) {
    std::istringstream lines(log);
    std::string arguments;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        arguments += line.substr(0, line.find(' ')) + "\n";
    }
    return arguments;
}

}  // namespace tarnwell::testing_support
