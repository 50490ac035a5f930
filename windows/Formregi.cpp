#include "windows/Formregi.h"

#include <QLabel>
#include <QLineEdit>

#include "core/Messages.h"
#include "core/SettingsDialogs.h"

namespace cavel {

TForm12::TForm12(MainHost& main) : SettingsForm(main, msg::kCaptionFormregi) {
  setObjectName(QStringLiteral("TForm12"));
  Label1 = AddLabel("Label1", msg::kHistoryCountLabel, 32, 64);
  Label2 = AddLabel("Label2", msg::kHistoryCountHint, 32, 92);
  Edit1 = AddEdit("Edit1", kHistoryEditLength, 248, 72, 32);
  FinishControls({Edit1});
  auto* editKeys = new KeyHook(this, [this](QKeyEvent& e) { return EditBoxKeyDown(e); });
  editKeys->Bind(Edit1);
}

void TForm12::FillControls() {
  Edit1->setText(QString::fromStdString(FileHistoryDialogFill(State())));
  Edit1->selectAll();
}

void TForm12::BtnSaveClick() {
  FileHistoryDialogSave(State(), Edit1->text().toStdString());
  SaveDone();
}

bool TForm12::EditBoxKeyDown(QKeyEvent& key) {
  if (IsEsc(key)) {
    EscClose();
    return true;
  }
  if (IsEnter(key)) {
    BtnSaveClick();
    return true;
  }
  return false;
}

}  // namespace cavel
