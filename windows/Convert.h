// The quote conversion window: double quotes added around or removed from
// every item of every line.
//
// The window shows a preview of the Document (its own copy, as a virtual
// list) and offers the two conversions of core/QuoteConvert.h. Either
// button converts the whole Document or nothing, then closes the window;
// the main window refreshes its views once the window has closed.
#pragma once

#include "core/Document.h"
#include "windows/ChildWindow.h"

class QPushButton;

namespace cavel {

class RowList;

class LinesModel;

class TForm10 : public ChildWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 604, kDesignHeight = 420;
  static constexpr int kButtonHeight = 26;

  explicit TForm10(MainHost& main);

  // ---- controls -----------------------------------------------------------------
  QPushButton* BtnCancel = nullptr;
  QPushButton* BtnQuatationAddSave = nullptr;
  QPushButton* BtnQuatationDelSave = nullptr;
  RowList* ListBox1 = nullptr;
  LinesModel* ListBox1Model = nullptr;

  // Fills the preview and selects its first row.
  Opening FormDisp();
  // The Document copied into the window's own list and shown in the preview.
  void ListBoxDisp();
  // The window's copy of the Document (what the preview shows).
  const Lines& Preview() const { return lines_; }

  void BtnQuatationAddSaveClick();
  void BtnQuatationDelSaveClick();
  void BtnCancelClick();
  // Bound to the three buttons and the preview. True for the keys it acts on.
  bool FormKeyDown(QKeyEvent& key);

 protected:
  // Captures the bounds, and lets the copy go: it is made again on every opening.
  void FormClose() override;

 private:
  Lines lines_;
};

}  // namespace cavel
