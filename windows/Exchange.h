// The item editor: items reordered, deleted or added in every line.
//
// The window shows the entries of its ItemOrder model ("01 : item") in
// ListBox1 with the model's cursor selected and maps its seven buttons and
// its keys to the model's operations; the selection and the cursor are
// kept in step both ways. Every save closes the window, whatever came of it.
#pragma once

#include "core/ItemOrder.h"
#include "windows/EditorWindow.h"

class QPushButton;

namespace cavel {

class TForm8 : public EditorWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 604, kDesignHeight = 420;
  explicit TForm8(MainHost& main);

  // Reads the reference line (Document line CurrentLine) into the list; a
  // line that fails its checks, or no line at all, gets its messages and the
  // window closes without being shown.
  Opening FormDisp();
  // Fills the list with the entries and selects row 0.
  void ListBoxDisp();

  void BtnSaveClick() override;
  void BtnCancelClick();
  // BtnUpClick, BtnDownClick, BtnDeleteClick: EditorWindow's.
  void BtnAddClick();
  void BtnSpecialClick();

  // The entries, their order and the cursor.
  const ItemOrder& Items() const { return items_; }

  QPushButton* BtnSave = nullptr;
  QPushButton* BtnCancel = nullptr;
  QPushButton* BtnUp = nullptr;
  QPushButton* BtnDown = nullptr;
  QPushButton* BtnAdd = nullptr;
  QPushButton* BtnDelete = nullptr;
  QPushButton* BtnSpecial = nullptr;

 private:
  ItemOrder items_;
};

}  // namespace cavel
