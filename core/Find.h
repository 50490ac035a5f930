// Find, find again and jump over the lines of the Document, with their
// dialogs' decisions and histories.
//
// The commands move the list's selection; the window selects the row they
// return and, when GridShowsFile (core/GridFill.h), moves the grid's cursor to
// row + 1. Find texts are Shift-JIS bytes (the window encodes the combo
// box's text); jump texts are the typed digits.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/Dialogs.h"
#include "core/Document.h"
#include "core/MainState.h"

namespace cavel {

inline constexpr int kJumpMax = 32767;        // a remembered entry beyond this (and the limit) jumps nowhere
// What the combo boxes accept: the find text in Shift-JIS bytes (a window
// whose edit box counts characters checks the encoded length), the jump
// text in characters.
inline constexpr std::size_t kFindTextBytes = 64;
inline constexpr int kJumpTextChars = 5;

// A dialog's combo box as it opens.
struct ComboSetup {
  std::string text;                  // the edit text
  std::array<std::string, 3> items;  // the drop-down list, newest first, empty entries included
};

// The first row at or after `from` (a negative `from` counts as 0) whose line
// holds `text` as exact bytes starting on a character boundary, so that a
// single-byte letter never matches the trail byte of a double-byte
// character; -1 when none. An empty text matches nothing.
int FindLine(const Lines& lines, std::string_view text, int from);

// Pushes `entry` on top of a three-entry history (index 1 newest); the last
// entry drops out. An entry can stand twice.
void ShiftHistory(History3& history, const std::string& entry);

// The find and jump commands of the main window.
//
// Find:       ComboSetup c = OpenFind(); show the dialog with c;
//             OK or Enter -> FindOk(bytes); Cancel or Esc -> FindCancel();
//             closed by the title bar -> neither;
//             then row = Find(dialogs, listSelection).
// Find again: row = ReFind(dialogs, listSelection); the window enables its
//             command after the first find with a text.
// Jump:       ComboSetup c = OpenJump(); Label2 := JumpRangeLabel(), the
//             combo box takes JumpTextLength() characters;
//             OK or Enter -> close only when JumpOk(dialogs, text);
//             Cancel or Esc -> JumpCancel(); then row = Jump(lineCount).
// A returned row is to be selected (and followed by the grid); none means
// that the selection stays.
class FindJump {
 public:
  explicit FindJump(MainState& state) : state_(state) {}

  // ---- find -----------------------------------------------------------------------
  // FindText := FindHistory[1]; the combo box shows it and lists the history.
  ComboSetup OpenFind();
  // OK or Enter in the dialog: FindText := the combo box's text as Shift-JIS
  // bytes. `encodable` is false when the typed text holds a character that
  // Shift-JIS cannot hold: such a text matches nothing.
  void FindOk(std::string text, bool encodable = true);
  // Cancel or Esc: FindText := empty, so no search is made.
  void FindCancel();
  // After the dialog: with a non-empty FindText, searches from the selected
  // row itself forward without wrapping, reports "not found" as a notice
  // and shifts FindHistory.
  std::optional<int> Find(Dialogs& dialogs, int selection);
  // Searches from the row after the selection with the current FindText; the
  // same notice; shifts FindHistory. An empty FindText finds nothing and
  // leaves the history alone.
  std::optional<int> ReFind(Dialogs& dialogs, int selection);

  // ---- jump -----------------------------------------------------------------------
  // JumpText := JumpHistory[1]; the combo box shows it and lists the history.
  ComboSetup OpenJump();
  // The highest line number the dialog takes: the line limit in force less
  // one (29999 by default), the range label "(0-29999)" naming it, and the
  // characters the combo box takes (5 by default).
  int JumpDialogMax() const;
  std::string JumpRangeLabel() const;
  int JumpTextLength() const;
  // OK or Enter: a text that is not an integer is an error box, a number
  // outside 0..JumpDialogMax() a refusal; in both the dialog stays open (false).
  // Otherwise JumpText := the text and the dialog closes (true).
  bool JumpOk(Dialogs& dialogs, const std::string& text);
  // Cancel or Esc: JumpText := empty, so no jump is made.
  void JumpCancel();
  // After the dialog: nothing for an empty JumpText, one that is not an
  // integer or one outside 0..32767 (or 0..JumpDialogMax() when higher). Otherwise the row of that number, or
  // the last row when the number is at or beyond it (none for an empty
  // Document), and JumpText goes on top of JumpHistory.
  std::optional<int> Jump(int lineCount);

 private:
  std::optional<int> Search(Dialogs& dialogs, int from);

  MainState& state_;
  bool encodable_ = true;
};

}  // namespace cavel
