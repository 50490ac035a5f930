#include "windows/RowList.h"

#include <QAbstractItemModel>
#include <QItemSelectionModel>

#include "platform/Fonts.h"

namespace cavel {

QSize ListRowSize(int listWidthAtStart) { return QSize(listWidthAtStart * 50 / 10, kListRowHeight); }

RowList::RowList(QWidget* parent, QAbstractItemModel* model, int fontHeight) : QListView(parent) {
  setObjectName(QStringLiteral("ListBox1"));
  setModel(model);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setUniformItemSizes(true);
  setTextElideMode(Qt::ElideNone);
  setWordWrap(false);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setFont(SystemFont(fontHeight));
}

QItemSelectionModel::SelectionFlags RowList::selectionCommand(const QModelIndex& index, const QEvent* event) const {
  const QItemSelectionModel::SelectionFlags command = QListView::selectionCommand(index, event);
  if (!index.isValid()) return QItemSelectionModel::NoUpdate;
  if (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)) return QItemSelectionModel::NoUpdate;
  return command;
}

void SelectListRow(QListView& list, int row) {
  QItemSelectionModel* selection = list.selectionModel();
  QAbstractItemModel* model = list.model();
  if (!selection || !model) return;
  if (row < 0 || row >= model->rowCount()) {
    selection->clear();
    return;
  }
  const QModelIndex index = model->index(row, 0);
  selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  // A hidden list has no size to scroll by: showing it scrolls.
  if (!list.isHidden()) list.scrollTo(index);
}

int SelectedListRow(const QListView& list) {
  const QItemSelectionModel* selection = list.selectionModel();
  if (!selection) return -1;
  const QModelIndexList rows = selection->selectedRows();
  return rows.isEmpty() ? -1 : rows.front().row();
}

}  // namespace cavel
