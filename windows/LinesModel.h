// A list of lines shown as a virtual list: one row per line, the line's
// Shift-JIS bytes decoded only when the row is painted. No row holds a
// copy; the model only counts the rows it was last filled with.
//
// The lines are a list of lines (the Document, a working copy, a second
// file) or an editor's rows (core/EditorList.h). After an editor's
// operation the window hands the ListChange it returned to Apply, which
// tells the view about that one change (two rows swapped, one inserted, one
// removed) instead of refilling the list.
#pragma once

#include <QAbstractListModel>
#include <QSize>
#include <string_view>

#include "core/Document.h"
#include "core/ListChange.h"
#include "core/Undo.h"

namespace cavel {

class EditorList;

class LinesModel : public QAbstractListModel {
  Q_OBJECT
 public:
  // The raw bytes of a row's line, as a QByteArray.
  static constexpr int LineBytesRole = Qt::UserRole + 1;
  // The whole decoded line (the display text stops where no row can be seen).
  static constexpr int FullTextRole = Qt::UserRole + 2;

  // `rowSize` is every row's size: its width is the list's horizontal
  // extent, its height the item height. Text beyond `displayBytes` bytes
  // of a line lies outside any extent and is not decoded for painting.
  LinesModel(const Lines& lines, QSize rowSize, QObject* parent = nullptr, std::size_t displayBytes = 2048);
  LinesModel(const EditorList& rows, QSize rowSize, QObject* parent = nullptr, std::size_t displayBytes = 2048);

  // The list box's "clear, then append every line": the rows become the lines' current count.
  void Refill();
  // No rows.
  void Clear();
  // The lines changed where `change` says (lines from change.at on): the
  // rows show them, the rows' count following without a refill when it
  // stays.
  void Follow(const LinesDiff& change);
  // The editor made `change` to its rows; the rows the list shows follow.
  void Apply(const ListChange& change);
  void SetRowSize(QSize size);
  QSize RowSize() const { return rowSize_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;

 signals:
  // The texts of many rows changed, their count did not: a view paints
  // again the rows it shows.
  void textsChanged();

 public:
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  static QList<int> TextRoles();
  // Rows first..last show other text.
  void RowsChanged(int first, int last);
  int SourceCount() const;
  std::string_view SourceText(int row) const;
  // The line that list row `row` shows: while a change is being announced
  // the list still has its old layout, the lines the new one.
  int SourceRow(int row) const;

  const Lines* lines_ = nullptr;
  const EditorList* editor_ = nullptr;
  int rows_ = 0;
  QSize rowSize_;
  std::size_t displayBytes_;
  ListChange announcing_;
};

}  // namespace cavel
