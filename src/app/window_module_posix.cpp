#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ostream>

#include "app/window_module.h"
#include "text/program_folder.h"

namespace tarnwell {
namespace {

bool EnvSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Asks the X server named by DISPLAY whether it answers, through the X client library that the toolkit's
// own platform loads anyway (so no toolkit is loaded for the question).
bool XDisplayAnswers() {
    void* xcb = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL);
    if (!xcb) return false;
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
    auto has_error = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
    auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
    bool answers = false;
    if (connect && has_error && disconnect) {
        void* connection = connect(nullptr, nullptr);
        answers = connection && has_error(connection) == 0;
        if (connection) disconnect(connection);
    }
    dlclose(xcb);
    return answers;
}

bool IsFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void WithoutWindow(std::ostream& err, const std::string& why) {
    err << "Tarnwell: " << why << "; программа работает без окна\n" << std::flush;
}

}  // namespace

DisplayFound FindDisplay() {
    if (EnvSet("QT_QPA_PLATFORM")) return DisplayFound::kPlatformNamed;
    if (EnvSet("DISPLAY") && XDisplayAnswers()) return DisplayFound::kX;
    if (EnvSet("WAYLAND_DISPLAY")) return DisplayFound::kWaylandOnly;
    return DisplayFound::kNone;
}

std::string ModuleBesideProgram(std::string_view executable_folder, std::string_view module_name) {
    return JoinPath(executable_folder, module_name);
}

std::string ModuleInstalled(std::string_view executable_folder, std::string_view module_name) {
    return JoinPath(JoinPath(JoinPath(ParentFolder(executable_folder), "lib"), "tarnwell"), module_name);
}

std::optional<int> RunWindowModule(std::string_view module_name, int& argc, char** argv,
                                   const std::optional<std::string>& first_argument, std::ostream& err) {
    const DisplayFound display = FindDisplay();
    if (display == DisplayFound::kNone) return std::nullopt;

    const std::string folder = ExecutableFolder();
    std::string path = ModuleBesideProgram(folder, module_name);
    if (!IsFile(path)) path = ModuleInstalled(folder, module_name);
    if (!IsFile(path)) {
        WithoutWindow(err, "модуль окна не найден ни рядом с программой (" + ModuleBesideProgram(folder, module_name) +
                               "), ни в " + path);
        return std::nullopt;
    }
    // Loaded for good: the toolkit it brings stays until the process ends.
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* reason = dlerror();
        WithoutWindow(err, "модуль окна " + path + " не загружается: " + (reason ? reason : "неизвестная ошибка"));
        return std::nullopt;
    }
    auto entry = reinterpret_cast<WindowModuleEntry>(dlsym(module, kWindowModuleEntry));
    if (!entry) {
        WithoutWindow(err, "модуль окна " + path + " от другой сборки программы: в нём нет " +
                               std::string(kWindowModuleEntry));
        return std::nullopt;
    }
    const int status = entry(&argc, argv, first_argument ? first_argument->data() : nullptr,
                             first_argument ? first_argument->size() : 0, display == DisplayFound::kWaylandOnly);
    if (status == kNoWindowAfterAll) return std::nullopt;
    return status;
}

}  // namespace tarnwell
