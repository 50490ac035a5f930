// The sort window: the lines below the title line ordered by up to three
// items (core/Sort.h).
//
// Each key is a row: the item, chosen by its title from line 0 (the first
// key item 1 when it opens, the others none), ascending or descending, and
// compared as text or as a number. 実行(&S) sorts the Document in one step
// and closes; a refusal leaves the window open so that the keys can be
// mended. ｷｬﾝｾﾙ closes without a change. The main window refreshes its views
// once the window has closed.
//
// Keys: Esc closes without a change (after the question when
// CloseDialogDisp is on); Enter asks "    並べ替えますか。           " and sorts on
// はい(&Y), except on ｷｬﾝｾﾙ, which it presses. The window has a fixed size,
// so Ctrl+[ does nothing.
#pragma once

#include <array>

#include "core/Sort.h"
#include "windows/ChildWindow.h"

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

namespace cavel {

class TForm15 : public ChildWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 560, kDesignHeight = 176;
  static constexpr int kPanelHeight = 41;
  static constexpr int kButtonWidth = 100, kButtonHeight = 25;

  explicit TForm15(MainHost& main);

  // One key's controls.
  struct KeyRow {
    QLabel* label = nullptr;
    QComboBox* item = nullptr;  // (なし), then the title line's items
    QRadioButton* ascending = nullptr;
    QRadioButton* descending = nullptr;
    QRadioButton* asText = nullptr;
    QRadioButton* asNumber = nullptr;
  };

  QFrame* Panel1 = nullptr;
  QPushButton* BtnCancel = nullptr;
  QPushButton* BtnExecute = nullptr;
  std::array<KeyRow, kSortKeyCount> KeyRows{};

  // Lists the title line's items and sets every key to its default.
  Opening FormDisp();
  // The keys as the controls stand.
  SortKeys ChosenKeys() const;

  void BtnExecuteClick();
  void BtnCancelClick();
  // Bound to every control. True for the keys it acts on.
  bool FormKeyDown(QKeyEvent& key);
};

}  // namespace cavel
