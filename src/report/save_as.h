#pragma once

#include <string>
#include <string_view>

namespace tarnwell {

// The save-as dialog's type switch: its default extension "htm" saves the viewer table as the HTML page,
// any other value as an Excel workbook.
inline constexpr std::string_view kHtmlExt = "htm";
inline constexpr std::string_view kXlsExt = "xls";

// The extension of a file name: from its last dot after the last backslash, slash or colon, dot included;
// empty when there is none.
std::string_view FileExtension(std::string_view file_name);

// The file name the save dialog proposes: with the default extension "xls" the name ends in ".xls",
// otherwise in ".htm"; it is appended unless the name ends in exactly that already (byte for byte, so
// ".HTM" and ".html" get ".htm" appended).
std::string AddExt(std::string_view file_name, std::string_view default_ext);

// The default extension that a file type of the dialog (from 1) stands for: "htm" for type 1, else "xls".
std::string_view ExtForFileType(int file_type);

}  // namespace tarnwell
