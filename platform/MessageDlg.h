// The Dialogs port on QMessageBox: the window title by kind ("警告", "ｴﾗｰ",
// "情報", "確認"), the icon by kind, the buttons with their captions in the
// order of their bits, the first of them the default, and the text exactly
// as given except that each LF CR pair is one line break.
#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "core/Dialogs.h"

namespace cavel {

// The text a box shows for a message text: LF CR is one line break.
QString MessageText(std::string_view text);

// A message box built but not shown, with the button each QPushButton stands for.
struct BuiltMessageBox {
  std::unique_ptr<QMessageBox> box;
  std::map<QAbstractButton*, MsgButton> buttons;
  // The button pressed, or the set's escape button when the box was closed
  // without one.
  MsgButton Result(MsgButtons set) const;
};
BuiltMessageBox BuildMessageBox(const std::string& text, MsgKind kind, MsgButtons buttons, QWidget* parent);

class MessageDlg : public Dialogs {
 public:
  // `parent` is the window the boxes belong to when no other window of the
  // program is active; null before any window exists.
  explicit MessageDlg(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  MsgButton ShowMessageDlg(const std::string& text, MsgKind kind, MsgButtons buttons) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace cavel
