#include "settings/window_state.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <string_view>

#include "files/file_contents.h"
#include "settings/profile_file.h"
#include "text/int_text.h"
#include "text/program_folder.h"

namespace tarnwell {
namespace {

constexpr std::string_view kSection = "Window";
constexpr std::size_t kMaxFileSize = 64 * 1024;
constexpr int kMaxPixels = 100000;  // beyond any screen at any dpi
constexpr int kMaxSplitters = 16;

// A whole number within the bounds, or nothing (missing, not a number, out of range).
std::optional<int> Bounded(const ProfileFile& ini, std::string_view key, int low, int high) {
    const std::optional<std::string> text = ini.ReadString(kSection, key);
    if (!text) return std::nullopt;
    const std::optional<std::int32_t> value = TryStrToInt(*text);
    if (!value || *value < low || *value > high) return std::nullopt;
    return *value;
}

// "180,420": each a number within bounds; one bad part drops them all, since positions only make sense
// together.
std::vector<int> Splitters(const ProfileFile& ini) {
    const std::string text = ini.ReadString(kSection, "Splitters", "");
    std::vector<int> positions;
    std::size_t start = 0;
    while (!text.empty() && start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::optional<std::int32_t> value = TryStrToInt(std::string_view(text).substr(start, comma - start));
        if (!value || *value < 0 || *value > kMaxPixels || positions.size() == kMaxSplitters) return {};
        positions.push_back(*value);
        start = comma + 1;
    }
    return positions;
}

}  // namespace

std::string WindowStateFile(const std::string& folder) {
    return JoinPath(folder, "window.ini");
}

WindowState ReadWindowState(const std::string& folder) {
    WindowState state;
    std::string bytes;
    try {
        if (!ReadFileIfExists(WindowStateFile(folder), kMaxFileSize, bytes)) return state;
    } catch (const std::exception&) {
        return state;  // what the window remembers is a convenience: it opens at its designed size
    }
    const ProfileFile ini(bytes);
    const auto left = Bounded(ini, "Left", -kMaxPixels, kMaxPixels);
    const auto top = Bounded(ini, "Top", -kMaxPixels, kMaxPixels);
    const auto width = Bounded(ini, "Width", 1, kMaxPixels);
    const auto height = Bounded(ini, "Height", 1, kMaxPixels);
    if (left && top && width && height) state.geometry = WindowRect{*left, *top, *width, *height};
    state.dpi = Bounded(ini, "Dpi", 24, 960).value_or(96);
    state.maximized = Bounded(ini, "Maximized", 0, 1).value_or(0) == 1;
    state.splitters = Splitters(ini);
    state.sort_column = Bounded(ini, "SortColumn", -1, 255).value_or(-1);
    state.sort_descending = Bounded(ini, "SortDescending", 0, 1).value_or(0) == 1;
    return state;
}

void SaveWindowState(const WindowState& state, const std::string& folder) {
    ProfileFile ini;
    if (state.geometry) {
        ini.WriteInteger(kSection, "Left", state.geometry->left);
        ini.WriteInteger(kSection, "Top", state.geometry->top);
        ini.WriteInteger(kSection, "Width", state.geometry->width);
        ini.WriteInteger(kSection, "Height", state.geometry->height);
    }
    ini.WriteInteger(kSection, "Dpi", state.dpi);
    ini.WriteInteger(kSection, "Maximized", state.maximized ? 1 : 0);
    std::string splitters;
    for (int position : state.splitters) {
        if (!splitters.empty()) splitters += ',';
        splitters += IntToStr(position);
    }
    ini.WriteString(kSection, "Splitters", splitters);
    ini.WriteInteger(kSection, "SortColumn", state.sort_column);
    ini.WriteInteger(kSection, "SortDescending", state.sort_descending ? 1 : 0);
    ReplaceFileDurably(WindowStateFile(folder), ini.Bytes());
}

WindowRect KeepOnScreen(WindowRect window, const WindowRect& area) {
    window.width = std::clamp(window.width, 1, std::max(1, area.width));
    window.height = std::clamp(window.height, 1, std::max(1, area.height));
    window.left = std::clamp(window.left, area.left, area.left + area.width - window.width);
    window.top = std::clamp(window.top, area.top, area.top + area.height - window.height);
    return window;
}

WindowRect ScaleRect(const WindowRect& rect, int from_dpi, int to_dpi) {
    auto scale = [&](int value) {
        return static_cast<int>((static_cast<std::int64_t>(value) * to_dpi + from_dpi / 2) / from_dpi);
    };
    if (from_dpi <= 0 || to_dpi <= 0) return rect;
    return {scale(rect.left), scale(rect.top), scale(rect.width), scale(rect.height)};
}

}  // namespace tarnwell
