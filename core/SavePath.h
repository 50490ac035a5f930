// The name a save writes to, shared by the new file window and save-as.
#pragma once

#include <string>

#include "core/Dialogs.h"

namespace cavel {

// The path chosen in a save dialog, with ".CSV" appended when the whole path
// (folders included) holds no "." and the user answers はい(&Y) to the
// extension question; otherwise the path unchanged, without a question.
std::string WithCsvExtension(const std::string& chosen, Dialogs& dialogs);

}  // namespace cavel
