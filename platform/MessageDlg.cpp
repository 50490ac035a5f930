#include "platform/MessageDlg.h"

#include <QApplication>
#include <QPushButton>

#include "platform/QtText.h"

namespace cavel {

QString MessageText(std::string_view text) {
  std::string s;
  s.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && i + 1 < text.size() && text[i + 1] == '\r') {
      s += '\n';
      ++i;
    } else {
      s += text[i];
    }
  }
  return Utf8(s);
}

namespace {

QMessageBox::Icon IconOf(MsgKind kind) {
  switch (kind) {
    case MsgKind::Warning: return QMessageBox::Warning;
    case MsgKind::Error: return QMessageBox::Critical;
    case MsgKind::Information: return QMessageBox::Information;
    case MsgKind::Confirmation: return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

MsgButton BuiltMessageBox::Result(MsgButtons set) const {
  auto it = buttons.find(box->clickedButton());
  if (it != buttons.end()) return it->second;
  return EscapeButton(set);
}

BuiltMessageBox BuildMessageBox(const std::string& text, MsgKind kind, MsgButtons buttons, QWidget* parent) {
  BuiltMessageBox built;
  built.box = std::make_unique<QMessageBox>(parent);
  QMessageBox& box = *built.box;
  box.setWindowTitle(Utf8(KindCaption(kind)));
  box.setIcon(IconOf(kind));
  box.setTextFormat(Qt::PlainText);
  box.setText(MessageText(text));
  QAbstractButton* first = nullptr;
  QAbstractButton* escape = nullptr;
  const MsgButton escapeButton = EscapeButton(buttons);
  for (MsgButton b : ButtonsInOrder(buttons)) {
    // One role for all, so that the button box keeps them in bit order
    // whatever the desktop's button layout prefers.
    QPushButton* button = box.addButton(Utf8(ButtonCaption(b)), QMessageBox::ActionRole);
    built.buttons[button] = b;
    if (!first) first = button;
    if (b == escapeButton) escape = button;
  }
  if (first) box.setDefaultButton(static_cast<QPushButton*>(first));
  if (escape) box.setEscapeButton(escape);
  return built;
}

MsgButton MessageDlg::ShowMessageDlg(const std::string& text, MsgKind kind, MsgButtons buttons) {
  QWidget* parent = QApplication::activeModalWidget();
  if (!parent) parent = QApplication::activeWindow();
  if (!parent) parent = parent_;
  if (parent && !parent->isVisible()) parent = nullptr;
  BuiltMessageBox built = BuildMessageBox(text, kind, buttons, parent);
  built.box->exec();
  return built.Result(buttons);
}

}  // namespace cavel
