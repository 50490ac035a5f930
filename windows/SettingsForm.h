// The form the four settings dialogs (TForm11..TForm14) share.
//
// A fixed dialog with a client area of 392 x 193 and a panel along the top
// that holds BtnCancel "ｷｬﾝｾﾙ" and, right of it, BtnSave "保存(&S)". Below
// the panel each dialog puts its own controls at fixed places. A dialog is
// centred by the main window's command, filled from the held settings by
// FormDisp and shown modally; nothing is kept between openings.
//
// Keys: Esc on a button or check box closes without saving, asking
// "    一覧画面に戻りますか。           " first when CloseDialogDisp is on. There
// is no maximize key.
#pragma once

#include <QSize>
#include <initializer_list>
#include <string_view>

#include "windows/ChildWindow.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace cavel {

class SettingsForm : public ChildWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 392, kDesignHeight = 193;
  static constexpr int kPanelHeight = 41;
  static constexpr int kButtonWidth = 100, kButtonHeight = 25;

  QFrame* Panel1 = nullptr;
  QPushButton* BtnCancel = nullptr;
  QPushButton* BtnSave = nullptr;

  // Fills the controls from the held settings, shows the dialog modally and
  // returns its result once it has closed.
  int FormDisp();

  // Stores the dialog's values and closes it (a dialog that refuses the
  // values stays open).
  virtual void BtnSaveClick() = 0;
  // Closes without changing a setting.
  void BtnCancelClick();
  // Bound to the buttons and check boxes.
  bool FormKeyDown(QKeyEvent& key);

 protected:
  SettingsForm(MainHost& main, std::string_view caption);

  // The controls from the held settings.
  virtual void FillControls() = 0;

  QCheckBox* AddCheck(const char* name, std::string_view caption, int left, int top);
  QLabel* AddLabel(const char* name, std::string_view caption, int left, int top);
  QLineEdit* AddEdit(const char* name, int maxLength, int left, int top, int width);
  // Sets the tab order (the dialog's controls in the order given, then
  // BtnCancel and BtnSave) and binds FormKeyDown to the buttons and to the
  // check boxes among `controls`. The first control takes the focus when
  // the dialog opens.
  void FinishControls(std::initializer_list<QWidget*> controls);
  // Closes after a save.
  void SaveDone();

  void showEvent(QShowEvent* event) override;

 private:
  QWidget* first_ = nullptr;
};

}  // namespace cavel
