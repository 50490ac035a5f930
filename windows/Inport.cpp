#include "windows/Inport.h"

#include <QPushButton>

#include "core/DialogFolder.h"
#include "core/Merge.h"
#include "core/Messages.h"
#include "platform/FileDialogs.h"
#include "windows/EditorLayout.h"
#include "windows/LinesModel.h"

namespace cavel {

TForm9::TForm9(MainHost& main)
    : ChildWindow(main, msg::kCaptionInport, QSize(kDesignWidth, kDesignHeight), kWinInport, Sizing::Resizable) {
  setObjectName(QStringLiteral("TForm9"));

  const QSize rowSize = ListRowSize(State().ListWidthAtStart);
  ListBox1Model = new LinesModel(mergeLines_, rowSize, this, EditorDisplayBytes(rowSize.width()));
  const EditorLayout parts = MakeEditorLayout(*this, ListBox1Model);
  Panel1 = parts.panel;
  ListBox1 = parts.list;

  constexpr int top = 0, bottom = 24;
  BtnFileOpen = PanelButton(Panel1, "BtnFileOpen", msg::kBtnFileOpen, 0, top);
  BtnCancel = PanelButton(Panel1, "BtnCancel", msg::kBtnCancel, 0, bottom);
  BtnPrevSave = PanelButton(Panel1, "BtnPrevSave", msg::kBtnPrevSave, 100, top, 2 * kEditorButtonWidth);
  BtnNextSave = PanelButton(Panel1, "BtnNextSave", msg::kBtnNextSave, 100, bottom, 2 * kEditorButtonWidth);

  connect(BtnFileOpen, &QPushButton::clicked, this, [this] { BtnFileOpenClick(); });
  connect(BtnCancel, &QPushButton::clicked, this, [this] { BtnCancelClick(); });
  connect(BtnPrevSave, &QPushButton::clicked, this, [this] { BtnPrevSaveClick(); });
  connect(BtnNextSave, &QPushButton::clicked, this, [this] { BtnNextSaveClick(); });

  QWidget::setTabOrder(BtnFileOpen, BtnCancel);
  QWidget::setTabOrder(BtnCancel, BtnPrevSave);
  QWidget::setTabOrder(BtnPrevSave, BtnNextSave);
  QWidget::setTabOrder(BtnNextSave, ListBox1);

  Keys([this](QKeyEvent& e) {
    return FormKeyDown(e);
  }).Bind({ListBox1, BtnFileOpen, BtnCancel, BtnPrevSave, BtnNextSave});
}

Opening TForm9::FormDisp() {
  mergeLines_.clear();
  ListBoxDisp();
  BtnFileOpen->setFocus();
  return Opening::Show;
}

void TForm9::FormClose() {
  ChildWindow::FormClose();
  // The second file's lines are not kept once the window has closed.
  ListBox1Model->Clear();
  mergeLines_.clear();
}

void TForm9::ListBoxDisp() { ListBox1Model->Refill(); }

void TForm9::BtnFileOpenClick() {
  // OpenDialog1: the main window's title and starting folder, CSV files
  // first, then every file.
  const OpenFileRequest request{std::string(msg::kTitleOpenFile), CsvFileFilters(),
                                OpenDialogFolder(State(), HomeFolder())};
  const std::optional<std::string> chosen = Main().Files().OpenFileName(request);
  if (!chosen) return;
  RememberDialogFolder(State(), *chosen);
  // Read into a list of its own, so that the list keeps showing what it
  // showed until the read is over.
  Lines read;
  const MergeReadResult result = ReadMergeFile(*chosen, static_cast<std::size_t>(State().ReadLimitLines), Main().Dlg(), read);
  if (result == MergeReadResult::Missing) return;
  ListBox1Model->Clear();
  mergeLines_.swap(read);
  ListBoxDisp();
  if (result == MergeReadResult::Loaded) {
    SelectListRow(*ListBox1, 0);
    ListBox1->setFocus();
  }
}

void TForm9::BtnCancelClick() {
  State().CurrentLine = Main().ListSelection();
  reject();
}

void TForm9::BtnPrevSaveClick() {
  InsertBefore(State(), mergeLines_, Main().Dlg());
  accept();
}

void TForm9::BtnNextSaveClick() {
  InsertAfter(State(), mergeLines_, Main().Dlg());
  accept();
}

bool TForm9::FormKeyDown(QKeyEvent& key) {
  if (CloseOrMaximizeKey(key)) return true;
  // Enter means nothing here: it neither presses a button nor closes the window.
  return IsEnter(key);
}

}  // namespace cavel
