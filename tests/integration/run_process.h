#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tarnwell::testing_support {

struct ProcessResult {
    int exit_status = -1;  // -1 when the process did not end normally
    std::string out;       // standard output, as the process wrote it
    std::string err;       // standard error, as the process wrote it
};

// Environment changes for the child: a value sets the variable, nothing removes it. Everything else is
// inherited.
using EnvironmentChanges = std::map<std::string, std::optional<std::string>>;

// Runs the program with the arguments in the folder, standard input empty, and waits for it. A process that
// runs longer than the time limit is killed and fails the calling test.
ProcessResult RunProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                         const std::filesystem::path& working_folder, const EnvironmentChanges& environment,
                         std::chrono::seconds time_limit = std::chrono::seconds(60));

}  // namespace tarnwell::testing_support
