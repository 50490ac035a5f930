// The base of the fifteen windows other than the main window.
//
// A child window is made once at start-up with the main window as its
// host, keeps its design caption and size, and is shown modally by a
// command of the main window (ShowModal). It closes by a button, by Esc or
// by its title bar; whatever closed it, FormClose runs afterwards (for a
// window with a remembered placement it captures the bounds).
//
// Keys: QDialog's own Esc (reject) and Enter (press the default button) are
// switched off. A key that no control handled and that reaches the window
// itself is served by keyPressEvent: Esc closes the window, asking
// "    一覧画面に戻りますか。           " first when CloseDialogDisp is on.
// A window binds its FormKeyDown to its controls with Keys().Bind(...);
// a handler that acts on a key returns true, so that the key does not also
// reach the window.
#pragma once

#include <QDialog>
#include <QSize>
#include <string_view>

#include "platform/Keys.h"
#include "windows/MainHost.h"

namespace cavel {

enum class Sizing { Resizable, Fixed };

// What an editing window's FormDisp decided for one opening (the main
// window's RunChild acts on it).
enum class Opening {
  Show,     // filled: shown modally, then the return refresh
  Closed,   // closed without being shown, its messages said why: the return refresh all the same
  Refused,  // not opened: the command ends here and nothing is refreshed
};

class ChildWindow : public QDialog {
  Q_OBJECT
 public:
  // `number` is the window number of a remembered placement (2, 3, 7, 8, 9,
  // 10, 15), 0 for a window without one.
  ChildWindow(MainHost& main, std::string_view caption, QSize designSize, int number, Sizing sizing);

  MainHost& Main() const { return main_; }
  MainState& State() const { return main_.State(); }
  QSize DesignSize() const { return design_; }
  int WindowNumber() const { return number_; }

  // PlaceWindow for a window with a number (saved bounds or centred), else
  // centred with its design size; made reachable on the screens, and in the
  // normal state whatever state it was closed in.
  void Place();
  // Shows the window modally (through the main window) and returns its result.
  int ShowModal();

  // Esc as the windows share it: closes, after the question when
  // CloseDialogDisp is on. True when the window closed.
  bool EscClose();
  // Ctrl+[: normal <-> maximized.
  void ToggleMaximized();
  // The two keys the resizable windows share: Esc (EscClose) and Ctrl+[
  // (ToggleMaximized). True when `key` was one of them.
  bool CloseOrMaximizeKey(QKeyEvent& key);
  // The key hook of this window's FormKeyDown; `handler` is set once.
  KeyHook& Keys(KeyHook::Handler handler = {});

 protected:
  // Runs after the window has closed, whatever closed it.
  virtual void FormClose();
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  MainHost& main_;
  QSize design_;
  int number_;
  Placement placed_;
  KeyHook* keys_ = nullptr;
};

}  // namespace cavel
