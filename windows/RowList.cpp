#include "windows/RowList.h"

#include <QAbstractItemModel>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "platform/Fonts.h"
#include "windows/LinesModel.h"
#include "windows/VisibleText.h"

namespace cavel {

QSize ListRowSize(int listWidthAtStart) { return QSize(listWidthAtStart * 50 / 10, kListRowHeight); }

RowList::RowList(QWidget* parent, QAbstractItemModel* model, int fontHeight) : QAbstractItemView(parent) {
  setObjectName(QStringLiteral("ListBox1"));
  setItemDelegate(new VisibleTextDelegate(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTextElideMode(Qt::ElideNone);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setFont(SystemFont(fontHeight));
  setModel(model);
}

void RowList::setModel(QAbstractItemModel* model) {
  if (this->model()) disconnect(this->model(), nullptr, this, nullptr);
  QAbstractItemView::setModel(model);
  if (model) {
    // The count of rows sets the scroll range; nothing else is kept.
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
      connect(model, signal, this, [this] { updateGeometries(); });
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
      TakeRowSize();
      updateGeometries();
    });
    if (auto* lines = qobject_cast<LinesModel*>(model))
      connect(lines, &LinesModel::textsChanged, viewport(), qOverload<>(&QWidget::update));
  }
  TakeRowSize();
  updateGeometries();
}

void RowList::TakeRowSize() {
  QSize size;
  if (model()) size = model()->data(model()->index(0, 0, rootIndex()), Qt::SizeHintRole).toSize();
  if (!size.isValid() || size.height() <= 0) size = QSize(viewport()->width(), fontMetrics().height() + 2);
  rowSize_ = size;
}

int RowList::RowCount() const { return model() ? model()->rowCount(rootIndex()) : 0; }

int RowList::RowsInView() const { return std::max(viewport()->height() / std::max(rowSize_.height(), 1), 1); }

// ---- geometry --------------------------------------------------------------------------

int RowList::horizontalOffset() const { return horizontalScrollBar()->value(); }

int RowList::verticalOffset() const { return verticalScrollBar()->value() * rowSize_.height(); }

void RowList::updateGeometries() {
  const int rows = RowCount();
  const int inView = RowsInView();
  verticalScrollBar()->setRange(0, std::max(rows - inView, 0));
  verticalScrollBar()->setSingleStep(1);
  verticalScrollBar()->setPageStep(inView);
  const int width = rowSize_.width();
  horizontalScrollBar()->setRange(0, std::max(width - viewport()->width(), 0));
  horizontalScrollBar()->setSingleStep(std::max(fontMetrics().averageCharWidth(), 1));
  horizontalScrollBar()->setPageStep(viewport()->width());
  QAbstractItemView::updateGeometries();
}

QRect RowList::visualRect(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != model()) return {};
  return QRect(-horizontalOffset(), index.row() * rowSize_.height() - verticalOffset(), rowSize_.width(),
               rowSize_.height());
}

QModelIndex RowList::indexAt(const QPoint& point) const {
  if (point.y() < 0 || !model()) return {};
  const int row = (point.y() + verticalOffset()) / std::max(rowSize_.height(), 1);
  if (row >= RowCount() || point.x() + horizontalOffset() >= rowSize_.width()) return {};
  return model()->index(row, 0, rootIndex());
}

void RowList::scrollTo(const QModelIndex& index, ScrollHint hint) {
  if (!index.isValid()) return;
  QScrollBar* bar = verticalScrollBar();
  const int row = index.row(), top = bar->value(), inView = RowsInView();
  switch (hint) {
    case PositionAtTop: bar->setValue(row); break;
    case PositionAtBottom: bar->setValue(row - inView + 1); break;
    case PositionAtCenter: bar->setValue(row - inView / 2); break;
    case EnsureVisible:
      if (row < top)
        bar->setValue(row);
      else if (row >= top + inView)
        bar->setValue(row - inView + 1);
      break;
  }
}

// ---- the cursor and the selection -----------------------------------------------------------

