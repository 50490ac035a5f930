#include "windows/Exchange.h"

#include <QPushButton>
#include <QShowEvent>

#include "core/Messages.h"
#include "windows/EditorLayout.h"
#include "windows/LinesModel.h"

namespace cavel {

TForm8::TForm8(MainHost& main)
    : EditorWindow(main, msg::kCaptionExchange, QSize(kDesignWidth, kDesignHeight), kWinExchange, Sizing::Resizable) {
  setObjectName(QStringLiteral("TForm8"));
  BuildList(items_);

  // The panel's buttons in tab order.
  constexpr int top = 0, bottom = 24;
  MakePanelButtons<TForm8>({
      {BtnCancel, "BtnCancel", msg::kBtnCancel, 0, bottom, &TForm8::BtnCancelClick},
      {BtnUp, "BtnUp", msg::kBtnUp, 100, top, &TForm8::BtnUpClick},
      {BtnDown, "BtnDown", msg::kBtnDown, 100, bottom, &TForm8::BtnDownClick},
      {BtnAdd, "BtnAdd", msg::kBtnAdd, 200, top, &TForm8::BtnAddClick},
      {BtnDelete, "BtnDelete", msg::kBtnDelete, 200, bottom, &TForm8::BtnDeleteClick},
      {BtnSave, "BtnSave", msg::kBtnSave, 0, top, &TForm8::BtnSaveClick},
      {BtnSpecial, "BtnSpecial", msg::kBtnSpecial, 300, top, &TForm8::BtnSpecialClick},
  });

  Keys([this](QKeyEvent& e) {
    return FormKeyDown(e);
  }).Bind({ListBox1, BtnSave, BtnCancel, BtnUp, BtnDown, BtnAdd, BtnDelete, BtnSpecial});
}

Opening TForm8::FormDisp() {
  if (!items_.Open(State(), Main().Dlg())) {
    // Closed without ever being shown: FormClose runs all the same.
    FormClose();
    return Opening::Closed;
  }
  ListBoxDisp();
  QWidget::setTabOrder(ListBox1, BtnCancel);
  ListBox1->setFocus();
  return Opening::Show;
}

void TForm8::ListBoxDisp() {
  items_.SetCursor(0);
  RefillList();
}

void TForm8::BtnSaveClick() {
  items_.Save(State(), Main().Dlg());
  accept();
}

void TForm8::BtnCancelClick() { reject(); }

void TForm8::BtnAddClick() {
  items_.AddSave(State(), Main().Dlg());
  accept();
}

void TForm8::BtnSpecialClick() {
  items_.SpecialSave(State(), Main().Dlg());
  accept();
}

}  // namespace cavel
