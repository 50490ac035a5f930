#include "windows/Convert.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/Messages.h"
#include "core/QuoteConvert.h"
#include "platform/QtText.h"
#include "windows/ButtonBar.h"
#include "windows/LinesModel.h"
#include "windows/RowList.h"

namespace cavel {

namespace {

constexpr int kListFontHeight = 19;

}  // namespace

TForm10::TForm10(MainHost& main)
    : ChildWindow(main, msg::kCaptionConvert, QSize(kDesignWidth, kDesignHeight), kWinConvert, Sizing::Resizable) {
  setObjectName(QStringLiteral("TForm10"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  QHBoxLayout* bar = NewButtonBar();
  auto button = [&](QPushButton*& b, const char* name, std::string_view caption, void (TForm10::*handler)()) {
    b = AddBarButton(*bar, this, name, caption, kButtonHeight - 2);
    connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
  };
  button(BtnCancel, "BtnCancel", msg::kBtnCancel, &TForm10::BtnCancelClick);
  button(BtnQuatationAddSave, "BtnQuatationAddSave", msg::kBtnQuatationAddSave, &TForm10::BtnQuatationAddSaveClick);
  button(BtnQuatationDelSave, "BtnQuatationDelSave", msg::kBtnQuatationDelSave, &TForm10::BtnQuatationDelSaveClick);
  bar->addStretch();
  layout->addLayout(bar);

  ListBox1Model = new LinesModel(lines_, ListRowSize(State().ListWidthAtStart), this);
  ListBox1 = new RowList(this, ListBox1Model, kListFontHeight);
  layout->addWidget(ListBox1, 1);

  Keys([this](QKeyEvent& e) {
    return FormKeyDown(e);
  }).Bind({BtnCancel, BtnQuatationAddSave, BtnQuatationDelSave, ListBox1});
}

Opening TForm10::FormDisp() {
  ListBox1Model->Clear();
  lines_.clear();
  ListBoxDisp();
  SelectListRow(*ListBox1, 0);
  ListBox1->setFocus();
  return Opening::Show;
}

void TForm10::ListBoxDisp() {
  lines_ = State().Document;
  ListBox1Model->Clear();
  // The same horizontal extent as the main window's list.
  ListBox1Model->SetRowSize(ListRowSize(State().ListWidthAtStart));
  ListBox1Model->Refill();
}

void TForm10::BtnQuatationAddSaveClick() {
  ConvertQuotes(State(), QuoteMode::Add, Main().Dlg());
  close();
}

void TForm10::BtnQuatationDelSaveClick() {
  ConvertQuotes(State(), QuoteMode::Remove, Main().Dlg());
  close();
}

void TForm10::BtnCancelClick() {
  State().CurrentLine = Main().ListSelection();
  close();
}

bool TForm10::FormKeyDown(QKeyEvent& key) {
  if (CloseOrMaximizeKey(key)) return true;
  return false;
}

void TForm10::FormClose() {
  ChildWindow::FormClose();
  ListBox1Model->Clear();
  lines_.clear();
}

}  // namespace cavel
