// What the row order editor and the item editor share: the panel of buttons
// over the list of their editor's rows (core/EditorList.h), the list's
// selection and the editor's cursor kept in step both ways (selecting a row
// moves the cursor, every operation selects the cursor's row), Up, Down and
// Delete, and each operation shown by the one change it made rather than by
// a refill.
#pragma once

#include <QPushButton>
#include <initializer_list>
#include <string_view>

#include "core/EditorList.h"
#include "windows/ChildWindow.h"
#include "windows/EditorLayout.h"

class QKeyEvent;

namespace cavel {

class RowList;

class LinesModel;

class EditorWindow : public ChildWindow {
  Q_OBJECT
 public:
  QWidget* Panel1 = nullptr;
  RowList* ListBox1 = nullptr;
  LinesModel* ListBox1Model = nullptr;

 public:
  // Esc and Ctrl+[ close (or maximize); Enter asks the save question and
  // saves on はい.
  bool FormKeyDown(QKeyEvent& key);
  virtual void BtnSaveClick() = 0;
  // 上へ, 下へ, 削除: the editor's operation, shown by the change it made.
  void BtnUpClick();
  void BtnDownClick();
  void BtnDeleteClick();

 protected:
  using ChildWindow::ChildWindow;

  // A button of the panel: its field, object name, caption, place, and the
  // handler its click runs.
  template <class Window>
  struct PanelButtonPlan {
    QPushButton*& button;
    const char* name;
    std::string_view caption;
    int left;
    int top;
    void (Window::*click)();
  };
  // Makes the panel's buttons (PanelButton), given in their tab order;
  // `Window` is the window's own class.
  template <class Window>
  void MakePanelButtons(std::initializer_list<PanelButtonPlan<Window>> buttons) {
    Window* window = static_cast<Window*>(this);
    QPushButton* previous = nullptr;
    for (const PanelButtonPlan<Window>& plan : buttons) {
      plan.button = PanelButton(Panel1, plan.name, plan.caption, plan.left, plan.top);
      connect(plan.button, &QPushButton::clicked, this, [window, click = plan.click] { (window->*click)(); });
      if (previous) QWidget::setTabOrder(previous, plan.button);
      previous = plan.button;
    }
  }

  // Makes Panel1 and ListBox1 over the editor's rows; called from the
  // window's constructor (the editor may still be empty).
  void BuildList(EditorList& rows);
  // The list shows the editor's rows as they now stand, the cursor's row selected.
  void RefillList();
  // The rows `change` touched, then the cursor's row selected.
  virtual void ShowChange(const ListChange& change);
  void SelectCursorRow();

  void showEvent(QShowEvent* event) override;
  // Captures the bounds and empties the list: the rows are shown again from
  // the next opening's working copy.
  void FormClose() override;

 private:
  EditorList* rows_ = nullptr;
  // Set while the window moves the selection itself.
  bool selecting_ = false;
};

}  // namespace cavel
