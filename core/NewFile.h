// A new file made of up to 64 item titles: its one line is the title line,
// written to disk and made the whole Document.
//
// The window's save runs, in order: BuildTitleLine (NothingSet keeps the
// window open, TooLong and Faulty as the result says), its save dialog
// (cancel keeps the window open), WithCsvExtension (core/SavePath.h), then
// CreateNewFile; on success it sets the main window's controls and closes.
#pragma once

#include <span>
#include <string>

#include "core/Dialogs.h"
#include "core/MainState.h"

namespace cavel {

inline constexpr int kTitleBoxes = 64;

enum class TitleLineResult {
  Built,       // `line` holds the title line
  NothingSet,  // the first box is empty: refused, the window stays open
  TooLong,     // more than 8192 bytes: refused, the window closes
  Faulty,      // the line fails the loader's checks (messages shown): the window stays open
};

// Joins the titles (Shift-JIS bytes, box 1 first) by commas, up to the first
// empty box; boxes after it are ignored, and so is anything past 64. The
// line must be one the loader accepts as a title line: at most 8192 bytes,
// and the comma, quote, item-count and item-length checks (they name line 0).
TitleLineResult BuildTitleLine(std::span<const std::string> titles, Dialogs& dialogs, std::string& line);

// Writes `titleLine` with CR LF as the file `path` (replacing any file of
// that name), then adopts it as the Document's only line (AdoptDocument,
// Created: DocumentFileName := path, CurrentLine := 0, DocumentChanged :=
// 1, the undo history and the grid's state start anew); CurrentFileName :=
// path, NewFileMade := 1. A write that fails is reported and changes nothing.
bool CreateNewFile(MainState& state, const std::string& path, const std::string& titleLine, Dialogs& dialogs);

}  // namespace cavel
