#include "core/RowOrder.h"

#include <utility>

#include "core/Messages.h"

namespace cavel {

void RowOrder::Open(const MainState& state) {
  rows_ = state.Document;
  lineLimit_ = static_cast<std::size_t>(state.ReadLimitLines);
  int n = LineCount();
  if (n == 0)
    cursor_ = -1;
  else if (state.CurrentLine < 0)
    cursor_ = 0;
  else
    cursor_ = state.CurrentLine < n ? state.CurrentLine : n - 1;
  pasteEnabled_ = false;
}

void RowOrder::SwapRows(int a, int b) { rows_.SwapLines(static_cast<std::size_t>(a), static_cast<std::size_t>(b)); }

void RowOrder::EraseRow(int row) { rows_.erase(rows_.begin() + row); }

void RowOrder::Hold(int row) {
  // A copy of the line's bytes: the held line outlives the window and the
  // Document, and must not keep a whole file's block alive.
  heldLine_ = Line(rows_[static_cast<std::size_t>(row)].view());
  pasteEnabled_ = true;
}

void RowOrder::Copy() {
  if (cursor_ < 0) return;
  Hold(cursor_);
}

ListChange RowOrder::Cut() {
  if (LineCount() < 2) return {};
  Hold(cursor_);
  return RemoveCursorRow();
}

bool RowOrder::RefuseAtLimit(Dialogs& dialogs) const {
  if (rows_.size() + 1 <= lineLimit_) return false;
  Refuse(dialogs, msg::DocumentLineLimit(lineLimit_));
  return true;
}

ListChange RowOrder::InsertAtCursor(Line line, bool after) {
  int at = after ? cursor_ + 1 : cursor_;
  rows_.insert(rows_.begin() + at, std::move(line));
  if (!after) ++cursor_;
  return {ListChange::Kind::Inserted, at};
}

ListChange RowOrder::Paste(Dialogs& dialogs, bool after) {
  if (!pasteEnabled_ || cursor_ < 0) return {};
  if (RefuseAtLimit(dialogs)) return {};
  return InsertAtCursor(heldLine_, after);
}

ListChange RowOrder::PrevPaste(Dialogs& dialogs) { return Paste(dialogs, false); }
ListChange RowOrder::NextPaste(Dialogs& dialogs) { return Paste(dialogs, true); }

ListChange RowOrder::Add(Dialogs& dialogs, bool after) {
  if (cursor_ < 0) return {};
  if (RefuseAtLimit(dialogs)) return {};
  if (!CheckLine(rows_[static_cast<std::size_t>(cursor_)].view(), cursor_, dialogs, scan_)) return {};
  Line record(scan_.separators.empty() ? std::string("@") : std::string(scan_.separators.size(), ','));
  return InsertAtCursor(std::move(record), after);
}

ListChange RowOrder::PrevAdd(Dialogs& dialogs) { return Add(dialogs, false); }
ListChange RowOrder::NextAdd(Dialogs& dialogs) { return Add(dialogs, true); }

bool RowOrder::Save(MainState& state, Dialogs& dialogs) {
  if (rows_.size() > lineLimit_) {
    Refuse(dialogs, msg::DocumentLineLimit(lineLimit_));
    return false;
  }
  CommitDocument(state, std::move(rows_), cursor_);
  rows_.clear();
  cursor_ = -1;
  pasteEnabled_ = false;
  return true;
}

void RowOrder::Cancel(MainState& state) const {
  if (cursor_ >= 0 && cursor_ <= state.CurrentLine) state.CurrentLine = cursor_;
}

void RowOrder::Release() {
  rows_.clear();
  cursor_ = -1;
  pasteEnabled_ = false;
}

}  // namespace cavel
