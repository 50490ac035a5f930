// The state the main window owns for the whole run, as a plain struct so
// that core operations can take it by reference and be tested without a
// window. The field names are those the windows know them by.
#pragma once

#include <string>
#include <utility>

#include "core/Document.h"
#include "core/FileFormat.h"
#include "core/Messages.h"
#include "core/OneBased.h"
#include "core/Settings.h"
#include "core/Undo.h"

namespace cavel {

// The find and jump histories: slots 1..3, the newest first.
using History3 = OneBased<std::string, 3>;

struct MainState : HeldSettings {
  int ListWidthAtStart = 596;
  // Full path of the file shown (UTF-8, as the file system names it).
  std::string CurrentFileName;
  // The path the Document was loaded from or last created as; empty when the
  // Document came from no file. An open that is abandoned before the
  // Document is replaced puts CurrentFileName back to it.
  std::string DocumentFileName;
  Lines Document;
  // The format of the file the Document was loaded from: what an overwrite
  // save writes (Shift-JIS with CR LF for a Document from no file).
  FileFormat DocumentFormat;
  OneBased<std::string, 64> TitleItems{};
  OneBased<std::string, 64> LineItems{};
  int LineItemCount = 0;
  int CurrentLine = 0;
  std::string JumpText;
  History3 JumpHistory{"", "0", "", ""};
  std::string FindText;    // Shift-JIS bytes
  History3 FindHistory{};  // Shift-JIS bytes
  int NewFileMade = 0;
  int RecordSetupFailed = 0;
  int HistoryMenuBase = 5;
  // The folder of the file the user chose last in this run (a file dialog,
  // a recent file, a drop): where the next open dialog starts.
  std::string DialogFolder;
  std::string HistoryOpenName;
  int HistoryOpenFailed = 0;
  std::string BaseCaption{msg::kCaptionMain};
  int DocumentChanged = 0;
  int GridBuilt = 0;
  int GridWidthState = 0;
  // The changes made to the Document since it was loaded or created.
  UndoHistory Undo;
};

// The one step by which an editor's result becomes the Document: `lines`
// replace it whole, CurrentLine := currentLine and DocumentChanged := 1, so
// that the main window refreshes its views once the editor has closed. The
// lines are moved in; nothing is copied. The lines that changed are one step
// of the undo history (a result equal to the Document is none).
void CommitDocument(MainState& state, Lines lines, int currentLine);
// The same for a result that differs from the Document in one place only:
// `lines` replace the `count` lines from line `at`.
void CommitLines(MainState& state, std::size_t at, std::size_t count, Lines lines, int currentLine);

// Undo and redo of one step: the Document and CurrentLine as they were
// before the step (after it, for a redo), DocumentChanged := 1. False, and
// nothing changes, when there is no step to take.
bool UndoChange(MainState& state);
bool RedoChange(MainState& state);

}  // namespace cavel