QModelIndex RowList::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
  const int rows = RowCount();
  if (rows == 0) return {};
  const QModelIndex current = currentIndex();
  int row = current.isValid() ? current.row() : -1;
  switch (action) {
    case MoveUp:
    case MovePrevious: row = row < 0 ? 0 : row - 1; break;
    case MoveDown:
    case MoveNext: row = row + 1; break;
    case MovePageUp: row = row < 0 ? 0 : row - RowsInView(); break;
    case MovePageDown: row = std::max(row, 0) + RowsInView(); break;
    case MoveHome: row = 0; break;
    case MoveEnd: row = rows - 1; break;
    case MoveLeft:
    case MoveRight: return current;
  }
  return model()->index(std::clamp(row, 0, rows - 1), 0, rootIndex());
}

QItemSelectionModel::SelectionFlags RowList::selectionCommand(const QModelIndex& index, const QEvent* event) const {
  const QItemSelectionModel::SelectionFlags command = QAbstractItemView::selectionCommand(index, event);
  if (!index.isValid()) return QItemSelectionModel::NoUpdate;
  if (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)) return QItemSelectionModel::NoUpdate;
  return command;
}

void RowList::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
  const QRect area = rect.normalized();
  const QModelIndex top = indexAt(QPoint(0, area.top())), bottom = indexAt(QPoint(0, area.bottom()));
  if (!top.isValid()) return;
  selectionModel()->select(QItemSelection(top, bottom.isValid() ? bottom : top), command);
}

QRegion RowList::visualRegionForSelection(const QItemSelection& selection) const {
  QRegion region;
  for (const QItemSelectionRange& range : selection) {
    const QRect first = visualRect(model()->index(range.top(), 0, rootIndex()));
    const QRect last = visualRect(model()->index(range.bottom(), 0, rootIndex()));
    region += first.united(last).intersected(viewport()->rect());
  }
  return region;
}

void RowList::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) {
  if (roles.isEmpty() || roles.contains(Qt::SizeHintRole)) {
    TakeRowSize();
    updateGeometries();
  }
  QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
}

// ---- painting and keys ------------------------------------------------------------------------

void RowList::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const int rows = RowCount();
  if (rows == 0) return;
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  const QStyle::State base = option.state;
  const QModelIndex current = currentIndex();
  const int first = verticalScrollBar()->value();
  const int last = std::min(rows - 1, first + RowsInView() + 1);
  for (int row = first; row <= last; ++row) {
    const QModelIndex index = model()->index(row, 0, rootIndex());
    option.rect = visualRect(index);
    if (!option.rect.intersects(event->rect())) continue;
    option.state = base;
    if (selectionModel() && selectionModel()->isSelected(index)) option.state |= QStyle::State_Selected;
    if (index == current && hasFocus()) option.state |= QStyle::State_HasFocus;
    itemDelegateForIndex(index)->paint(&painter, option, index);
  }
}

void RowList::keyPressEvent(QKeyEvent* event) {
  // Left and Right scroll a wide row sideways, as in a list box.
  if (event->modifiers() == Qt::NoModifier && (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)) {
    horizontalScrollBar()->triggerAction(event->key() == Qt::Key_Left ? QAbstractSlider::SliderSingleStepSub
                                                                      : QAbstractSlider::SliderSingleStepAdd);
    return;
  }
  QAbstractItemView::keyPressEvent(event);
}

// ---- the program's use ---------------------------------------------------------------------

void SelectListRow(QAbstractItemView& list, int row) {
  QItemSelectionModel* selection = list.selectionModel();
  QAbstractItemModel* model = list.model();
  if (!selection || !model) return;
  if (row < 0 || row >= model->rowCount()) {
    selection->clear();
    return;
  }
  const QModelIndex index = model->index(row, 0);
  selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  // A hidden list has no size to scroll by: showing it scrolls.
  if (!list.isHidden()) list.scrollTo(index);
}

int SelectedListRow(const QAbstractItemView& list) {
  const QItemSelectionModel* selection = list.selectionModel();
  if (!selection) return -1;
  const QModelIndexList rows = selection->selectedRows();
  return rows.isEmpty() ? -1 : rows.front().row();
}

}  // namespace cavel
