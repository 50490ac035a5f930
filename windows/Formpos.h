// The window-position settings: which windows reopen where they were.
#pragma once

#include <array>

#include "windows/SettingsForm.h"

namespace cavel {

class TForm11 : public SettingsForm {
  Q_OBJECT
 public:
  // The left column, top to bottom, and the right column.
  static constexpr int kLeft = 32, kRight = 200, kTop = 48, kStep = 30;

  explicit TForm11(MainHost& main);

  QCheckBox* CheckMain = nullptr;
  QCheckBox* CheckView = nullptr;
  QCheckBox* CheckItemset = nullptr;
  QCheckBox* CheckExcahnge = nullptr;
  QCheckBox* CheckCreate = nullptr;
  QCheckBox* CheckInport = nullptr;
  QCheckBox* CheckConvert = nullptr;
  QCheckBox* CheckSort = nullptr;

  // Each box into FormPosMem of its window; closes.
  void BtnSaveClick() override;

 protected:
  void FillControls() override;

 private:
  // The eight boxes in tab order (the order of kFormPosWindows).
  std::array<QCheckBox*, 8> Checks() const;
};

}  // namespace cavel
