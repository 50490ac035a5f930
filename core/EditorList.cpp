#include "core/EditorList.h"

namespace cavel {

void EditorList::SetCursor(int row) {
  if (row >= 0 && row < RowCount()) cursor_ = row;
}

ListChange EditorList::Up() {
  if (RowCount() < 2 || cursor_ <= 0) return {};
  SwapRows(cursor_ - 1, cursor_);
  --cursor_;
  return {ListChange::Kind::Swapped, cursor_};
}

ListChange EditorList::Down() {
  if (RowCount() < 2 || cursor_ < 0 || cursor_ >= RowCount() - 1) return {};
  SwapRows(cursor_, cursor_ + 1);
  ++cursor_;
  return {ListChange::Kind::Swapped, cursor_ - 1};
}

ListChange EditorList::Delete() {
  if (RowCount() < 2) return {};
  return RemoveCursorRow();
}

ListChange EditorList::RemoveCursorRow() {
  const int removed = cursor_;
  EraseRow(removed);
  const int n = RowCount();
  if (n == 1)
    cursor_ = 0;
  else if (removed == n)
    cursor_ = removed - 1;
  return {ListChange::Kind::Removed, removed};
}

}  // namespace cavel
