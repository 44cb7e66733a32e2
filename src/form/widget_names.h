#pragma once

#include <string>
#include <string_view>

#include "form/control.h"
#include "text/cp1251_literal.h"

namespace tarnwell {

// The names of the widgets both windows make beside those of the controls (each carries its control's
// Name): the parts of a control, and the widgets that show no control of the form.

// A widget that shows a part of a control: the control's name, a dot and the part ("EHost.Label",
// "CSETochn.Arrows", "RG1.2", "ASGLimit.Editor").
std::string PartName(const Control& control, std::string_view part);
// The caption strip beside an edit, a spin edit or above a check list.
std::string LabelName(const Control& control);
// A radio group's item, from 0.
std::string ItemName(const Control& control, int index);
inline constexpr std::string_view kArrowsPart = "Arrows";  // a spin edit's up and down arrows
inline constexpr std::string_view kEditorPart = "Editor";  // a grid's in-place editor

// A widget that shows no control of the form: its name, and what assistive technology calls it (empty
// where what it shows names it).
struct WindowPart {
    std::string_view Name;
    std::string_view AccessibleName;  // Windows-1251
};

namespace window_parts {
using namespace literals;
inline constexpr WindowPart kMainWindow = {"FSend", ""};
inline constexpr WindowPart kNavigationColumn = {"NavColumn", ""};      // the column of the page buttons
inline constexpr WindowPart kNavigationScroller = {"NavScroller", ""};  // ... the part of it that scrolls
// The viewer's file browser (viewer/file_browser.h holds what they show).
inline constexpr WindowPart kDriveBox = {"DriveCB1", "Диск"_cp};
inline constexpr WindowPart kFolderTree = {"CDirO", "Папки"_cp};
inline constexpr WindowPart kFileList = {"FLB1", "Файлы"_cp};
inline constexpr WindowPart kFileFilter = {"FilterComboBox1", "Тип файлов"_cp};
inline constexpr WindowPart kColumnSplitter = {"Splitter1", ""};  // between the browser and the table
inline constexpr WindowPart kTreeSplitter = {"Splitter2", ""};    // between the folder tree and the file list
// The About page's picture.
inline constexpr WindowPart kPicture = {"Image1", "Рисунок"_cp};
// The limits grid's pop-up menu, whose items FormControls::LimitsMenu() gives.
inline constexpr WindowPart kLimitsMenu = {"PopupMenu1", ""};
}  // namespace window_parts

}  // namespace tarnwell
