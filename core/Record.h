// The record window without its widgets: one line of the Document as up to
// 64 labelled values, stepping to the previous or next line, and the join
// that writes the values back into the line.
//
// Label and value texts are Shift-JIS bytes in MainState::TitleItems[1..64]
// and LineItems[1..64]; the window decodes them into Label01..Label64 and
// Edit01..Edit64.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/Dialogs.h"
#include "core/MainState.h"

namespace cavel {

inline constexpr std::size_t kTitleLabelBytes = 16;

// "NN : ": the text of label and value n before an item is put behind it.
std::string ItemNumberText(int n);

// Checks the title line (commas, quotes, 64 items; messages name line 0).
// When it passes, TitleItems[n] := "NN : " + the longest start of title item
// n that has at most 16 bytes and does not cut a double-byte character, and
// "NN : " alone beyond the title's items; returns true: the window sets all
// 64 labels from TitleItems. When it fails, RecordSetupFailed := 1 and
// TitleItems stay as they were.
bool TitleKoumokuSet(MainState& state, Dialogs& dialogs);

// Checks line `line` (messages name it). When it passes, CurrentLine :=
// line, LineItems[n] := item n (bytes as in the line) and "NN : " beyond the
// items, LineItemCount := the item count; returns true: the window sets all
// 64 value boxes from LineItems. When it fails, RecordSetupFailed := 1 and
// CurrentLine, LineItems and LineItemCount stay as they were, so that the
// values shown still belong to CurrentLine. A line that is not in the
// Document is answered with the select-a-line notice.
bool EditKoumokuSet(MainState& state, Dialogs& dialogs, int line);

enum class RecordMode { View, Edit };

// One value box as the window hands it to the save: std::nullopt when the
// user did not change the box (its original bytes are written back), else
// the new text as Shift-JIS bytes. The window refuses a typed character that
// Shift-JIS cannot hold before it saves.
using BoxValue = std::optional<std::string>;

// The record window's state. The window, after each call that returns true,
// shows:
//   Label90             ModeLabel()
//   BtnEdit / BtnSave   EditEnabled() / SaveEnabled()
//   rows 1..64          row n visible when n <= VisibleRows()
//   value boxes         box n editable when n <= EditableRows()
//   labels, values      TitleItems, LineItems (when the step set them)
//   caption             PositionCaption() on every opening and after every
//                       step
class RecordWindow {
 public:
  explicit RecordWindow(MainState& state) : state_(state) {}

  // The opening of MenuViewClick / MenuEditClick after the window is placed:
  // `listSelection` -1 gives the select-a-line notice; `line` is the list's
  // selection, or the grid's current row - 1 when the grid is visible. Runs
  // the title and line checks; false: the window is not shown. True: the
  // window is shown modally.
  bool Open(Dialogs& dialogs, RecordMode mode, int listSelection, int line);

  RecordMode mode() const { return mode_; }
  std::string ModeLabel() const;
  bool EditEnabled() const { return mode_ == RecordMode::View; }
  bool SaveEnabled() const { return mode_ == RecordMode::Edit; }
  int VisibleRows() const { return visibleRows_; }
  int EditableRows() const { return editableRows_; }
  std::string PositionCaption() const;

  // BtnEdit: edit mode from here on; boxes 1..LineItemCount become editable.
  void SwitchToEdit();

  struct Step {
    bool titlesSet = false;  // refresh the labels from TitleItems
    bool valuesSet = false;  // refresh the value boxes from LineItems (typed values dropped)
  };
  // PageUp / 前項: the line before (not below 0). PageDown / 後項: the line
  // after (not beyond the last). At either end the same line is shown again.
  // A line that fails a check is not shown: the window stays on its line.
  Step Prev(Dialogs& dialogs);
  Step Next(Dialogs& dialogs);

  // Enter in edit mode: the save question; true when the user wants to save.
  bool ConfirmSave(Dialogs& dialogs) const;

  // BtnSave: joins boxes 1..LineItemCount with commas (boxes[0] is Edit01; a
  // box the window does not pass counts as unchanged). A joined line over
  // 8192 bytes is refused and nothing changes (false: the window stays open).
  // Otherwise Document line CurrentLine := the joined line, DocumentChanged
  // := 1, and true: the window closes.
  bool Save(Dialogs& dialogs, const std::vector<BoxValue>& boxes);

  // The joined line itself.
  std::string Join(const std::vector<BoxValue>& boxes) const;

 private:
  Step Show(Dialogs& dialogs, int line);

  MainState& state_;
  RecordMode mode_ = RecordMode::View;
  int visibleRows_ = 0;
  int editableRows_ = 0;
};

}  // namespace cavel
