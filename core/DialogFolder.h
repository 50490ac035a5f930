// The folder a file dialog starts in, so that it opens where the user's
// files are rather than where the program was started.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/MainState.h"
#include "core/System.h"

namespace cavel {

// The folder part of a path ("/d/a.csv" -> "/d", "/a.csv" -> "/"); empty
// for a name without a folder.
std::string FolderOf(std::string_view path);

// Whether `path` names a folder (IsFolder, or a test's stand-in).
using FolderTest = std::function<bool(const std::string& path)>;

// Where an open dialog starts (the main window's and the merge window's,
// and the new file's save dialog): the folder last chosen in this run
// (DialogFolder); else the open file's folder; else the newest recent
// file's folder; else `home`. A candidate that is not a folder (any more)
// is passed over. Empty when none is.
std::string OpenDialogFolder(const MainState& s, const std::string& home, const FolderTest& isFolder = IsFolder);
// Where the save dialogs start: the open file's folder; else as the open dialog.
std::string SaveDialogFolder(const MainState& s, const std::string& home, const FolderTest& isFolder = IsFolder);

// Keeps the folder of a file the user chose, in a dialog or by opening it
// from the recent-file list or a drop, as DialogFolder for the run.
void RememberDialogFolder(MainState& s, std::string_view chosenPath);

}  // namespace cavel
