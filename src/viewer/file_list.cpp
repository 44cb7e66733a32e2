#include "viewer/file_list.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "files/current_folder.h"
#include "files/native_path.h"
#include "text/message.h"
#include "text/program_folder.h"
#include "viewer/file_list_error.h"
#include "viewer/file_mask.h"

namespace tarnwell {
namespace fs = std::filesystem;
namespace {

char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualFolded(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

// Alphabetical without regard to Latin case; names equal so compare by their bytes.
bool NameLess(const std::string& a, const std::string& b) {
    auto folded_less = [](char x, char y) {
        return static_cast<unsigned char>(FoldCase(x)) < static_cast<unsigned char>(FoldCase(y));
    };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), folded_less)) return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), folded_less)) return false;
    return a < b;
}

bool HasWildcard(std::string_view name) {
    return name.find_first_of("*?") != std::string_view::npos;
}

}  // namespace

FileList::FileList() : directory_(CurrentFolder()) {
    Update();
}

void FileList::SetDirectory(const std::string& folder) {
    std::error_code error;
    fs::path native = NativePath(folder);
    if (folder.empty() || !fs::is_directory(native, error)) {
        throw EFileListError(FormatMsg("Cannot find folder %s", {folder}));
    }
    if (!SetCurrentFolder(folder)) throw EFileListError(FormatMsg("Cannot find folder %s", {folder}));
    const std::string current = CurrentFolder();
    directory_ = current.empty() ? folder : current;
    item_index_ = -1;
    Update();
}

void FileList::SetMask(const std::string& mask) {
    mask_ = mask;
    Update();
}

void FileList::Update() {
    std::string selected = item_index_ >= 0 ? items_[static_cast<std::size_t>(item_index_)] : std::string();
    items_.clear();
    item_index_ = -1;
    std::error_code error;
    fs::directory_iterator it(NativePath(directory_), fs::directory_options::skip_permission_denied, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        std::error_code kind_error;
        if (!it->is_regular_file(kind_error)) continue;
        std::string name = FromNativePath(it->path().filename());
        if (MatchesMask(name, mask_)) items_.push_back(std::move(name));
    }
    std::sort(items_.begin(), items_.end(), NameLess);
    if (!selected.empty()) Select(selected);
}

void FileList::SetItemIndex(int index) {
    item_index_ = index >= 0 && static_cast<std::size_t>(index) < items_.size() ? index : -1;
}

std::string FileList::FileName() const {
    if (item_index_ < 0) return std::string();
    return JoinPath(directory_, items_[static_cast<std::size_t>(item_index_)]);
}

void FileList::Select(const std::string& name) {
    auto exact = std::find(items_.begin(), items_.end(), name);
    if (exact == items_.end()) {
        exact = std::find_if(items_.begin(), items_.end(),
                             [&](const std::string& item) { return EqualFolded(item, name); });
    }
    item_index_ = exact == items_.end() ? -1 : static_cast<int>(exact - items_.begin());
}

void FileList::ApplyFilePath(const std::string& path) {
    if (path.empty()) return;
    fs::path native = NativePath(path);
    std::error_code error;
    if (fs::is_directory(native, error)) {
        SetDirectory(path);
        return;
    }
    const std::string folder = native.has_parent_path() ? FromNativePath(native.parent_path()) : std::string(".");
    const std::string name = FromNativePath(native.filename());
    if (HasWildcard(name)) {
        SetDirectory(folder);
        SetMask(name);
        return;
    }
    if (!fs::is_directory(NativePath(folder), error))
        throw EFileListError(FormatMsg("Cannot find folder %s", {folder}));
    if (name.empty() || !fs::is_regular_file(native, error)) {
        throw EFileListError(FormatMsg("Cannot find file %s", {path}));
    }
    SetDirectory(folder);
    if (!MatchesMask(name, mask_)) SetMask("*.*");
    Select(name);
}

}  // namespace tarnwell
