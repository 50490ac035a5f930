// The jump dialog: the line number to jump to, at most 5 characters (more
// when the line limit is raised).
//
// OK (or Enter in the combo box) closes only for a whole number from 0 to
// 29999 (the line limit less one): other text gets the conversion error, a number outside the range
// the range warning, and the dialog stays open. ｷｬﾝｾﾙ (or Esc) empties
// JumpText; closing by the title bar leaves it as the command set it.
#pragma once

#include "core/Find.h"
#include "windows/ComboDialog.h"

namespace cavel {

class TForm4 : public ComboDialog {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 342, kDesignHeight = 103;
  explicit TForm4(MainHost& main);

  // Fills the combo box from `combo`, sets Label2 to the range and shows
  // the dialog modally; OK and ｷｬﾝｾﾙ report to `commands`.
  void FormDisp(FindJump& commands, const ComboSetup& combo);
  void BtnOkClick() override;
  void BtnCancelClick() override;

 private:
  FindJump* commands_ = nullptr;
};

}  // namespace cavel
