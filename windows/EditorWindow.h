// What the row order editor and the item editor share: the panel over the
// list of their model's rows, the list's selection and the model's cursor
// kept in step both ways (selecting a row moves the cursor, every operation
// selects the cursor's row), and each operation shown by the one change it
// made rather than by a refill.
#pragma once

#include <functional>
#include <string>

#include "core/ListChange.h"
#include "windows/ChildWindow.h"

class QKeyEvent;
class QListView;

namespace cavel {

class EditListModel;

class EditorWindow : public ChildWindow {
  Q_OBJECT
 public:
  QWidget* Panel1 = nullptr;
  QListView* ListBox1 = nullptr;
  EditListModel* ListBox1Model = nullptr;

 public:
  // Esc and Ctrl+[ close (or maximize); Enter asks the save question and
  // saves on はい.
  bool FormKeyDown(QKeyEvent& key);
  virtual void BtnSaveClick() = 0;

 protected:
  // What the window needs of its editor model.
  struct Rows {
    std::function<int()> count;
    std::function<std::string(int)> text;
    std::function<int()> cursor;
    std::function<void(int)> setCursor;
  };

  using ChildWindow::ChildWindow;

  // Makes Panel1 and ListBox1 over `rows`; called from the window's
  // constructor once its model exists.
  void BuildList(Rows rows);
  // The list shows the model's rows as they now stand, the cursor's row selected.
  void RefillList();
  // The rows `change` touched, then the cursor's row selected.
  void ShowChange(const ListChange& change);
  void SelectCursorRow();

  void showEvent(QShowEvent* event) override;

 private:
  Rows rows_;
  // Set while the window moves the selection itself.
  bool selecting_ = false;
};

}  // namespace cavel
