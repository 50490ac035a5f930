// What the find and jump dialogs share: a fixed-size dialog with two labels
// on the left, an editable combo box offering the last three entries, and
// the buttons OK(&O) and ｷｬﾝｾﾙ, centred on the screen.
//
// Keys: Enter in the combo box is OK, Esc in the combo box or on a button
// is ｷｬﾝｾﾙ (never a question), Enter on a button presses that button.
// Closing by the title bar is neither: the command's own text stays.
#pragma once

#include <QString>
#include <array>

#include "windows/ChildWindow.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace cavel {

class ComboDialog : public ChildWindow {
  Q_OBJECT
 public:
  ComboDialog(MainHost& main, std::string_view caption, QSize designSize, std::string_view label);

  virtual void BtnOkClick() = 0;
  virtual void BtnCancelClick() = 0;
  // Enter: OK; Esc: cancel. True for the keys acted on.
  bool ComboBoxKeyDown(QKeyEvent& key);
  // On the buttons: Esc cancels, Enter presses the focused button.
  bool FormKeyDown(QKeyEvent& key);

  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QPushButton* BtnOk = nullptr;
  QPushButton* BtnCancel = nullptr;

 protected:
  // The edit text `text` over the drop-down list `items` (empty entries
  // included), all selected; then centres the dialog and shows it modally.
  void ShowWith(const QString& text, const std::array<QString, 3>& items);
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace cavel
