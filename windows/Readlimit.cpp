#include "windows/Readlimit.h"

#include <QLabel>
#include <QLineEdit>

#include "core/Messages.h"
#include "core/SettingsDialogs.h"

namespace cavel {

TForm17::TForm17(MainHost& main) : SettingsForm(main, msg::kCaptionReadLimit) {
  setObjectName(QStringLiteral("TForm17"));
  Label1 = AddLabel("Label1", msg::kReadLimitLabel, 32, 84);
  Edit1 = AddEdit("Edit1", kReadLimitEditLength, 280, 80, 72);
  FinishControls({Edit1});
}

void TForm17::FillControls() { Edit1->setText(QString::fromStdString(ReadLimitDialogFill(State()))); }

void TForm17::BtnSaveClick() {
  if (!ReadLimitDialogSave(State(), Main().Dlg(), Edit1->text().toStdString())) {
    Edit1->setFocus();
    Edit1->selectAll();
    return;
  }
  SaveDone();
}

}  // namespace cavel
