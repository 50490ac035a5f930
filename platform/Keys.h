// Keys as every window of the program tests them.
//
// A window binds its key handler to the controls that have one (KeyHook);
// the handler sees each key press with the modifiers the user holds and
// tests them exactly. Only key presses count: Enter that confirms an input
// method's conversion arrives as a QInputMethodEvent, is part of typing, and
// never reaches a handler.
#pragma once

#include <QKeyEvent>
#include <QObject>
#include <functional>
#include <initializer_list>
#include <string_view>

#include "core/Dialogs.h"

class QWidget;

namespace cavel {

// The modifiers held: Shift, Ctrl, Alt and Meta (the keypad flag is not one).
Qt::KeyboardModifiers HeldModifiers(const QKeyEvent& e);

// `key` with exactly `modifiers` held.
bool IsKey(const QKeyEvent& e, int key, Qt::KeyboardModifiers modifiers);
// Esc, whatever modifiers are held.
bool IsEsc(const QKeyEvent& e);
// Enter (the main key or the keypad's), whatever modifiers are held.
bool IsEnter(const QKeyEvent& e);
// Enter with exactly `modifiers` held.
bool IsEnterWith(const QKeyEvent& e, Qt::KeyboardModifiers modifiers);
// Ctrl+[ with Ctrl as the only modifier: the key that types '[' (Qt reports
// it as Key_BracketLeft, its text being the control character ESC).
bool IsCtrlBracket(const QKeyEvent& e);
// F4 with no modifier.
bool IsPlainF4(const QKeyEvent& e);

// Ctrl+[: a window in the normal state is maximized; a maximized or
// minimized one goes back to normal.
void ToggleMaximized(QWidget& window);

// Esc in a window: with `ask` set, asks `question` (information, はい(&Y) and
// いいえ(&N)) and closes only on はい(&Y); otherwise closes at once. True when
// the window was closed.
bool EscClose(QWidget& window, Dialogs& dialogs, bool ask, std::string_view question);

// Calls a handler for every key press on the controls it is bound to. The
// handler returns true to keep the key from the control; of the main
// window's handlers only the grid's does, for the keys of its cells.
class KeyHook : public QObject {
  Q_OBJECT
 public:
  using Handler = std::function<bool(QKeyEvent&)>;
  // The hook lives as long as `owner`.
  KeyHook(QObject* owner, Handler handler);
  void Bind(QWidget* control);
  void Bind(std::initializer_list<QWidget*> controls);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Handler handler_;
};

}  // namespace cavel
