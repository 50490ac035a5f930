#include "windows/Dialog.h"

#include <QCheckBox>

#include "core/Messages.h"
#include "core/SettingsDialogs.h"

namespace cavel {

TForm14::TForm14(MainHost& main) : SettingsForm(main, msg::kCaptionDialog) {
  setObjectName(QStringLiteral("TForm14"));
  CheckCloseDialogDisp = AddCheck("CheckCloseDialogDisp", msg::kCheckCloseDialogDisp, 32, 64);
  FinishControls({CheckCloseDialogDisp});
}

void TForm14::FillControls() { CheckCloseDialogDisp->setChecked(OptionDialogFill(State())); }

void TForm14::BtnSaveClick() {
  OptionDialogSave(State(), CheckCloseDialogDisp->isChecked());
  SaveDone();
}

}  // namespace cavel
