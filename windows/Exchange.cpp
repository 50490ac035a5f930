#include "windows/Exchange.h"

#include <QListView>
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

  constexpr int top = 0, bottom = 24;
  BtnSave = PanelButton(Panel1, "BtnSave", msg::kBtnSave, 0, top);
  BtnCancel = PanelButton(Panel1, "BtnCancel", msg::kBtnCancel, 0, bottom);
  BtnUp = PanelButton(Panel1, "BtnUp", msg::kBtnUp, 100, top);
  BtnDown = PanelButton(Panel1, "BtnDown", msg::kBtnDown, 100, bottom);
  BtnAdd = PanelButton(Panel1, "BtnAdd", msg::kBtnAdd, 200, top);
  BtnDelete = PanelButton(Panel1, "BtnDelete", msg::kBtnDelete, 200, bottom);
  BtnSpecial = PanelButton(Panel1, "BtnSpecial", msg::kBtnSpecial, 300, top);

  const std::pair<QPushButton*, void (TForm8::*)()> handlers[] = {
      {BtnSave, &TForm8::BtnSaveClick},     {BtnCancel, &TForm8::BtnCancelClick}, {BtnUp, &TForm8::BtnUpClick},
      {BtnDown, &TForm8::BtnDownClick},     {BtnAdd, &TForm8::BtnAddClick},       {BtnDelete, &TForm8::BtnDeleteClick},
      {BtnSpecial, &TForm8::BtnSpecialClick},
  };
  for (const auto& [button, handler] : handlers)
    connect(button, &QPushButton::clicked, this, [this, handler = handler] { (this->*handler)(); });

  QWidget* order[] = {BtnCancel, BtnUp, BtnDown, BtnAdd, BtnDelete, BtnSave, BtnSpecial};
  for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);

  Keys([this](QKeyEvent& e) { return FormKeyDown(e); })
      .Bind({ListBox1, BtnSave, BtnCancel, BtnUp, BtnDown, BtnAdd, BtnDelete, BtnSpecial});
}

void TForm8::FormDisp() {
  if (!items_.Open(State(), Main().Dlg())) {
    // Closed without ever being shown: FormClose runs all the same.
    ListBox1Model->Clear();
    FormClose();
    return;
  }
  ListBoxDisp();
  QWidget::setTabOrder(ListBox1, BtnCancel);
  ListBox1->setFocus();
  ShowModal();
  ListBox1Model->Clear();
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
