// The memory of grid column widths per file: 64 slots in the settings file,
// the most recently stored first.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/AtomicFile.h"
#include "core/Settings.h"

namespace cavel {

// Loads slots 1..64 from the file into s.ResumeFileName / s.ResumeColumNum and
// returns the first slot whose name contains `fileName` (0 when none).
int FindColumnWidths(const std::string& iniPath, std::string_view fileName, HeldSettings& s);
// Records `widths` (columns 0..n-1) for `fileName` as slot 1, moving the
// others as the memory's shift rules say, and writes all 128 keys. A name
// with a line break in it is not recorded (nothing is written).
WriteOutcome StoreColumnWidths(const std::string& iniPath, std::string_view fileName, const std::vector<int>& widths,
                               HeldSettings& s);
// "64,84,120": the widths joined by commas, no blanks, no trailing comma.
std::string WidthListText(const std::vector<int>& widths);
// The widest column a width list may give; a larger number ends the list.
inline constexpr int kMaxColumnWidth = 32767;
// The valid leading numbers of a width list: parsing ends at the first part
// that is not a decimal number (digits only: no sign, no blank), at a width
// above kMaxColumnWidth, and after `maxCount` numbers.
std::vector<int> ParseWidthList(std::string_view text, std::size_t maxCount);

// Whether a remembered name is the given file: the two names are equal, byte
// for byte; an empty name never matches. (A test for `name` occurring inside
// `stored` would hand the widths of /d/a.csv.bak to /d/a.csv and then
// overwrite that entry when a.csv's widths are stored.)
bool StoredNameMatches(std::string_view stored, std::string_view name);

}  // namespace cavel
