// The lists of the program: the main list, the editors' lists, the merge
// window's and the quote conversion's preview.
//
// Each stands for a current line, one row selected at most: the program
// moves the selection, and so do a click or a key that selects a row. A
// click on the empty part below the rows, or Ctrl with a click (or
// Ctrl+Space) on the selected row, would leave a list with nothing
// selected; here it leaves the selection as it is.
//
// Every row has one size, the model's size hint of a row: the list keeps
// nothing per row, so a list of a million lines costs no more memory than
// one of ten, and its rows are found by arithmetic. Only the rows in view
// are asked for their text, and only the part of a long row that can reach
// the view is laid out.
#pragma once

#include <QAbstractItemView>
#include <QSize>

class QAbstractItemModel;

namespace cavel {

// Every list's rows are 18 pixels high and as wide as the main list's
// horizontal extent, five times the main list's width at start-up: the
// same lines scroll the same way in every list.
inline constexpr int kListRowHeight = 18;
QSize ListRowSize(int listWidthAtStart);

class RowList : public QAbstractItemView {
  Q_OBJECT
 public:
  // A list "ListBox1" over `model`: single selection, read-only, rows of one
  // size, never cut short or wrapped, scrolled sideways by the pixel and
  // up and down by the row, in "System" `fontHeight` pixels high.
  RowList(QWidget* parent, QAbstractItemModel* model, int fontHeight);

  void setModel(QAbstractItemModel* model) override;
  QRect visualRect(const QModelIndex& index) const override;
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
  QModelIndex indexAt(const QPoint& point) const override;

 protected:
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event = nullptr) const override;
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  int horizontalOffset() const override;
  int verticalOffset() const override;
  bool isIndexHidden(const QModelIndex&) const override { return false; }
  void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
  QRegion visualRegionForSelection(const QItemSelection& selection) const override;
  void updateGeometries() override;
  void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                   const QList<int>& roles = QList<int>()) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  int RowCount() const;
  // The rows wholly in view (at least one).
  int RowsInView() const;
  // The row size the model gives its rows; the size of a row of text while
  // it has none.
  void TakeRowSize();

  QSize rowSize_;
};

// Selects `row` of the list and makes it current (no selection for a row
// outside it); a list that is shown scrolls it into view.
void SelectListRow(QAbstractItemView& list, int row);
// The list's selected row, -1 when none.
int SelectedListRow(const QAbstractItemView& list);

}  // namespace cavel
