// The state the main window owns for the whole run, as a plain struct so
// that core operations can take it by reference and be tested without a
// window. The field names are those the windows know them by.
//
// Below it, every way the Document changes: adopted whole (start-up, a
// load, a new file, the end of the run), committed by an editor, undone
// and redone.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "core/CsvLoader.h"
#include "core/Dialogs.h"
#include "core/Document.h"
#include "core/FileFormat.h"
#include "core/Messages.h"
#include "core/OneBased.h"
#include "core/Settings.h"
#include "core/Undo.h"

namespace cavel {

// The four roads by which a file reaches the main window.
enum class OpenPath { CommandLine, Dialog, Recent, Drop };

// The scan-stage item limit of a road: kItemLimitWide for the command line
// and the open dialog, kItemLimitNarrow for a recent file and a drop.
int ItemLimitOf(OpenPath path);

// How a Document became the main window's, or stopped being it.
enum class Adoption {
  Start,     // the empty Document of start-up
  Loaded,    // a file read whole
  Refused,   // a load the checks refused: no Document
  Created,   // a new file's title line
  Released,  // the end of the run
};

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
  // Where the last commit, undo or redo changed the Document, so that the
  // views can show just those lines (empty after an adoption).
  LinesDiff LastChange;
  // Told when the grid starts afresh (StartGridAfresh), so that the view
  // puts its cursor back on row 1.
  std::function<void()> GridStartedAfresh;
};

// ---- the Document's lifecycle ----------------------------------------------------

// The one place a Document is adopted: `lines` become the Document,
// DocumentFileName := `path`, DocumentFormat := `format` (the format a save
// writes it in), and the undo history starts afresh. A start
// and a load also start the grid afresh (StartGridAfresh); a new file, whose
// command did that before its window opened, sets DocumentChanged := 1 (the
// list has yet to show it) and CurrentLine := 0. A refused load and the end
// of the run leave the grid's state and the flag alone.
void AdoptDocument(MainState& state, Lines lines, const std::string& path, Adoption how,
                   FileFormat format = kShiftJisCrLf);

// The grid starts afresh for the Document to come: GridBuilt := 0,
// GridWidthState := 0, DocumentChanged := 0, and GridStartedAfresh is told.
void StartGridAfresh(MainState& state);

// An open abandoned before the Document was replaced: CurrentFileName
// names the Document's file again.
void AbandonOpen(MainState& state);

// Loads CurrentFileName by the road's rules (its item limit) and adopts what
// came of it: the file (Loaded) or no Document (Refused). A file that
// cannot be read is reported and the open abandoned (Unreadable). `choice`
// reads the file in an encoding the user chose (reopening it).
LoadResult LoadDocument(MainState& state, OpenPath path, Dialogs& dialogs,
                        EncodingChoice choice = EncodingChoice::Detect);

// ---- changes to the Document -------------------------------------------------------

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
// Undo as the menu asks it: UndoChange, and when no step is left but older
// ones were dropped for the history's bounds, "これより前の変更は..." once
// (information, OK).
bool UndoChange(MainState& state, Dialogs& dialogs);

}  // namespace cavel
