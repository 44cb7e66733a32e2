#pragma once

#include <string>
#include <vector>

#include "form/control.h"
#include "grid/table_grid.h"
#include "grid/text_width.h"
#include "text/load_progress.h"
#include "viewer/file_list.h"

namespace tarnwell {

// The viewer page's browsing controls and how they are chained: the drive box (DriveCB1), the folder
// tree (CDirO), the file list (FLB1) and its file-type filter (FilterComboBox1). The window draws them
// and hands the user's choices in through the User... methods, which run the bound events like the other
// controls' user actions; the main window binds them to its handlers. Setting a control from code runs
// no handler.
class FileBrowser {
public:
    // DriveCB1's change, CDirO's change, FLB1's double click.
    NotifyEvent OnDriveChange;
    NotifyEvent OnFolderChange;
    NotifyEvent OnFileDoubleClick;
    // Whether the user can work the four controls (the main window locks them while a job runs); the
    // User... methods do nothing while it is false.
    bool Enabled = true;

    // --- The user's actions ---
    // A drive picked in the drive box: OnDriveChange when the selection changed.
    void UserSelectDrive(int index);
    // A folder picked in the tree: OnFolderChange when it differs from the folder open.
    void UserSelectFolder(const std::string& folder);
    // A click on the file list (no handler) and a double click (OnFileDoubleClick); -1 selects nothing.
    void UserSelectFile(int index) {
        if (Enabled) files_.SetItemIndex(index);
    }
    void UserDoubleClickFile(int index);
    // A filter picked: the file list takes its mask (no handler).
    void UserSelectFilter(int index) {
        if (Enabled) SetFilterIndex(index);
    }

    // The drive box on the drive of the current folder, the tree and the file list on the current
    // folder, the first filter.
    FileBrowser();

    // --- Drive box ---
    const std::vector<std::string>& Drives() const { return drives_; }
    // -1 when the current folder lies on no listed drive.
    int DriveIndex() const { return drive_index_; }
    // An index outside the drives selects none.
    void SetDriveIndex(int index);

    // --- Folder tree: the folder it has open ---
    const std::string& Folder() const { return folder_; }
    void SetFolder(const std::string& folder) { folder_ = folder; }

    // --- File list and its filter ---
    FileList& Files() { return files_; }
    const FileList& Files() const { return files_; }
    int FilterIndex() const { return filter_index_; }
    // Selects an item of kFileFilters; its mask becomes the file list's mask. Other indexes are ignored.
    void SetFilterIndex(int index);

    // --- Handlers ---
    // The drive box changed: the tree opens the chosen drive's root and reports it (CDirOChange).
    void DriveCB1Change();
    // The tree's folder changed: the file list shows it, and it becomes the current folder.
    void CDirOChange();
    // A double click on the file list: `current_file` (the text of ECurrentFile) becomes the selected
    // file's full path, empty when none is selected, and that file is shown in the grid (ToSG). The
    // text is set before the load is tried, so after a failed load it names the file that failed.
    void FLB1Click(std::string& current_file, TTableGrid& grid, LoadProgress& progress,
                   const TextWidthMeasure& measure = HeadlessTextWidth());

    // The start-up restore of the last viewed file: the file list is given the path (ApplyFilePath),
    // the tree opens the list's folder and the drive box moves to the tree's drive. Loading the file is
    // left to the caller.
    void ShowFilePath(const std::string& path);

private:
    // The file list comes first: the tree starts on the folder the list shows.
    FileList files_;
    std::vector<std::string> drives_;
    int drive_index_ = -1;
    std::string folder_;
    int filter_index_ = 0;
};

}  // namespace tarnwell
