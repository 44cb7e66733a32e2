#include "support/temp_folder.h"

#include <fstream>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include <cstdint>
#include <cstdio>
#include <random>
#else
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>
#endif

namespace tarnwell::testing_support {
namespace fs = std::filesystem;

namespace {

fs::path MakeFolder() {
    const fs::path base = fs::temp_directory_path();
#ifndef _WIN32
    std::string pattern = (base / "tarnwell-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder in " + base.string() + ": " + std::strerror(errno));
    }
    return fs::path(name.data());
#else
    // No mkdtemp: a random name, taken only when create_directory made it (false: it stood there already).
    static std::mt19937_64 random{
        std::random_device{}() ^
        static_cast<std::uint64_t>(fs::file_time_type::clock::now().time_since_epoch().count())};
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "tarnwell-%016llx", static_cast<unsigned long long>(random()));
        fs::path candidate = base / name;
        if (fs::create_directory(candidate)) return candidate;
    }
    throw std::runtime_error("cannot make a temporary folder in " + base.string());
#endif
}

}  // namespace

TempFolder::TempFolder() : previous_(fs::current_path()), path_(MakeFolder()) {}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
    fs::remove_all(path_, ignored);
}

std::string TempFolder::File(std::string_view name) const {
    return (path_ / name).string();
}

fs::path TempFolder::Write(std::string_view name, std::string_view bytes) const {
    fs::path file = path_ / name;
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
    return file;
}

}  // namespace tarnwell::testing_support
