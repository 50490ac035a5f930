// Paths as the program keeps them, and the name a save writes to.
#pragma once

#include <string>

#include "core/Dialogs.h"

namespace cavel {

// The path made absolute the way the system reads it: a relative path gets
// the working folder in front. "." parts and doubled "/" go; ".." stays,
// since behind a symbolic link "a/.." is not the folder holding "a". An
// empty path stays empty, and so does the path when the working folder is
// unknown.
std::string AbsolutePath(const std::string& path);

// The path chosen in a save dialog, with ".CSV" appended when the whole path
// (folders included) holds no "." and the user answers はい(&Y) to the
// extension question; otherwise the path unchanged, without a question.
std::string WithCsvExtension(const std::string& chosen, Dialogs& dialogs);

}  // namespace cavel
