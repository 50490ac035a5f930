#include "platform/Keys.h"

#include <QWidget>

namespace cavel {

Qt::KeyboardModifiers HeldModifiers(const QKeyEvent& e) {
  return e.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}

bool IsKey(const QKeyEvent& e, int key, Qt::KeyboardModifiers modifiers) {
  return e.key() == key && HeldModifiers(e) == modifiers;
}

bool IsEsc(const QKeyEvent& e) { return e.key() == Qt::Key_Escape; }

bool IsEnter(const QKeyEvent& e) { return e.key() == Qt::Key_Return || e.key() == Qt::Key_Enter; }

bool IsEnterWith(const QKeyEvent& e, Qt::KeyboardModifiers modifiers) {
  return IsEnter(e) && HeldModifiers(e) == modifiers;
}

bool IsCtrlBracket(const QKeyEvent& e) { return IsKey(e, Qt::Key_BracketLeft, Qt::ControlModifier); }

bool IsPlainF4(const QKeyEvent& e) { return IsKey(e, Qt::Key_F4, Qt::NoModifier); }

void ToggleMaximized(QWidget& window) {
  if (window.windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))
    window.showNormal();
  else
    window.showMaximized();
}

bool EscClose(QWidget& window, Dialogs& dialogs, bool ask, std::string_view question) {
  if (ask && !Ask(dialogs, std::string(question))) return false;
  window.close();
  return true;
}

KeyHook::KeyHook(QObject* owner, Handler handler) : QObject(owner), handler_(std::move(handler)) {}

void KeyHook::Bind(QWidget* control) {
  if (control) control->installEventFilter(this);
}

void KeyHook::Bind(std::initializer_list<QWidget*> controls) {
  for (QWidget* c : controls) Bind(c);
}

bool KeyHook::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && handler_) return handler_(*static_cast<QKeyEvent*>(event));
  return QObject::eventFilter(watched, event);
}

}  // namespace cavel
