// The grid view: a virtual table over the grid's cell store (core/GridFill.h)
// and the frame that gives a QTableView the fixed first row and column of a
// string grid.
//
// Grid row 0 (the item titles) is the table's horizontal header, grid
// column 0 (the line numbers) its vertical header, and cell (0, 0) (the
// open file's path) the corner; model index (r, c) is grid cell (c + 1,
// r + 1). The headers are fixed and grey, stay in view and scroll with the
// cells. Cells are Shift-JIS bytes, decoded only when painted; the corner
// is UTF-8.
#pragma once

#include <QAbstractTableModel>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <functional>
#include <vector>

#include "core/GridFill.h"

class QAbstractButton;
class QTableView;
class QWidget;

namespace cavel {

class StringGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  // The raw bytes of a cell (or header), as a QByteArray.
  static constexpr int CellBytesRole = Qt::UserRole + 1;

  explicit StringGridModel(const GridCells& cells, QObject* parent = nullptr);

  // Runs `change` on the store inside a model reset (counts and cells may change).
  void Reset(const std::function<void()>& change);
  // The cells' texts changed, the counts did not.
  void CellsChanged();
  // The cells of grid rows first..last changed, the counts did not.
  void RowsChanged(int first, int last);
  // Cell (0, 0), the path of the file the grid was filled for.
  QString CornerText() const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 signals:
  void cornerChanged();

 private:
  const GridCells& cells_;
};

// Sets up `view` over `model` as the string grid (rows of `rowHeight`
// pixels, grid lines, read-only, range selection, columns resizable by
// dragging) and keeps its fixed column 0 and corner: the corner paints cell
// (0, 0), and column 0 (the vertical header) is resized by dragging its
// right edge, in the header row or beside the line numbers, like any other
// column. A click on the fixed row or column moves neither the current
// cell nor the selection. A double click anywhere on the grid (a cell, the
// empty part, a title, a line number, the corner) is reported by
// doubleClicked(), except a double click on a column's edge, which fits
// the column to its contents.
class StringGridFrame : public QObject {
  Q_OBJECT
 public:
  StringGridFrame(QTableView& view, StringGridModel& model, int rowHeight, int colWidth);

  // One width per grid column, column 0 first.
  std::vector<int> Widths() const;
  // Column 0 takes widths[0], column 1 widths[1], ...; columns beyond the
  // list keep their width, numbers beyond the columns are ignored.
  void SetWidths(const std::vector<int>& widths);
  int Column0Width() const { return column0_; }
  void SetColumn0Width(int width);

  QAbstractButton* Corner() const { return corner_; }

 signals:
  void doubleClicked();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool OnEdge(QWidget& w, QPoint pos) const;
  bool Column0Mouse(QWidget& w, QEvent* event);
  void PaintCorner();

  QTableView& view_;
  StringGridModel& model_;
  QAbstractButton* corner_ = nullptr;
  // The line numbers' viewport, kept when the filter is installed: events
  // still arrive while the view is being destroyed, when it may no longer
  // be asked for its parts.
  QPointer<QObject> numbers_;
  QPointer<QObject> cells_;
  int column0_ = 0;
  bool dragging_ = false;
  int dragStartX_ = 0;
  int dragStartWidth_ = 0;
};

}  // namespace cavel
