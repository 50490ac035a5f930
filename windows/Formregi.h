// The recent-file count setting.
#pragma once

#include "windows/SettingsForm.h"

namespace cavel {

class TForm12 : public SettingsForm {
  Q_OBJECT
 public:
  explicit TForm12(MainHost& main);

  QLabel* Label1 = nullptr;  // 履歴個数
  QLabel* Label2 = nullptr;  // (0-9 : 0 は履歴項目のｸﾘｱ)
  QLineEdit* Edit1 = nullptr;

  // A count of 0 to 9 becomes OpenFileNum; any other entry is ignored
  // without a word. Closes either way.
  void BtnSaveClick() override;
  // Bound to Edit1: Esc closes without saving, Enter saves.
  bool EditBoxKeyDown(QKeyEvent& key);

 protected:
  void FillControls() override;
};

}  // namespace cavel
