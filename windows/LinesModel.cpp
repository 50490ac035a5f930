#include "windows/LinesModel.h"

#include "core/EditorList.h"
#include "core/Text.h"
#include "platform/Sjis.h"

namespace cavel {

LinesModel::LinesModel(const Lines& lines, QSize rowSize, QObject* parent, std::size_t displayBytes)
    : QAbstractListModel(parent), lines_(&lines), rowSize_(rowSize), displayBytes_(displayBytes) {}

LinesModel::LinesModel(const EditorList& rows, QSize rowSize, QObject* parent, std::size_t displayBytes)
    : QAbstractListModel(parent), editor_(&rows), rowSize_(rowSize), displayBytes_(displayBytes) {}

// The roles a change of a line's text touches: not its size, which every
// row shares.
QList<int> LinesModel::TextRoles() { return {Qt::DisplayRole, FullTextRole, LineBytesRole}; }

int LinesModel::SourceCount() const { return editor_ ? editor_->RowCount() : static_cast<int>(lines_->size()); }

std::string_view LinesModel::SourceText(int row) const {
  return editor_ ? editor_->RowText(row) : (*lines_)[static_cast<std::size_t>(row)].view();
}

void LinesModel::Refill() {
  beginResetModel();
  rows_ = SourceCount();
  endResetModel();
}

void LinesModel::Clear() {
  if (rows_ == 0) return;
  beginResetModel();
  rows_ = 0;
  endResetModel();
}

void LinesModel::Apply(const ListChange& change) {
  const int row = change.row;
  switch (change.kind) {
    case ListChange::Kind::None: return;
    case ListChange::Kind::Swapped:
      if (row < 0 || row + 1 >= rows_) break;
      RowsChanged(row, row + 1);
      return;
    case ListChange::Kind::Inserted:
      if (row < 0 || row > rows_) break;
      announcing_ = change;
      beginInsertRows(QModelIndex(), row, row);
      announcing_ = {};
      ++rows_;
      endInsertRows();
      return;
    case ListChange::Kind::Removed:
      if (row < 0 || row >= rows_) break;
      announcing_ = change;
      beginRemoveRows(QModelIndex(), row, row);
      announcing_ = {};
      --rows_;
      endRemoveRows();
      return;
  }
  // A change that does not fit the rows shown: show the rows as they are.
  Refill();
}

void LinesModel::Follow(const LinesDiff& change) {
  if (change.removed != change.inserted || rows_ != SourceCount()) {
    Refill();
    return;
  }
  if (change.inserted == 0) return;
  const int first = static_cast<int>(change.at);
  RowsChanged(first, first + static_cast<int>(change.inserted) - 1);
}

void LinesModel::RowsChanged(int first, int last) {
  // A list announces a change of several rows to its layout, which walks
  // every row of the list: rows are announced one at a time, and a change
  // of many rows only has the views paint again what they show (no row
  // holds anything of its own that could go stale).
  constexpr int kAnnounced = 64;
  if (last - first >= kAnnounced) {
    emit textsChanged();
    return;
  }
  for (int row = first; row <= last; ++row) emit dataChanged(index(row), index(row), TextRoles());
}

int LinesModel::SourceRow(int row) const {
  switch (announcing_.kind) {
    case ListChange::Kind::Inserted: return row >= announcing_.row ? row + 1 : row;
    case ListChange::Kind::Removed:
      if (row == announcing_.row) return -1;  // the row that is gone
      return row > announcing_.row ? row - 1 : row;
    default: return row;
  }
}

void LinesModel::SetRowSize(QSize size) {
  rowSize_ = size;
  if (rows_ > 0) emit dataChanged(index(0), index(rows_ - 1), {Qt::SizeHintRole});
}

int LinesModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

QVariant LinesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_) return {};
  if (role == Qt::SizeHintRole) return rowSize_;
  if (role != Qt::DisplayRole && role != FullTextRole && role != LineBytesRole) return {};
  // The lines may change under a filled list (a load in progress, an
  // editor's rows handed over by its save); a row beyond them shows nothing
  // until the next Refill.
  const int source = SourceRow(index.row());
  if (source < 0 || source >= SourceCount()) return {};
  const std::string_view line = SourceText(source);
  switch (role) {
    case Qt::DisplayRole: return SjisDecode(displayBytes_ ? SjisPrefix(line, displayBytes_) : line);
    case FullTextRole: return SjisDecode(line);
    default: return QByteArray(line.data(), static_cast<qsizetype>(line.size()));
  }
}

}  // namespace cavel
