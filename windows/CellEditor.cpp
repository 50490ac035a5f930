#include "windows/CellEditor.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>

#include "platform/Keys.h"

namespace cavel {

CellEditor::CellEditor(QWidget* parent) : QLineEdit(parent) {
  setObjectName(QStringLiteral("CellEditor"));
  // Drawn inside the cell's grid lines, outlined so that the cell being
  // edited stands out from the others.
  setFrame(false);
  setAutoFillBackground(true);
  setStyleSheet(QStringLiteral("QLineEdit { border: 2px solid palette(highlight); padding: 0 1px; }"));
}

void CellEditor::keyPressEvent(QKeyEvent* event) {
  if (!composing_ && IsEnter(*event)) {
    event->accept();
    emit committed();
    return;
  }
  if (!composing_ && IsEsc(*event)) {
    event->accept();
    emit cancelled();
    return;
  }
  QLineEdit::keyPressEvent(event);
  event->accept();
}

void CellEditor::inputMethodEvent(QInputMethodEvent* event) {
  QLineEdit::inputMethodEvent(event);
  composing_ = !event->preeditString().isEmpty();
}

void CellEditor::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  switch (event->reason()) {
    // A menu, a message box or another window: the editor is still the
    // focus of its window.
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason: return;
    default:
      // After the event that moved the focus: a click on another cell has
      // made that cell current by then.
      QMetaObject::invokeMethod(
          this, [this] { emit left(); }, Qt::QueuedConnection);
  }
}

GridView::GridView(QWidget* parent) : QTableView(parent) { setAttribute(Qt::WA_InputMethodEnabled); }

void GridView::inputMethodEvent(QInputMethodEvent* event) {
  if (onInputMethod && onInputMethod(*event)) {
    event->accept();
    return;
  }
  // Not the view's own use of typing (a search for a cell by its text).
  event->ignore();
}

QVariant GridView::inputMethodQuery(Qt::InputMethodQuery query) const {
  if (!composing_) return QTableView::inputMethodQuery(query);
  const QVariant value = composing_->inputMethodQuery(query);
  const QPoint offset = composing_->mapTo(this, QPoint());
  switch (value.typeId()) {
    case QMetaType::QRect: return value.toRect().translated(offset);
    case QMetaType::QRectF: return value.toRectF().translated(offset);
    default: return value;
  }
}

}  // namespace cavel
