#include "windows/StringGrid.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTableView>
#include <algorithm>

#include "platform/QtText.h"
#include "platform/Sjis.h"
#include "windows/VisibleText.h"

namespace cavel {

namespace {

QByteArray Bytes(std::string_view s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }

// How far from a column's right edge a press still grabs it.
constexpr int kGrip = 4;

// A header whose titles end in "…" where the column is too narrow for
// them, as the cells do.
class GridHeader : public QHeaderView {
 public:
  GridHeader(Qt::Orientation orientation, QWidget* parent) : QHeaderView(orientation, parent) {}

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
    if (!rect.isValid()) return;
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = logicalIndex;
    option.textAlignment = defaultAlignment();
    const int visual = visualIndex(logicalIndex);
    option.position = count() == 1            ? QStyleOptionHeader::OnlyOneSection
                      : visual == 0           ? QStyleOptionHeader::Beginning
                      : visual == count() - 1 ? QStyleOptionHeader::End
                                              : QStyleOptionHeader::Middle;
    const QString text = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
    const int margin = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, &option, this);
    option.text = option.fontMetrics.elidedText(text, Qt::ElideRight, std::max(rect.width() - margin, 0));
    painter->save();
    style()->drawControl(QStyle::CE_Header, &option, painter, this);
    painter->restore();
  }
};

}  // namespace

// ---- the model ---------------------------------------------------------------------

StringGridModel::StringGridModel(const GridCells& cells, QObject* parent)
    : QAbstractTableModel(parent), cells_(cells) {}

void StringGridModel::Reset(const std::function<void()>& change) {
  beginResetModel();
  change();
  endResetModel();
  emit cornerChanged();
}

void StringGridModel::CellsChanged() {
  if (rowCount() > 0 && columnCount() > 0)
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole, CellBytesRole});
  if (columnCount() > 0) emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
  if (rowCount() > 0) emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
  emit cornerChanged();
}

void StringGridModel::RowsChanged(int first, int last) {
  // Model row r is grid row r + 1.
  first = std::max(first - 1, 0);
  last = std::min(last - 1, rowCount() - 1);
  if (first > last || columnCount() == 0) return;
  // Text only: a change announced without roles would lay out every row.
  emit dataChanged(index(first, 0), index(last, columnCount() - 1), {Qt::DisplayRole, CellBytesRole});
}

QString StringGridModel::CornerText() const {
  const std::string_view corner = cells_.Cell(0, 0);
  return Utf8(corner);
}

int StringGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max(cells_.RowCount() - 1, 0);
}

int StringGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max(cells_.ColCount() - 1, 0);
}

QVariant StringGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
  const std::string_view cell = cells_.Cell(index.column() + 1, index.row() + 1);
  switch (role) {
    case Qt::DisplayRole: return SjisDecode(cell);
    case CellBytesRole: return Bytes(cell);
    case Qt::TextAlignmentRole: return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default: return {};
  }
}

QVariant StringGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  const bool horizontal = orientation == Qt::Horizontal;
  if (section < 0 || section >= (horizontal ? columnCount() : rowCount())) return {};
  const std::string_view cell = horizontal ? cells_.Cell(section + 1, 0) : cells_.Cell(0, section + 1);
  switch (role) {
    case Qt::DisplayRole:
      // The line numbers are ASCII digits; the titles Shift-JIS.
      return horizontal ? SjisDecode(cell) : QString::fromLatin1(cell.data(), static_cast<qsizetype>(cell.size()));
    case CellBytesRole: return Bytes(cell);
    case Qt::TextAlignmentRole: return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default: return {};
  }
}

Qt::ItemFlags StringGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

// ---- the frame ----------------------------------------------------------------------

StringGridFrame::StringGridFrame(QTableView& view, StringGridModel& model, int rowHeight, int colWidth)
    : QObject(&view), view_(view), model_(model) {
  view_.setModel(&model_);
  view_.setItemDelegate(new VisibleTextDelegate(&view_));
  view_.setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_.setSelectionMode(QAbstractItemView::ContiguousSelection);
  view_.setSelectionBehavior(QAbstractItemView::SelectItems);
  view_.setShowGrid(true);
  view_.setWordWrap(false);
  // Tab leaves the grid for the next control instead of moving the cell.
  view_.setTabKeyNavigation(false);
  view_.setTextElideMode(Qt::ElideRight);
  view_.setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
  view_.setVerticalScrollMode(QAbstractItemView::ScrollPerItem);

  view_.setHorizontalHeader(new GridHeader(Qt::Horizontal, &view_));
  view_.setVerticalHeader(new GridHeader(Qt::Vertical, &view_));
  QHeaderView* top = view_.horizontalHeader();
  top->setMinimumSectionSize(0);
  top->setDefaultSectionSize(colWidth);
  top->setSectionResizeMode(QHeaderView::Interactive);
  top->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  top->setHighlightSections(false);
  top->setFixedHeight(rowHeight);
  top->setStretchLastSection(false);

  QHeaderView* left = view_.verticalHeader();
  left->setMinimumSectionSize(0);
  left->setDefaultSectionSize(rowHeight);
  left->setSectionResizeMode(QHeaderView::Fixed);
  left->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  left->setHighlightSections(false);
  left->viewport()->setMouseTracking(true);
  numbers_ = left->viewport();
  numbers_->installEventFilter(this);
  SetColumn0Width(colWidth);

  corner_ = view_.findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
  if (corner_) {
    corner_->setMouseTracking(true);
    corner_->installEventFilter(this);
  }
  cells_ = view_.viewport();
  cells_->installEventFilter(this);
  // The headers tell a double click on a section from one on a section's
  // edge (sectionHandleDoubleClicked); column 0's edge never reaches them.
  for (QHeaderView* header : {top, left})
    connect(header, &QHeaderView::sectionDoubleClicked, this, [this] { emit doubleClicked(); });
  connect(&model_, &StringGridModel::cornerChanged, this, [this] {
    if (!corner_) return;
    corner_->setToolTip(model_.CornerText());
    corner_->update();
  });
}

