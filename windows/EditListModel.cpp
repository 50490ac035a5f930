#include "windows/EditListModel.h"

#include <utility>

#include "core/Text.h"
#include "platform/Sjis.h"

namespace cavel {

EditListModel::EditListModel(std::function<int()> count, std::function<std::string(int)> text, QSize rowSize,
                             QObject* parent, std::size_t displayBytes)
    : QAbstractListModel(parent),
      count_(std::move(count)),
      text_(std::move(text)),
      rowSize_(rowSize),
      displayBytes_(displayBytes) {}

void EditListModel::Refill() {
  beginResetModel();
  rows_ = count_();
  endResetModel();
}

void EditListModel::Clear() {
  if (rows_ == 0) return;
  beginResetModel();
  rows_ = 0;
  endResetModel();
}

void EditListModel::Apply(const ListChange& change) {
  const int row = change.row;
  switch (change.kind) {
    case ListChange::Kind::None:
      return;
    case ListChange::Kind::Swapped:
      if (row < 0 || row + 1 >= rows_) break;
      emit dataChanged(index(row), index(row + 1));
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

int EditListModel::SourceRow(int row) const {
  switch (announcing_.kind) {
    case ListChange::Kind::Inserted:
      return row >= announcing_.row ? row + 1 : row;
    case ListChange::Kind::Removed:
      if (row == announcing_.row) return -1;  // the row that is gone
      return row > announcing_.row ? row - 1 : row;
    default:
      return row;
  }
}

int EditListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

QVariant EditListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_) return {};
  if (role == Qt::SizeHintRole) return rowSize_;
  if (role != Qt::DisplayRole && role != FullTextRole && role != LineBytesRole) return {};
  const int source = SourceRow(index.row());
  // The editor's rows may be gone under a filled list (after a save); such
  // a row shows nothing until the next Refill.
  if (source < 0 || source >= count_()) return {};
  const std::string line = text_(source);
  switch (role) {
    case Qt::DisplayRole:
      return SjisDecode(displayBytes_ ? SjisPrefix(line, displayBytes_) : std::string_view(line));
    case FullTextRole:
      return SjisDecode(line);
    default:
      return QByteArray(line.data(), static_cast<qsizetype>(line.size()));
  }
}

}  // namespace cavel
