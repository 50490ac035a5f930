#include "windows/RowList.h"

namespace cavel {

QItemSelectionModel::SelectionFlags RowList::selectionCommand(const QModelIndex& index, const QEvent* event) const {
  const QItemSelectionModel::SelectionFlags command = QListView::selectionCommand(index, event);
  if (!index.isValid()) return QItemSelectionModel::NoUpdate;
  if (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)) return QItemSelectionModel::NoUpdate;
  return command;
}

}  // namespace cavel