std::vector<int> StringGridFrame::Widths() const {
  const int columns = model_.columnCount();
  std::vector<int> widths;
  widths.reserve(static_cast<std::size_t>(columns) + 1);
  widths.push_back(column0_);
  for (int c = 0; c < columns; ++c) widths.push_back(view_.horizontalHeader()->sectionSize(c));
  return widths;
}

void StringGridFrame::SetWidths(const std::vector<int>& widths) {
  if (widths.empty()) return;
  SetColumn0Width(widths[0]);
  const int columns = std::min(model_.columnCount(), static_cast<int>(widths.size()) - 1);
  for (int c = 0; c < columns; ++c)
    view_.horizontalHeader()->resizeSection(c, std::max(widths[static_cast<std::size_t>(c) + 1], 0));
}

void StringGridFrame::SetColumn0Width(int width) {
  column0_ = std::max(width, 0);
  view_.verticalHeader()->setFixedWidth(column0_);
  // The table lays its headers and viewport out again on this signal.
  emit view_.verticalHeader()->geometriesChanged();
  if (corner_) corner_->update();
}

bool StringGridFrame::OnEdge(QWidget& w, QPoint pos) const {
  return pos.x() >= w.width() - kGrip && pos.x() <= w.width() + kGrip;
}

// Column 0's right edge, in the corner or beside the line numbers: hovering
// shows the resize cursor, dragging sets the width, a double click fits the
// line numbers. True when the event was used.
bool StringGridFrame::Column0Mouse(QWidget& w, QEvent* event) {
  auto* mouse = static_cast<QMouseEvent*>(event);
  const QPoint pos = mouse->position().toPoint();
  switch (event->type()) {
    case QEvent::MouseMove:
      if (dragging_) {
        SetColumn0Width(dragStartWidth_ + static_cast<int>(mouse->globalPosition().x()) - dragStartX_);
        return true;
      }
      if (OnEdge(w, pos))
        w.setCursor(Qt::SplitHCursor);
      else
        w.unsetCursor();
      return false;
    case QEvent::MouseButtonPress:
      if (mouse->button() != Qt::LeftButton || !OnEdge(w, pos)) return false;
      dragging_ = true;
      dragStartX_ = static_cast<int>(mouse->globalPosition().x());
      dragStartWidth_ = column0_;
      return true;
    case QEvent::MouseButtonRelease:
      if (!dragging_) return false;
      dragging_ = false;
      if (!OnEdge(w, pos)) w.unsetCursor();
      return true;
    case QEvent::MouseButtonDblClick:
      if (mouse->button() != Qt::LeftButton || !OnEdge(w, pos)) return false;
      SetColumn0Width(view_.verticalHeader()->sizeHint().width());
      return true;
    default: return false;
  }
}

void StringGridFrame::PaintCorner() {
  QAbstractButton& corner = *corner_;
  QStyleOptionHeader option;
  option.initFrom(&corner);
  option.state = QStyle::State_None;
  if (corner.isEnabled()) option.state |= QStyle::State_Enabled;
  if (corner.isActiveWindow()) option.state |= QStyle::State_Active;
  option.rect = corner.rect();
  option.position = QStyleOptionHeader::OnlyOneSection;
  option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
  // A path too long for column 0 keeps its end, the file's name.
  const int margin = corner.style()->pixelMetric(QStyle::PM_HeaderMargin, &option, &corner);
  option.text = corner.fontMetrics().elidedText(model_.CornerText(), Qt::ElideLeft,
                                                std::max(corner.width() - 2 * margin, 0));
  QPainter painter(&corner);
  corner.style()->drawControl(QStyle::CE_Header, &option, &painter, &corner);
}

bool StringGridFrame::eventFilter(QObject* watched, QEvent* event) {
  const bool onCorner = corner_ && watched == corner_;
  const bool onNumbers = numbers_ && watched == numbers_;
  const bool leftDoubleClick = event->type() == QEvent::MouseButtonDblClick &&
                               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
  if (cells_ && watched == cells_) {
    if (!leftDoubleClick) return QObject::eventFilter(watched, event);
    emit doubleClicked();
    return true;
  }
  if (!onCorner && !onNumbers) return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::Paint:
      if (!onCorner) break;
      PaintCorner();
      return true;
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      if (Column0Mouse(*static_cast<QWidget*>(watched), event)) return true;
      // The line numbers' header reports its own double clicks.
      if (onCorner && leftDoubleClick) {
        emit doubleClicked();
        return true;
      }
      break;
    default: break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace cavel
