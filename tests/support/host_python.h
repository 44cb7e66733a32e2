#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/run_process.h"

namespace tarnwell::testing_support {

// Debian's Python, for the tests that read the program's output back with readers of their own (xlrd,
// Python's email package) or talk to a real SMTP server (aiosmtpd). On Linux it is the Python the build
// found. The Windows tests run under Wine on the machine that built them, and Wine starts a program of
// that machine as what it is: there it is the same Python, and the paths it is given are the machine's own.
// Empty where there is none (Windows proper): such tests skip themselves.
std::filesystem::path HostPython();

// The path as the host's Python sees it: the same path on Linux, the Unix path of the file under Wine.
std::string HostPath(const std::filesystem::path& path);

// A file of the source tree, as the host's Python finds it.
std::string SourceFile(std::string_view relative);

// Runs the host's Python with the arguments (files in them as HostPath and SourceFile give them) in the
// current folder, and waits for it.
ProcessResult RunHostPython(const std::vector<std::string>& arguments);

}  // namespace tarnwell::testing_support
