#include "windows/Itemset.h"

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

  // The panel's buttons in tab order; each opening puts the list in front of them.
  constexpr int top = 0, bottom = 24, bottomRight = 25;
  MakePanelButtons<TForm3>({
      {BtnSave, "BtnSave", msg::kBtnSave, 0, top, &TForm3::BtnSaveClick},
      {BtnCancel, "BtnCancel", msg::kBtnCancel, 0, bottom, &TForm3::BtnCancelClick},
      {BtnUp, "BtnUp", msg::kBtnUp, 100, top, &TForm3::BtnUpClick},
      {BtnDown, "BtnDown", msg::kBtnDown, 100, bottom, &TForm3::BtnDownClick},
      {BtnCut, "BtnCut", msg::kBtnCut, 200, top, &TForm3::BtnCutClick},
      {BtnCopy, "BtnCopy", msg::kBtnCopy, 200, bottom, &TForm3::BtnCopyClick},
      {BtnPrevPaste, "BtnPrevPaste", msg::kBtnPrevPaste, 400, top, &TForm3::BtnPrevPasteClick},
      {BtnDelete, "BtnDelete", msg::kBtnDelete, 300, bottom, &TForm3::BtnDeleteClick},
      {BtnPrevAdd, "BtnPrevAdd", msg::kBtnPrevAdd, 500, top, &TForm3::BtnPrevAddClick},
      {BtnNextPaste, "BtnNextPaste", msg::kBtnNextPaste, 400, bottomRight, &TForm3::BtnNextPasteClick},
      {BtnNextAdd, "BtnNextAdd", msg::kBtnNextAdd, 500, bottomRight, &TForm3::BtnNextAddClick},
  });

  Keys([this](QKeyEvent& e) {
    return FormKeyDown(e);
  }).Bind({ListBox1, BtnSave, BtnCancel, BtnUp, BtnDown, BtnCut, BtnCopy, BtnDelete, BtnPrevPaste});
  // 前に追加, 後に貼付 and 後に追加 take none of the window's keys, and the
  // keys stop there instead of reaching the window.
  auto* inert = new KeyHook(this, [](QKeyEvent& e) { return IsEsc(e) || IsEnter(e) || IsCtrlBracket(e); });
  inert->Bind({BtnPrevAdd, BtnNextPaste, BtnNextAdd});
}

Opening TForm3::FormDisp() {
  BtnPrevPaste->setEnabled(false);
  BtnNextPaste->setEnabled(false);
  rows_.Open(State());
  ListBoxDisp();
  MakeListFirstInTabOrder();
  return Opening::Show;
}

void TForm3::FormClose() {
  EditorWindow::FormClose();
  // The working copy is of no use once the window has closed.
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
