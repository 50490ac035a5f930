// Merging the lines of a second file into the Document as one block, before
// or after the current line.
//
// The merge window reads the second file with ReadMergeFile into its own
// MergeLines and shows them; its two insert buttons call InsertBefore or
// InsertAfter and then close the window whatever the outcome.
#pragma once

#include <string>

#include "core/CsvLoader.h"
#include "core/Dialogs.h"
#include "core/Document.h"
#include "core/MainState.h"

namespace cavel {

// Inserts every line of `mergeLines` before Document line CurrentLine
// (CurrentLine then moves on by the block's size, staying on its line) or
// after it (CurrentLine kept), and sets DocumentChanged := 1. An empty
// Document takes the block as the whole Document, with line 0 current.
// More lines in all than the line limit in force (ReadLimitLines): the
// line-limit message naming it, nothing changes, false.
bool InsertBefore(MainState& state, const Lines& mergeLines, Dialogs& dialogs);
bool InsertAfter(MainState& state, const Lines& mergeLines, Dialogs& dialogs);

enum class MergeReadResult {
  Missing,     // no such file: reported; MergeLines untouched
  Loaded,      // MergeLines holds the file
  Refused,     // a line check failed (its messages shown); MergeLines empty
  Unreadable,  // the file could not be read: reported; MergeLines empty
};

using LoadFunction = LoadOutcome (*)(const std::string& path, const LoadRules& rules, Dialogs& dialogs,
                                     Lines& destination);

// Reads the second file at `path` with the loader's rules (scan-stage item
// limit 64, the line limit `lineLimit`, its own first line as the title line, its format found from its
// bytes and its lines converted to Shift-JIS) into `mergeLines`. Nothing of
// the main window's state is touched. `load` is the loader; tests hand in
// their own.
MergeReadResult ReadMergeFile(const std::string& path, std::size_t lineLimit, Dialogs& dialogs, Lines& mergeLines,
                              LoadFunction load = CsvLoader);

}  // namespace cavel
