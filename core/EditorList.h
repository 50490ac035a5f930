// What the row order editor and the item editor share: a list of rows with
// a cursor (the selected row), whose rows the user moves up and down and
// deletes one at a time.
//
// A window shows RowCount() rows, row r as RowText(r), with Cursor()
// selected, and maps its buttons and keys to the operations. Each operation
// returns the ListChange it made, so that the list can update that one row.
#pragma once

#include <string_view>

#include "core/ListChange.h"

namespace cavel {

class EditorList {
 public:
  virtual ~EditorList() = default;

  virtual int RowCount() const = 0;
  // The bytes row `row` shows (0 <= row < RowCount()); the view holds until
  // the rows next change.
  virtual std::string_view RowText(int row) const = 0;
  // The selected row, or -1 when there are no rows.
  int Cursor() const { return cursor_; }
  // The user selected a row; out-of-range values are ignored.
  void SetCursor(int row);

  // With at least two rows, the cursor row changes places with the row
  // before (Up) or after (Down) it, and the cursor stays on it; at the top
  // (or bottom) nothing happens.
  ListChange Up();
  ListChange Down();
  // With at least two rows, the cursor row goes (RemoveCursorRow).
  ListChange Delete();

 protected:
  // The rows' own storage: rows `a` and `b` change places; row `row` goes.
  virtual void SwapRows(int a, int b) = 0;
  virtual void EraseRow(int row) = 0;
  // Removes the cursor row. The cursor then stays on its place, which holds
  // the row that followed; on the last row it goes to the new last row, and
  // with one row left to row 0.
  ListChange RemoveCursorRow();

  int cursor_ = -1;
};

}  // namespace cavel
