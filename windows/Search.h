// The find dialog: the text to find, at most 64 bytes of Shift-JIS.
//
// The dialog hands its result to the find command only: OK (or Enter in the
// combo box) sets FindText to the combo box's text in Shift-JIS, ｷｬﾝｾﾙ (or
// Esc) empties it, and closing by the title bar leaves it as the command set
// it (the last search).
#pragma once

#include <QStringView>
#include <string>

#include "core/Find.h"
#include "windows/ComboDialog.h"

namespace cavel {

// The find text as Shift-JIS bytes. A character that Shift-JIS cannot hold
// stands as '?' (one byte, as the desktop writes it) and makes the text one
// that matches nothing.
struct FindTextBytes {
  std::string bytes;
  bool encodable = true;
};
FindTextBytes EncodeFindText(QStringView text);

class TForm5 : public ComboDialog {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 442, kDesignHeight = 103;
  explicit TForm5(MainHost& main);

  // Fills the combo box from `combo` and shows the dialog modally; OK and
  // ｷｬﾝｾﾙ report to `commands`.
  void FormDisp(FindJump& commands, const ComboSetup& combo);
  void BtnOkClick() override;
  void BtnCancelClick() override;

 private:
  FindJump* commands_ = nullptr;
};

}  // namespace cavel
