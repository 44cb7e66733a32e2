#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace tarnwell {

// A fresh folder under the system's temporary folder, removed with everything in it at the end. The
// process's current folder is put back as it was first, since the code under test moves it and a
// folder in use cannot be removed on Windows.
class TempFolder {
public:
    TempFolder() : previous_(std::filesystem::current_path()) {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("tarnwell_viewer_" + std::to_string(random()) + "_" + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Writes the bytes to the file `name` inside the folder (folders on the way are made) and returns
    // its full path.
    std::filesystem::path Write(const std::string& name, std::string_view bytes) const {
        std::filesystem::path file = path_ / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file;
    }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

}  // namespace tarnwell
