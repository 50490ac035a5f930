// The record window: one line of the Document as labelled fields, viewed or
// edited, stepping to the previous or next line.
//
// The decisions are core/Record.h's RecordWindow; this window holds the
// controls, shows the model's state and maps buttons and keys to it. Values
// travel as Shift-JIS bytes: the boxes show them decoded, and a save passes
// a box's text back only when the user changed it since it was last filled,
// so that the bytes of an untouched value are written back exactly.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "core/Record.h"
#include "windows/ChildWindow.h"
#include "windows/LabelledRows.h"

class QPushButton;
class QScrollArea;

namespace cavel {

class TForm6;

class TForm2 : public ChildWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 604, kDesignHeight = 415;
  // Row n (1..64) of the labelled rows lies at top kLabelledRowPitch * n.
  static constexpr int kRows = kLabelledRows;
  static constexpr int kFontHeight = 13;
  static constexpr int kLabelLeft = 5, kLabelWidth = 150;
  static constexpr int kEditLeft = 170, kEditHeight = 26, kDesignEditWidth = 400;
  // The value boxes are this much narrower than the window.
  static constexpr int kEditWidthMargin = 210;

  explicit TForm2(MainHost& main);
  // The zoom view that MemoDispClick opens (made after this window).
  void SetZoomView(TForm6* zoom) { zoom_ = zoom; }

  // ---- controls (index 1..64 for the rows) -------------------------------------
  QScrollArea* ScrollBox1 = nullptr;
  QWidget* ScrollContents = nullptr;
  QLabel* Label90 = nullptr;
  QPushButton* BtnCancel = nullptr;
  QPushButton* BtnPrev = nullptr;
  QPushButton* BtnNext = nullptr;
  QPushButton* BtnEdit = nullptr;
  QPushButton* BtnSave = nullptr;
  RowLabels Labels{};
  RowEdits Edits{};

  // The design caption, kept at creation.
  std::string RecordCaption;

  // The opening of MenuViewClick / MenuEditClick on CurrentLine once the
  // window is placed: the select-a-line notice when the list has no
  // selection, else mode, checks, texts, rows, caption. Refused when the
  // notice came or a check failed.
  Opening FormDisp(RecordMode mode);

  // ---- handlers -------------------------------------------------------------------
  void BtnCancelClick();
  void BtnPrevClick();
  void BtnNextClick();
  void BtnEditClick();
  void BtnSaveClick();
  // The zoom view of the focused value box.
  void MemoDispClick();
  bool FormKeyDown(QKeyEvent& key);
  void ResizeExecute();

  // ---- the display routines ---------------------------------------------------
  // Rows 1..LineItemCount shown, the others hidden (label and box together).
  void DispKoumokuSet();
  // Every value box read-only.
  void EditBoxReadOnlyTrue();
  // Boxes 1..LineItemCount editable; the others keep their state.
  void EditBoxReadOnlyFalse();

  const RecordWindow& Record() const { return record_; }
  // True when box n (1..64) was changed by the user since it was last filled.
  bool BoxEdited(int n) const { return edited_[n]; }
  // The window's caption in UTF-8.
  std::string Caption() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
  void BuildControls();
  // Label texts from TitleItems, box texts from LineItems (all 64).
  void ShowTitleItems();
  void ShowLineItems();
  void ShowMode();
  void ShowPositionCaption();
  void ShowStep(const RecordWindow::Step& step);
  // The scrolled area just holds the controls that are shown.
  void UpdateScrollExtent();
  // Down / Up: the next or previous control of the tab order that can take
  // the focus, going round at either end.
  void FocusNextControl(bool forward);
  void FocusControl(QWidget* control);

  // The values to save, boxes 1..LineItemCount; characters that Shift-JIS
  // cannot hold are gathered in `unmappable`, and `firstBad` is the first
  // box holding one.
  struct TypedValues {
    std::vector<BoxValue> boxes;
    QString unmappable;
    int firstBad = 0;
  };
  TypedValues CollectValues() const;

  RecordWindow record_;
  TForm6* zoom_ = nullptr;
  OneBased<bool, kRows> edited_{};
  // BtnCancel, BtnPrev, BtnNext, BtnEdit, BtnSave, Edit01 ... Edit64.
  std::vector<QWidget*> tabOrder_;
};

}  // namespace cavel
