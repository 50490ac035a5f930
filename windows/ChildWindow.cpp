#include "windows/ChildWindow.h"

#include <QPushButton>
#include <QString>

#include "core/Messages.h"
#include "platform/Placement.h"
#include "platform/QtText.h"

namespace cavel {

ChildWindow::ChildWindow(MainHost& main, std::string_view caption, QSize designSize, int number, Sizing sizing)
    : QDialog(main.MainWindow()), main_(main), design_(designSize), number_(number) {
  setWindowTitle(Utf8(caption));
  setModal(true);
  if (sizing == Sizing::Fixed) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(designSize);
  } else {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    resize(designSize);
  }
  connect(this, &QDialog::finished, this, [this] { FormClose(); });
}

void ChildWindow::Place() {
  if (number_ > 0)
    placed_ = PlaceWidget(*this, State(), number_, design_, main_.Screens());
  else
    placed_ = CentreWidget(*this, design_, main_.Screens());
}

int ChildWindow::ShowModal() { return main_.ShowModal(*this); }

bool ChildWindow::EscClose() {
  return cavel::EscClose(*this, main_.Dlg(), State().CloseDialogDisp, msg::kAskBackToList);
}

bool ChildWindow::CloseOrMaximizeKey(QKeyEvent& key) {
  if (IsEsc(key)) {
    EscClose();
    return true;
  }
  if (IsCtrlBracket(key)) {
    ToggleMaximized();
    return true;
  }
  return false;
}

void ChildWindow::ToggleMaximized() { cavel::ToggleMaximized(*this); }

KeyHook& ChildWindow::Keys(KeyHook::Handler handler) {
  if (!keys_) keys_ = new KeyHook(this, std::move(handler));
  return *keys_;
}

void ChildWindow::FormClose() {
  if (number_ > 0) CaptureWidgetBounds(State(), number_, *this, placed_);
}

void ChildWindow::keyPressEvent(QKeyEvent* event) {
  if (IsEsc(*event)) {
    EscClose();
    event->accept();
    return;
  }
  if (IsEnter(*event)) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void ChildWindow::showEvent(QShowEvent* event) {
  // Enter on a button is not a click here: the windows give Enter their own meaning.
  for (QPushButton* button : findChildren<QPushButton*>()) {
    button->setAutoDefault(false);
    button->setDefault(false);
  }
  QDialog::showEvent(event);
}

}  // namespace cavel
