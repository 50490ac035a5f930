// The lists of the program: the main list, the editors' lists, the merge
// window's and the quote conversion's preview.
//
// Each stands for a current line, one row selected at most: the program
// moves the selection, and so do a click or a key that selects a row. A
// click on the empty part below the rows, or Ctrl with a click (or
// Ctrl+Space) on the selected row, would leave a list with nothing
// selected; here it leaves the selection as it is.
#pragma once

#include <QListView>
#include <QSize>

class QAbstractItemModel;

namespace cavel {

// Every list's rows are 18 pixels high and as wide as the main list's
// horizontal extent, five times the main list's width at start-up: the
// same lines scroll the same way in every list.
inline constexpr int kListRowHeight = 18;
QSize ListRowSize(int listWidthAtStart);

class RowList : public QListView {
  Q_OBJECT
 public:
  // A list "ListBox1" over `model`: single selection, read-only, rows of one
  // height, never cut short or wrapped, scrolled sideways by the pixel, in
  // "System" `fontHeight` pixels high.
  RowList(QWidget* parent, QAbstractItemModel* model, int fontHeight);

 protected:
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event = nullptr) const override;
};

// Selects `row` of the list and makes it current (no selection for a row
// outside it); a list that is shown scrolls it into view.
void SelectListRow(QListView& list, int row);
// The list's selected row, -1 when none.
int SelectedListRow(const QListView& list);

}  // namespace cavel
