#pragma once

#include <string>
#include <vector>

#include "grid/table_grid.h"
#include "grid/text_width.h"
#include "viewer/file_list.h"
#include "viewer/load_progress.h"

namespace tarnwell {

// The viewer page's browsing controls and how they are chained: the drive box (DriveCB1), the folder
// tree (CDirO), the file list (FLB1) and its file-type filter (FilterComboBox1). The window draws them;
// it writes the user's choice into the model (SetDriveIndex, SetFolder, the file list's SetItemIndex,
// SetFilterIndex) and then calls the handler of the control. Setting a control from code runs no
// handler.
class FileBrowser {
public:
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
