#include "windows/EditorWindow.h"

#include <QItemSelectionModel>
#include <QShowEvent>

#include "core/Dialogs.h"
#include "core/Messages.h"
#include "platform/Keys.h"
#include "windows/EditorLayout.h"
#include "windows/LinesModel.h"

namespace cavel {

void EditorWindow::BuildList(EditorList& rows) {
  rows_ = &rows;
  const QSize rowSize = ListRowSize(State().ListWidthAtStart);
  ListBox1Model = new LinesModel(rows, rowSize, this, EditorDisplayBytes(rowSize.width()));
  const EditorLayout parts = MakeEditorLayout(*this, ListBox1Model);
  Panel1 = parts.panel;
  ListBox1 = parts.list;

  // The user's selection is the cursor; a click that would leave no row
  // selected puts the selection back on the cursor's row.
  QItemSelectionModel* selection = ListBox1->selectionModel();
  connect(selection, &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
    if (!selecting_ && current.isValid()) rows_->SetCursor(current.row());
  });
  connect(selection, &QItemSelectionModel::selectionChanged, this, [this] {
    if (!selecting_ && SelectedListRow(*ListBox1) < 0 && rows_->Cursor() >= 0) SelectCursorRow();
  });
}

void EditorWindow::RefillList() {
  selecting_ = true;
  ListBox1Model->Refill();
  selecting_ = false;
  SelectCursorRow();
}

void EditorWindow::ShowChange(const ListChange& change) {
  selecting_ = true;
  ListBox1Model->Apply(change);
  selecting_ = false;
  SelectCursorRow();
}

void EditorWindow::BtnUpClick() { ShowChange(rows_->Up()); }

void EditorWindow::BtnDownClick() { ShowChange(rows_->Down()); }

void EditorWindow::BtnDeleteClick() { ShowChange(rows_->Delete()); }

void EditorWindow::SelectCursorRow() {
  selecting_ = true;
  SelectListRow(*ListBox1, rows_->Cursor());
  selecting_ = false;
}

void EditorWindow::showEvent(QShowEvent* event) {
  ChildWindow::showEvent(event);
  // The row was selected while the list had no size of its own: bring it
  // into view now, from the top of the list when it is on the first page.
  if (!event->spontaneous()) {
    ListBox1->scrollToTop();
    ListBox1->scrollTo(ListBox1->currentIndex());
  }
}

void EditorWindow::FormClose() {
  ChildWindow::FormClose();
  ListBox1Model->Clear();
}

bool EditorWindow::FormKeyDown(QKeyEvent& key) {
  if (CloseOrMaximizeKey(key)) return true;
  if (IsEnter(key)) {
    if (Ask(Main().Dlg(), std::string(msg::kAskSave))) BtnSaveClick();
    return true;
  }
  return false;
}

}  // namespace cavel
