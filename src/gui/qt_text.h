#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace tarnwell {

// The one place where the window's texts cross between the program and Qt.
//
// The program's texts (captions, cells, settings, messages) are Windows-1251 bytes.
QString ToQString(std::string_view cp1251);
// Characters that Windows-1251 lacks become '?'.
std::string FromQString(const QString& text);

// Paths are the program's path bytes (see files/native_path.h): the file system's own bytes on Linux,
// Windows-1251 on Windows. The edits that hold a path (ECurrentFile, EHTMLPath) and the browser's folders
// and files go through these, so a Cyrillic folder name shows as it is named on disk.
QString PathToQString(std::string_view path);
std::string PathFromQString(const QString& path);

}  // namespace tarnwell
