// The miscellaneous settings: the question before Esc closes a window.
#pragma once

#include "windows/SettingsForm.h"

namespace cavel {

class TForm14 : public SettingsForm {
  Q_OBJECT
 public:
  explicit TForm14(MainHost& main);

  QCheckBox* CheckCloseDialogDisp = nullptr;

  // The box into CloseDialogDisp; closes.
  void BtnSaveClick() override;

 protected:
  void FillControls() override;
};

}  // namespace cavel
