#include "windows/Jump.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "core/Messages.h"
#include "platform/QtText.h"

namespace cavel {

TForm4::TForm4(MainHost& main)
    : ComboDialog(main, msg::kCaptionJump, QSize(kDesignWidth, kDesignHeight), msg::kJumpLabel) {
  setObjectName(QStringLiteral("TForm4"));
}

void TForm4::FormDisp(FindJump& commands, const ComboSetup& combo) {
  commands_ = &commands;
  Label2->setText(Utf8(commands.JumpRangeLabel()));
  ComboBox1->lineEdit()->setMaxLength(commands.JumpTextLength());
  ShowWith(Utf8(combo.text), {Utf8(combo.items[0]), Utf8(combo.items[1]), Utf8(combo.items[2])});
  commands_ = nullptr;
}

void TForm4::BtnOkClick() {
  if (!commands_) {
    reject();
    return;
  }
  // A refused text keeps the dialog open, the text ready to be typed over.
  if (!commands_->JumpOk(Main().Dlg(), ComboBox1->currentText().toStdString())) {
    ComboBox1->setFocus();
    ComboBox1->lineEdit()->selectAll();
    return;
  }
  accept();
}

void TForm4::BtnCancelClick() {
  if (commands_) commands_->JumpCancel();
  reject();
}

}  // namespace cavel
