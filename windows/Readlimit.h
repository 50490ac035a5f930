// The line limit: the most lines a file may have, from 30000 to 1048576.
#pragma once

#include "windows/SettingsForm.h"

namespace cavel {

class TForm17 : public SettingsForm {
  Q_OBJECT
 public:
  explicit TForm17(MainHost& main);

  QLabel* Label1 = nullptr;  // 読み込む行数の上限(30000-1048576)
  QLineEdit* Edit1 = nullptr;

  // A limit that is not an integer, or lies outside 30000..1048576, is
  // reported and the dialog stays open with the entry; otherwise it is
  // stored and the dialog closes.
  void BtnSaveClick() override;

 protected:
  void FillControls() override;
};

}  // namespace cavel
