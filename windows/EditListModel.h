// The list of an editor window: a virtual list over the rows an editor
// model holds (the row order editor's lines, the item editor's entries).
// The model never copies the rows; it asks the editor for a row's bytes
// when the row is painted. After each operation the window hands the
// ListChange the operation returned to Apply, which tells the view about
// that one change (two rows swapped, one inserted, one removed) instead of
// refilling the list.
#pragma once

#include <QAbstractListModel>
#include <QSize>
#include <functional>
#include <string>

#include "core/ListChange.h"

namespace cavel {

class EditListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  // The same roles as LinesModel: a row's raw bytes and its whole decoded text.
  static constexpr int LineBytesRole = Qt::UserRole + 1;
  static constexpr int FullTextRole = Qt::UserRole + 2;

  // `count` is the editor's current number of rows, `text` the bytes of
  // one of them (0 <= row < count()). `rowSize` is every row's size.
  EditListModel(std::function<int()> count, std::function<std::string(int)> text, QSize rowSize,
                QObject* parent = nullptr, std::size_t displayBytes = 2048);

  // The list is emptied and shows the editor's rows as they now stand.
  void Refill();
  // No rows (the editor's rows are gone or about to go).
  void Clear();
  // The editor made `change` to its rows; the rows the list shows follow.
  void Apply(const ListChange& change);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  // The editor's row that list row `row` shows: while a change is being
  // announced the list still has its old layout, the editor the new one.
  int SourceRow(int row) const;

  std::function<int()> count_;
  std::function<std::string(int)> text_;
  QSize rowSize_;
  std::size_t displayBytes_;
  int rows_ = 0;
  ListChange announcing_;
};

}  // namespace cavel
