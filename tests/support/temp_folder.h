#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarnwell::testing_support {

// A folder of one test's own under the system's temporary folder, removed with everything in it at the
// end. Its name is made by the system where it can (mkdtemp) and is otherwise a random one that is created
// only if nothing stands there yet, so two test processes, or two runs of the same suite at once, never
// share a folder. On POSIX systems it is readable by its owner alone.
//
// The process's current folder is put back as it was when the folder was made, before the folder is
// removed: code under test moves it, and a folder in use cannot be removed on Windows.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder stands for its path wherever one is taken.
    operator const std::filesystem::path&() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

    // The path of `name` inside the folder as the program's functions take it.
    std::string File(std::string_view name) const;

    // Writes the bytes to the file `name` inside the folder (folders on the way are made) and returns its
    // path.
    std::filesystem::path Write(std::string_view name, std::string_view bytes) const;

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

}  // namespace tarnwell::testing_support
