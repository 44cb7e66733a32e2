#include "viewer/file_browser.h"

#include <string>

#include "viewer/drives.h"
#include "viewer/file_filters.h"
#include "viewer/to_sg.h"

namespace tarnwell {

FileBrowser::FileBrowser() : drives_(ListDrives()), folder_(files_.Directory()) {
    drive_index_ = DriveIndexOf(folder_, drives_);
    files_.SetMask(std::string(kFileFilters[0].Mask));
}

void FileBrowser::SetDriveIndex(int index) {
    drive_index_ = index >= 0 && static_cast<std::size_t>(index) < drives_.size() ? index : -1;
}

void FileBrowser::SetFilterIndex(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= kFileFilters.size()) return;
    filter_index_ = index;
    files_.SetMask(std::string(kFileFilters[static_cast<std::size_t>(index)].Mask));
}

void FileBrowser::UserSelectDrive(int index) {
    if (!Enabled) return;
    const int before = drive_index_;
    SetDriveIndex(index);
    if (drive_index_ != before) Fire(OnDriveChange);
}

void FileBrowser::UserSelectFolder(const std::string& folder) {
    if (!Enabled || folder == folder_) return;
    folder_ = folder;
    Fire(OnFolderChange);
}

void FileBrowser::UserDoubleClickFile(int index) {
    if (!Enabled) return;
    files_.SetItemIndex(index);
    Fire(OnFileDoubleClick);
}

void FileBrowser::DriveCB1Change() {
    if (drive_index_ < 0) return;
    folder_ = drives_[static_cast<std::size_t>(drive_index_)];
    CDirOChange();
}

void FileBrowser::CDirOChange() {
    files_.ApplyFilePath(folder_);
}

void FileBrowser::FLB1Click(std::string& current_file, TTableGrid& grid, LoadProgress& progress,
                            const TextWidthMeasure& measure) {
    current_file = files_.FileName();
    ToSG(current_file, grid, progress, measure);
}

void FileBrowser::ShowFilePath(const std::string& path) {
    files_.ApplyFilePath(path);
    folder_ = files_.Directory();
    drive_index_ = DriveIndexOf(folder_, drives_);
}

}  // namespace tarnwell
