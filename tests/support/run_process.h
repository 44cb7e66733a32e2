#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarnwell::testing_support {

struct ProcessResult {
    int exit_status = -1;  // -1 when the process did not end normally, or its status cannot be known
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

// A program started and left running beside the test. Its standard input is a pipe that the test holds,
// so a program that reads it to its end ends when the test closes it; its standard output and error go
// to a file. Kill ends it at once, as a crash or a power cut would.
//
// Under Wine the program may be one of the host system's own (Debian's Python). Wine starts such a program
// with the file for its output, but hands it no pipe and gives the test no handle to it: it cannot be
// waited for or killed, and it ends in its own way (see the SMTP sink).
class RunningProcess {
public:
    RunningProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                   const std::filesystem::path& output_file, const EnvironmentChanges& environment = {});
    // Closes the input, waits a few seconds for the end and kills what still runs.
    ~RunningProcess();
    RunningProcess(const RunningProcess&) = delete;
    RunningProcess& operator=(const RunningProcess&) = delete;

    // Ends the process without letting it finish anything, and waits until it has.
    void Kill();
    // Closes the process's standard input and waits until it has ended; false when it did not in time.
    bool CloseInputAndWait(std::chrono::milliseconds limit);
    // Whether the process has ended (never, for a host program under Wine: that cannot be known).
    bool Ended();
    // What it wrote so far.
    std::string Output() const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace tarnwell::testing_support
