#pragma once

#include <string>

namespace tarnwell {

// The process's current folder, which the program uses as the user's "here".
//
// The viewer's file list always shows the current folder, and choosing a folder there (the drive box,
// the folder tree, a path typed into the file name box) makes that folder the current one: FileList in
// viewer/file_list.h is the only code that sets it. So a relative name that the user gives anywhere
// else means "in the folder I am looking at", at the moment the name is used:
//   - the file to view (the last viewed file of the settings, the file name box),
//   - the service program that a restart runs (service_restart.h),
//   - the saved tables (the file names of the save dialogs; the dialogs leave the current folder alone),
//   - the files attached to letters.
// Some paths must not move with it and are made absolute once, when the program starts:
//   - the database file that TARNWELL_REGISTRY names (UserDatabaseLocation::FromEnvironment),
//   - the program's folder, with settings.ini and grid.tmp (ProgramFolder() read once into the
//     application's setup; ProgramFolder() itself follows a relative TARNWELL_HOME on every call).
// The report page's relative name ("Файл экспорта:") is taken from the program's folder instead, as the
// report button's hint promises (PathInFolder, text/program_folder.h).
// AbsolutePath (text/program_folder.h) is the one way to pin a path to the current folder of the moment.
//
// Paths here are the program's path bytes (files/native_path.h).

// The current folder as a full path; empty when the system cannot tell (the folder has been removed).
std::string CurrentFolder();

// Makes `folder` the current folder. False when it cannot be entered (missing, no folder, no right);
// the current folder stays as it was then.
bool SetCurrentFolder(const std::string& folder);

}  // namespace tarnwell
