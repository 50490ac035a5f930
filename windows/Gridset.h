// The grid display settings.
#pragma once

#include "windows/SettingsForm.h"

namespace cavel {

class TForm13 : public SettingsForm {
  Q_OBJECT
 public:
  explicit TForm13(MainHost& main);

  QCheckBox* CheckGridDisp = nullptr;
  QCheckBox* CheckGridResum = nullptr;
  QCheckBox* CheckGridWidthSave = nullptr;
  QLabel* Label1 = nullptr;  // 項目幅の既定値(16-256)
  QLineEdit* Edit1 = nullptr;

  // A width that is not an integer, or lies outside 16..256, is reported
  // and the dialog stays open with the entry. Otherwise the values are
  // stored, the grid is refilled, blanked or reset to the default width as
  // they require, and the dialog closes.
  void BtnSaveClick() override;

 protected:
  void FillControls() override;
};

}  // namespace cavel
