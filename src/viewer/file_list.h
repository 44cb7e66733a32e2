#pragma once

#include <string>
#include <vector>

namespace tarnwell {

// The viewer's file list: the files of one folder that match a mask, sorted by name, with at most one
// selected. The folder it shows is always the process's current folder, so relative file names used
// elsewhere in the program resolve against the folder last shown here (files/current_folder.h).
class FileList {
public:
    // Shows the current folder with the mask "*.*" and nothing selected.
    FileList();

    // The folder shown, as a full path.
    const std::string& Directory() const { return directory_; }
    // Shows the folder, which becomes the process's current folder; the selection is dropped. Throws
    // EFileListError "Cannot find folder <folder>" when that fails; nothing changes then.
    void SetDirectory(const std::string& folder);

    const std::string& Mask() const { return mask_; }
    // Lists the folder again through the new mask; the selected file stays selected if it is still listed.
    void SetMask(const std::string& mask);

    // Reads the folder again; the selected file stays selected if it is still listed.
    void Update();

    // Names of the listed files, without folder.
    const std::vector<std::string>& Items() const { return items_; }
    // Index of the selected item, -1 when none is.
    int ItemIndex() const { return item_index_; }
    // An index outside the items selects nothing.
    void SetItemIndex(int index);

    // The selected file as a full path: the folder, a separator unless the folder ends in one, and the
    // name. Empty when nothing is selected.
    std::string FileName() const;

    // Shows what a path names. A folder: that folder is shown. A folder and a mask ("logs/*.log"): the
    // folder is shown through the mask. A folder and a file ("logs/wg.log"): the folder is shown and the
    // file selected; when the mask would hide the file, the mask becomes "*.*". A path without folder is
    // taken in the current folder. Throws EFileListError "Cannot find folder <path>" or "Cannot find file
    // <path>" when the folder or file does not exist; nothing changes then. An empty path changes nothing.
    void ApplyFilePath(const std::string& path);

private:
    void Select(const std::string& name);

    std::string directory_;
    std::string mask_ = "*.*";
    std::vector<std::string> items_;
    int item_index_ = -1;
};

}  // namespace tarnwell
