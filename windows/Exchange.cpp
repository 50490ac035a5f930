#include "windows/Exchange.h"

#include <QItemSelectionModel>
#include <QListView>
#include <QPushButton>
#include <QShowEvent>

#include "core/Messages.h"
#include "windows/EditListModel.h"
#include "windows/EditorLayout.h"

namespace cavel {

TForm8::TForm8(MainHost& main)
    : ChildWindow(main, msg::kCaptionExchange, QSize(kDesignWidth, kDesignHeight), kWinExchange, Sizing::Resizable) {
  setObjectName(QStringLiteral("TForm8"));

  const QSize rowSize = EditorRowSize(State().ListWidthAtStart);
  ListBox1Model = new EditListModel([this] { return items_.EntryCount(); }, [this](int row) { return items_.Entry(row); },
                                    rowSize, this, EditorDisplayBytes(rowSize.width()));
  const EditorLayout parts = MakeEditorLayout(*this, ListBox1Model);
  Panel1 = parts.panel;
  ListBox1 = parts.list;

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

  QItemSelectionModel* selection = ListBox1->selectionModel();
  connect(selection, &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
    if (!selecting_ && current.isValid()) items_.SetCursor(current.row());
  });
  connect(selection, &QItemSelectionModel::selectionChanged, this, [this] {
    if (!selecting_ && SelectedListRow(*ListBox1) < 0 && items_.Cursor() >= 0) SelectCursorRow();
  });
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
  selecting_ = true;
  ListBox1Model->Refill();
  selecting_ = false;
  items_.SetCursor(0);
  SelectCursorRow();
}

void TForm8::showEvent(QShowEvent* event) {
  ChildWindow::showEvent(event);
  // The row was selected while the list had no size of its own: bring it
  // into view now, from the top of the list when it is on the first page.
  if (!event->spontaneous()) {
    ListBox1->scrollToTop();
    ListBox1->scrollTo(ListBox1->currentIndex());
  }
}

void TForm8::SelectCursorRow() {
  selecting_ = true;
  SelectListRow(*ListBox1, items_.Cursor());
  selecting_ = false;
}

void TForm8::Show(const ListChange& change) {
  selecting_ = true;
  ListBox1Model->Apply(change);
  selecting_ = false;
  SelectCursorRow();
}

void TForm8::BtnSaveClick() {
  items_.Save(State(), Main().Dlg());
  accept();
}

void TForm8::BtnCancelClick() { reject(); }

void TForm8::BtnUpClick() { Show(items_.Up()); }

void TForm8::BtnDownClick() { Show(items_.Down()); }

void TForm8::BtnDeleteClick() { Show(items_.Delete()); }

void TForm8::BtnAddClick() {
  items_.AddSave(State(), Main().Dlg());
  accept();
}

void TForm8::BtnSpecialClick() {
  items_.SpecialSave(State(), Main().Dlg());
  accept();
}

bool TForm8::FormKeyDown(QKeyEvent& key) {
  if (CloseOrMaximizeKey(key)) return true;
  if (IsEnter(key)) {
    if (Ask(Main().Dlg(), std::string(msg::kAskSave))) BtnSaveClick();
    return true;
  }
  return false;
}

}  // namespace cavel
