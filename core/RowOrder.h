// The row order editor: a working copy of the Document's lines that the user
// rearranges as whole lines (move, cut, copy, paste, delete, add an empty
// record) before storing it back into the Document in one step.
//
// The window maps its buttons and keys to the operations below and shows
// Rows() with Cursor() selected. Each operation returns the ListChange it
// made, so the list view can update that one row; Cursor() and
// PasteEnabled() are read afterwards.
//
// The model lives as long as the window: Open() starts each showing afresh
// from the Document, but HeldLine() survives from one showing to the next.
#pragma once

#include <string>

#include "core/Dialogs.h"
#include "core/Document.h"
#include "core/EditorList.h"
#include "core/LineCheck.h"
#include "core/MainState.h"

namespace cavel {

class RowOrder : public EditorList {
 public:
  // Takes the Document's lines as the rows (sharing them), puts the cursor on CurrentLine
  // (clamped into the rows; no cursor when the Document is empty) and
  // disables pasting. HeldLine is kept.
  void Open(const MainState& state);

  const Lines& Rows() const { return rows_; }
  int LineCount() const { return static_cast<int>(rows_.size()); }
  const Line& HeldLine() const { return heldLine_; }
  bool PasteEnabled() const { return pasteEnabled_; }

  int RowCount() const override { return LineCount(); }
  std::string_view RowText(int row) const override { return rows_[static_cast<std::size_t>(row)].view(); }

  // Up, Down and Delete: EditorList's.
  // Holds the cursor row and enables pasting; changes no row.
  void Copy();
  ListChange Cut();
  // Insert HeldLine before / after the cursor row; the cursor stays on its
  // line. Refused with the line-limit message at the line limit in force
  // (ReadLimitLines when the editor opened); nothing happens
  // while pasting is disabled.
  ListChange PrevPaste(Dialogs& dialogs);
  ListChange NextPaste(Dialogs& dialogs);
  // Insert an empty record shaped like the cursor line (one comma per item
  // separator, "@" for a line of one item) before / after it, after the line
  // limit and the line checks of the cursor row.
  ListChange PrevAdd(Dialogs& dialogs);
  ListChange NextAdd(Dialogs& dialogs);

  // Stores the rows into the Document in one step, CurrentLine := the cursor
  // row, DocumentChanged := 1. The window closes afterwards, whatever the
  // outcome; the rows are handed over, so the model is empty until the next
  // Open(). Returns false (and changes nothing) when the rows exceed the
  // line limit, after its message.
  bool Save(MainState& state, Dialogs& dialogs);
  // Leaves the Document alone; moves CurrentLine back to the cursor row when
  // the cursor stands at or before it. (Esc and the close box call nothing.)
  void Cancel(MainState& state) const;
  // The window has closed: the working rows are let go (on the largest
  // file they are as big as the Document). HeldLine is kept.
  void Release();

 private:
  void SwapRows(int a, int b) override;
  void EraseRow(int row) override;
  ListChange Paste(Dialogs& dialogs, bool after);
  ListChange Add(Dialogs& dialogs, bool after);
  void Hold(int row);
  ListChange InsertAtCursor(Line line, bool after);
  bool RefuseAtLimit(Dialogs& dialogs) const;

  Lines rows_;
  std::size_t lineLimit_ = kMaxLines;
  Line heldLine_;
  bool pasteEnabled_ = false;
  LineScan scan_;
};

}  // namespace cavel
