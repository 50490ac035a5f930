// The row order editor: whole lines moved, cut, copied, pasted, deleted and inserted.
//
// The window shows the rows of its RowOrder model in ListBox1 with the
// model's cursor selected, and maps its eleven buttons and its keys to the
// model's operations. The list's selection and the cursor are kept in
// step both ways: selecting a row moves the cursor, every operation
// selects the cursor's row. Each operation updates only the rows it
// changed, so it is instant on the largest file.
#pragma once

#include "core/RowOrder.h"
#include "windows/EditorWindow.h"

class QPushButton;

namespace cavel {

class TForm3 : public EditorWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 604, kDesignHeight = 420;
  explicit TForm3(MainHost& main);

  // Prepares the window from the Document and CurrentLine.
  Opening FormDisp();
  // Fills the list from the working rows and selects the cursor's row.
  void ListBoxDisp();

  void BtnSaveClick() override;
  void BtnCancelClick();
  // BtnUpClick, BtnDownClick, BtnDeleteClick: EditorWindow's.
  void BtnCutClick();
  void BtnCopyClick();
  void BtnPrevPasteClick();
  void BtnNextPasteClick();
  void BtnPrevAddClick();
  void BtnNextAddClick();

  // The working rows, cursor, LineCount and HeldLine.
  const RowOrder& Rows() const { return rows_; }

  QPushButton* BtnSave = nullptr;
  QPushButton* BtnCancel = nullptr;
  QPushButton* BtnUp = nullptr;
  QPushButton* BtnDown = nullptr;
  QPushButton* BtnCut = nullptr;
  QPushButton* BtnCopy = nullptr;
  QPushButton* BtnDelete = nullptr;
  QPushButton* BtnPrevPaste = nullptr;
  QPushButton* BtnNextPaste = nullptr;
  QPushButton* BtnPrevAdd = nullptr;
  QPushButton* BtnNextAdd = nullptr;

 protected:
  // Lets the working copy go (HeldLine stays).
  void FormClose() override;

 private:
  // Shows what an operation did: the changed rows, the cursor, the paste buttons.
  void ShowChange(const ListChange& change) override;
  void MakeListFirstInTabOrder();

  RowOrder rows_;
};

}  // namespace cavel
