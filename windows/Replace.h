// The replace window: a text found and replaced in the items of the
// Document (core/Replace.h).
//
// The text to find and the replacement, each offering the last three texts
// of this run; the options (case, whole item, regular expression) and the
// items searched (every item, or one chosen by its title). 次を検索(&F)
// selects the next match's line in the list, and in the grid its cell; the
// first search starts at the list's selection, the next after the match
// shown, and the one after "not found" at the top. 置換(&R) replaces the
// match shown and shows the next (with none shown yet it finds one first);
// すべて置換(&A) replaces every match and tells how many. Each replacement
// is one undo step, and the main window shows it at once, under the window.
// The window stays open until 閉じる or Esc.
//
// Keys: Esc closes without a question, whatever has the focus. Enter on a
// button presses it; anywhere else it is 次を検索(&F). The window has a
// fixed size.
#pragma once

#include <optional>
#include <string>

#include "core/MainState.h"
#include "core/Replace.h"
#include "windows/ChildWindow.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace cavel {

class TForm16 : public ChildWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 500, kDesignHeight = 190;

  explicit TForm16(MainHost& main);

  QLabel* LabelFind = nullptr;
  QLabel* LabelReplace = nullptr;
  QLabel* LabelScope = nullptr;
  QComboBox* ComboFind = nullptr;
  QComboBox* ComboReplace = nullptr;
  QComboBox* ComboScope = nullptr;  // すべての項目, then the title line's items
  QCheckBox* CheckCase = nullptr;
  QCheckBox* CheckWholeItem = nullptr;
  QCheckBox* CheckRegex = nullptr;
  QPushButton* BtnFindNext = nullptr;
  QPushButton* BtnReplace = nullptr;
  QPushButton* BtnReplaceAll = nullptr;
  QPushButton* BtnClose = nullptr;

  // Fills the controls (the texts from this run's histories, the items from
  // the title line), centres the window and shows it modally; returns once
  // it has closed.
  void FormDisp();

  void BtnFindNextClick();
  void BtnReplaceClick();
  void BtnReplaceAllClick();
  void BtnCloseClick();
  // Bound to every control. True for the keys it acts on.
  bool FormKeyDown(QKeyEvent& key);

 protected:
  void FormClose() override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The query as the controls stand, the texts remembered; none after the
  // message when a text holds a character Shift-JIS cannot hold.
  std::optional<ReplaceQuery> Query();
  // Searches from `from` and shows what it found.
  void SearchFrom(const ReplaceQuery& query, TextPlace from);

  History3 findHistory_{};
  History3 replaceHistory_{};
  std::optional<Found> found_;
  TextPlace next_{};
};

}  // namespace cavel
