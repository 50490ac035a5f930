#include "windows/Gridset.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include "core/Messages.h"
#include "core/SettingsDialogs.h"
#include "windows/MainGrid.h"

namespace cavel {

TForm13::TForm13(MainHost& main) : SettingsForm(main, msg::kCaptionGridset) {
  setObjectName(QStringLiteral("TForm13"));
  CheckGridDisp = AddCheck("CheckGridDisp", msg::kCheckGridDisp, 32, 52);
  CheckGridResum = AddCheck("CheckGridResum", msg::kCheckGridResum, 32, 78);
  CheckGridWidthSave = AddCheck("CheckGridWidthSave", msg::kCheckGridWidthSave, 32, 104);
  Label1 = AddLabel("Label1", msg::kColWidthLabel, 32, 144);
  Edit1 = AddEdit("Edit1", kColWidthEditLength, 232, 140, 48);
  FinishControls({CheckGridDisp, CheckGridResum, CheckGridWidthSave, Edit1});
}

void TForm13::FillControls() {
  const GridDialogValues v = GridDialogFill(State());
  CheckGridDisp->setChecked(v.GridDisp);
  CheckGridResum->setChecked(v.GridResum);
  CheckGridWidthSave->setChecked(v.GridWidthSave);
  Edit1->setText(QString::fromStdString(v.ColWidthText));
}

void TForm13::BtnSaveClick() {
  GridDialogValues v;
  v.GridDisp = CheckGridDisp->isChecked();
  v.GridResum = CheckGridResum->isChecked();
  v.GridWidthSave = CheckGridWidthSave->isChecked();
  v.ColWidthText = Edit1->text().toStdString();
  const GridDialogSaved saved = GridDialogSave(State(), Main().Dlg(), v, !Main().ListVisible());
  if (!saved.close) {
    Edit1->setFocus();
    Edit1->selectAll();
    return;
  }
  if (saved.refill) Main().StringGridDisp();
  if (saved.blankRows > 0) Main().Grid().BlankCells(kGridBlankCols, saved.blankRows);
  if (saved.resetWidths) Main().Grid().ResetWidths();
  SaveDone();
}

}  // namespace cavel
