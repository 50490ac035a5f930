#include "windows/LinesModel.h"

#include "core/Text.h"
#include "platform/Sjis.h"

namespace cavel {

LinesModel::LinesModel(const Lines& lines, QSize rowSize, QObject* parent, std::size_t displayBytes)
    : QAbstractListModel(parent), lines_(lines), rowSize_(rowSize), displayBytes_(displayBytes) {}

void LinesModel::Refill() {
  beginResetModel();
  rows_ = static_cast<int>(lines_.size());
  endResetModel();
}

void LinesModel::Clear() {
  if (rows_ == 0) return;
  beginResetModel();
  rows_ = 0;
  endResetModel();
}

void LinesModel::SetRowSize(QSize size) {
  rowSize_ = size;
  if (rows_ > 0) emit dataChanged(index(0), index(rows_ - 1), {Qt::SizeHintRole});
}

int LinesModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

QVariant LinesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_) return {};
  const auto row = static_cast<std::size_t>(index.row());
  // The lines may change under a filled list (a load in progress); a row
  // beyond them shows nothing until the next Refill.
  if (row >= lines_.size()) return role == Qt::SizeHintRole ? QVariant(rowSize_) : QVariant();
  const std::string& line = lines_[row];
  switch (role) {
    case Qt::DisplayRole:
      return SjisDecode(displayBytes_ ? SjisPrefix(line, displayBytes_) : std::string_view(line));
    case FullTextRole:
      return SjisDecode(line);
    case LineBytesRole:
      return QByteArray(line.data(), static_cast<qsizetype>(line.size()));
    case Qt::SizeHintRole:
      return rowSize_;
    default:
      return {};
  }
}

}  // namespace cavel
