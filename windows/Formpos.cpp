#include "windows/Formpos.h"

#include <QCheckBox>

#include "core/Messages.h"
#include "core/SettingsDialogs.h"

namespace cavel {

TForm11::TForm11(MainHost& main) : SettingsForm(main, msg::kCaptionFormpos) {
  setObjectName(QStringLiteral("TForm11"));
  CheckMain = AddCheck("CheckMain", msg::kCheckMain, kLeft, kTop);
  CheckView = AddCheck("CheckView", msg::kCheckView, kLeft, kTop + kStep);
  CheckItemset = AddCheck("CheckItemset", msg::kCheckItemset, kLeft, kTop + 2 * kStep);
  CheckExcahnge = AddCheck("CheckExcahnge", msg::kCheckExcahnge, kLeft, kTop + 3 * kStep);
  CheckCreate = AddCheck("CheckCreate", msg::kCheckCreate, kLeft, kTop + 4 * kStep);
  CheckInport = AddCheck("CheckInport", msg::kCheckInport, kRight, kTop);
  CheckConvert = AddCheck("CheckConvert", msg::kCheckConvert, kRight, kTop + kStep);
  CheckSort = AddCheck("CheckSort", msg::kCheckSort, kRight, kTop + 2 * kStep);
  FinishControls(
      {CheckMain, CheckView, CheckItemset, CheckExcahnge, CheckCreate, CheckInport, CheckConvert, CheckSort});
}

std::array<QCheckBox*, 8> TForm11::Checks() const {
  return {CheckMain, CheckView, CheckItemset, CheckExcahnge, CheckCreate, CheckInport, CheckConvert, CheckSort};
}

void TForm11::FillControls() {
  const FormPosChecks checks = FormPosDialogFill(State());
  const std::array<QCheckBox*, 8> boxes = Checks();
  for (std::size_t i = 0; i < boxes.size(); ++i) boxes[i]->setChecked(checks[i]);
}

void TForm11::BtnSaveClick() {
  FormPosChecks checks{};
  const std::array<QCheckBox*, 8> boxes = Checks();
  for (std::size_t i = 0; i < boxes.size(); ++i) checks[i] = boxes[i]->isChecked();
  FormPosDialogSave(State(), checks);
  SaveDone();
}

}  // namespace cavel
