#include "windows/Itemset.h"

#include <QListView>
#include <QPushButton>
#include <QShowEvent>

#include "core/Messages.h"
#include "windows/EditorLayout.h"
#include "windows/LinesModel.h"

namespace cavel {

TForm3::TForm3(MainHost& main)
    : EditorWindow(main, msg::kCaptionItemset, QSize(kDesignWidth, kDesignHeight), kWinItemset, Sizing::Resizable) {
  setObjectName(QStringLiteral("TForm3"));
  BuildList(rows_);

  constexpr int top = 0, bottom = 24, bottomRight = 25;
  BtnSave = PanelButton(Panel1, "BtnSave", msg::kBtnSave, 0, top);
  BtnCancel = PanelButton(Panel1, "BtnCancel", msg::kBtnCancel, 0, bottom);
  BtnUp = PanelButton(Panel1, "BtnUp", msg::kBtnUp, 100, top);
  BtnDown = PanelButton(Panel1, "BtnDown", msg::kBtnDown, 100, bottom);
  BtnCut = PanelButton(Panel1, "BtnCut", msg::kBtnCut, 200, top);
  BtnCopy = PanelButton(Panel1, "BtnCopy", msg::kBtnCopy, 200, bottom);
  BtnDelete = PanelButton(Panel1, "BtnDelete", msg::kBtnDelete, 300, bottom);
  BtnPrevPaste = PanelButton(Panel1, "BtnPrevPaste", msg::kBtnPrevPaste, 400, top);
  BtnNextPaste = PanelButton(Panel1, "BtnNextPaste", msg::kBtnNextPaste, 400, bottomRight);
  BtnPrevAdd = PanelButton(Panel1, "BtnPrevAdd", msg::kBtnPrevAdd, 500, top);
  BtnNextAdd = PanelButton(Panel1, "BtnNextAdd", msg::kBtnNextAdd, 500, bottomRight);

  const std::pair<QPushButton*, void (TForm3::*)()> handlers[] = {
      {BtnSave, &TForm3::BtnSaveClick},         {BtnCancel, &TForm3::BtnCancelClick},
      {BtnUp, &TForm3::BtnUpClick},             {BtnDown, &TForm3::BtnDownClick},
      {BtnCut, &TForm3::BtnCutClick},           {BtnCopy, &TForm3::BtnCopyClick},
      {BtnDelete, &TForm3::BtnDeleteClick},     {BtnPrevPaste, &TForm3::BtnPrevPasteClick},
      {BtnNextPaste, &TForm3::BtnNextPasteClick}, {BtnPrevAdd, &TForm3::BtnPrevAddClick},
      {BtnNextAdd, &TForm3::BtnNextAddClick},
  };
  for (const auto& [button, handler] : handlers)
    connect(button, &QPushButton::clicked, this, [this, handler = handler] { (this->*handler)(); });

  // The panel's tab order; each opening puts the list in front of it.
  QWidget* order[] = {BtnSave, BtnCancel, BtnUp, BtnDown, BtnCut, BtnCopy,
                      BtnPrevPaste, BtnDelete, BtnPrevAdd, BtnNextPaste, BtnNextAdd};
  for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);

  Keys([this](QKeyEvent& e) { return FormKeyDown(e); })
      .Bind({ListBox1, BtnSave, BtnCancel, BtnUp, BtnDown, BtnCut, BtnCopy, BtnDelete, BtnPrevPaste});
  // 前に追加, 後に貼付 and 後に追加 take none of the window's keys, and the
  // keys stop there instead of reaching the window.
  auto* inert = new KeyHook(this, [](QKeyEvent& e) { return IsEsc(e) || IsEnter(e) || IsCtrlBracket(e); });
  inert->Bind({BtnPrevAdd, BtnNextPaste, BtnNextAdd});
}

void TForm3::FormDisp() {
  BtnPrevPaste->setEnabled(false);
  BtnNextPaste->setEnabled(false);
  rows_.Open(State());
  ListBoxDisp();
  MakeListFirstInTabOrder();
  ShowModal();
  // The working copy is of no use once the window has closed (HeldLine stays).
  ListBox1Model->Clear();
  rows_.Release();
}

void TForm3::ListBoxDisp() { RefillList(); }

void TForm3::MakeListFirstInTabOrder() {
  QWidget::setTabOrder(ListBox1, BtnSave);
  ListBox1->setFocus();
}

void TForm3::ShowChange(const ListChange& change) {
  EditorWindow::ShowChange(change);
  BtnPrevPaste->setEnabled(rows_.PasteEnabled());
  BtnNextPaste->setEnabled(rows_.PasteEnabled());
}

void TForm3::BtnSaveClick() {
  rows_.Save(State(), Main().Dlg());
  accept();
}

void TForm3::BtnCancelClick() {
  rows_.Cancel(State());
  reject();
}

void TForm3::BtnCutClick() { ShowChange(rows_.Cut()); }

void TForm3::BtnCopyClick() {
  rows_.Copy();
  ShowChange({});
}

void TForm3::BtnPrevPasteClick() { ShowChange(rows_.PrevPaste(Main().Dlg())); }

void TForm3::BtnNextPasteClick() { ShowChange(rows_.NextPaste(Main().Dlg())); }

void TForm3::BtnPrevAddClick() { ShowChange(rows_.PrevAdd(Main().Dlg())); }

void TForm3::BtnNextAddClick() { ShowChange(rows_.NextAdd(Main().Dlg())); }

}  // namespace cavel
