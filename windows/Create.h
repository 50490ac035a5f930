// The new file window: a new file from up to 64 item titles.
//
// The window is one scroll box: the mode label and the two buttons at the
// top, then 64 rows of a label "項目01" ... "項目64" and an edit box, 30
// pixels apart. Saving builds the title line (core/NewFile.h), asks for the
// file's name, writes the file and makes the line the whole Document; the
// main window refreshes its list once the window has closed.
#pragma once

#include <string>
#include <vector>

#include "core/NewFile.h"
#include "windows/ChildWindow.h"
#include "windows/LabelledRows.h"

class QPushButton;
class QScrollArea;

namespace cavel {

class TForm7 : public ChildWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 604, kDesignHeight = 420;
  // Row i (1..64) of the labelled rows lies at top kLabelledRowPitch * i.
  static constexpr int kEditWidth = 400;

  explicit TForm7(MainHost& main);

  // ---- controls (index 1..64; 0 is unused) ----------------------------------------
  QScrollArea* ScrollBox1 = nullptr;
  QLabel* Label90 = nullptr;
  QPushButton* Button1 = nullptr;  // ｷｬﾝｾﾙ
  QPushButton* Button2 = nullptr;  // 保存(&S)
  RowLabels Label{};
  RowEdits Edit{};

  // The opening of MenuCreateClick once the window is placed: the mode
  // label, the captions, every box empty.
  void FormDisp();
  // The 64 captions "項目01" ... "項目64".
  void TitleKoumokuSet();
  // Every box empty, the view back at the top.
  void EditKoumokuSet();

  void BtnSaveClick();
  void BtnCancelClick();
  // Bound to both buttons and every edit box. True for the keys it acts on.
  bool FormKeyDown(QKeyEvent& key);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The boxes' texts as Shift-JIS, box 1 first, up to the first empty box.
  // False, after the warning, when a counted box holds a character that
  // Shift-JIS cannot hold (that box gets the focus).
  bool EncodedTitles(std::vector<std::string>& titles);

  // The box whose input method is showing a conversion in progress, if any.
  QObject* composing_ = nullptr;
};

}  // namespace cavel
