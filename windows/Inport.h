// The merge window: the lines of a second file inserted before or after the current line.
//
// 開く reads the second file by the loader's rules into MergeLines, which
// the list shows; the two insert buttons put every line of it into the
// Document as one block and close the window, whatever came of it.
#pragma once

#include "core/Document.h"
#include "windows/ChildWindow.h"

class QPushButton;

namespace cavel {

class RowList;

class LinesModel;

class TForm9 : public ChildWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 604, kDesignHeight = 380;
  explicit TForm9(MainHost& main);

  // Empties MergeLines and the list.
  Opening FormDisp();
  // Fills the list with MergeLines.
  void ListBoxDisp();

  void BtnFileOpenClick();
  void BtnCancelClick();
  void BtnPrevSaveClick();
  void BtnNextSaveClick();
  // Esc and Ctrl+[ on the list and the four buttons.
  bool FormKeyDown(QKeyEvent& key);

  // The second file's lines, exactly as read.
  const Lines& MergeLines() const { return mergeLines_; }

  QWidget* Panel1 = nullptr;
  QPushButton* BtnFileOpen = nullptr;
  QPushButton* BtnCancel = nullptr;
  QPushButton* BtnPrevSave = nullptr;
  QPushButton* BtnNextSave = nullptr;
  RowList* ListBox1 = nullptr;
  LinesModel* ListBox1Model = nullptr;

 protected:
  // Captures the bounds and lets the second file's lines go.
  void FormClose() override;

 private:
  Lines mergeLines_;
};

}  // namespace cavel
