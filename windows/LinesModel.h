// A list of lines shown as a virtual list: one row per line, the line's
// Shift-JIS bytes decoded only when the row is painted. No row holds a
// copy; the model only counts the rows it was last filled with.
#pragma once

#include <QAbstractListModel>
#include <QSize>

#include "core/Document.h"

namespace cavel {

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

  // The list box's "clear, then append every line": the rows become the lines' current count.
  void Refill();
  // No rows.
  void Clear();
  void SetRowSize(QSize size);
  QSize RowSize() const { return rowSize_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  const Lines& lines_;
  int rows_ = 0;
  QSize rowSize_;
  std::size_t displayBytes_;
};

}  // namespace cavel
