// A single-selection list whose selection a click never clears.
//
// The lists of the program stand for a current line: the program moves
// their selection, and so do a click or a key that selects a row. A click
// on the empty part below the rows, or Ctrl with a click (or Ctrl+Space) on
// the selected row, would leave a list with nothing selected; here it
// leaves the selection as it is.
#pragma once

#include <QListView>

namespace cavel {

class RowList : public QListView {
  Q_OBJECT
 public:
  using QListView::QListView;

 protected:
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event = nullptr) const override;
};

}  // namespace cavel
