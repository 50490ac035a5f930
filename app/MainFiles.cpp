// The main window's file commands: opening a file by its four roads (the
// command line, the open dialog, a recent file, a drop) and reopening it in
// a chosen encoding, the recent-file menu, and the two saves.
#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

#include "app/Main.h"
#include "app/Startup.h"
#include "core/CsvWriter.h"
#include "core/DialogFolder.h"
#include "core/Dialogs.h"
#include "core/FileFormat.h"
#include "core/History.h"
#include "core/Messages.h"
#include "core/SavePath.h"
#include "core/System.h"
#include "platform/FileDialogs.h"
#include "platform/QtText.h"
#include "windows/LinesModel.h"
#include "windows/MainGrid.h"

namespace cavel {

// ---- opening -----------------------------------------------------------------------------

void TForm1::SwitchGridToList() {
  if (ListVisible()) return;
  ShowView(ListBox1, grid_->View());
  ListBox1->setFocus();
}

void TForm1::MakeListFirstInTabOrder() {
  QWidget* open = commands_->Button("BtnFileOpen");
  QWidget::setTabOrder(ListBox1, open);
  QWidget::setTabOrder(open, commands_->Button("BtnView"));
  QWidget* focus = focusWidget();
  if (!focus || focus == this) ListBox1->setFocus();
}

LoadResult TForm1::LoadCurrentFile(OpenPath path, EncodingChoice choice) {
  const LoadResult result = LoadDocument(state, path, Dlg(), choice);
  if (result == LoadResult::Unreadable) return result;
  if (result == LoadResult::Loaded) {
    // Success steps.
    ListBoxDisp();
    SetControlState(ControlState::FileLoaded);
    SelectListRow(0);
    if (path == OpenPath::Dialog || path == OpenPath::Recent)
      ListBox1->setFocus();
    else
      MakeListFirstInTabOrder();
  } else {
    // Failure steps.
    SetControlState(ControlState::NoFile);
    ListBoxDisp();
  }
  // A recent file's own steps follow its load.
  if (path != OpenPath::Recent) {
    if (result == LoadResult::Loaded) HistoryAddFile(state, state.CurrentFileName);
    HistoryTrim(state);
    HistoryMenuRefresh();
  }
  return result;
}

void TForm1::MenuFileOpenClick() {
  OpenFileRequest request{std::string(msg::kTitleOpenFile), CsvFileFilters(), OpenDialogFolder(state, HomeFolder())};
  std::optional<std::string> chosen = Files().OpenFileName(request);
  if (!chosen) return;
  RememberDialogFolder(state, *chosen);
  state.CurrentFileName = *chosen;
  if (!FileExists(state.CurrentFileName)) {
    Refuse(Dlg(), std::string(msg::kFileMissing));
    AbandonOpen(state);
    return;
  }
  SwitchGridToList();
  LoadCurrentFile(OpenPath::Dialog);
}

void TForm1::RecentFileClick(int i) {
  if (i < 1 || i > kHistorySlots) return;
  SwitchGridToList();
  state.HistoryOpenName = state.OpenFileName[i];
  RememberDialogFolder(state, state.HistoryOpenName);
  state.HistoryOpenFailed = 0;
  MenuFileOpenExecute();
  if (state.HistoryOpenFailed == 0) {
    HistoryMoveToTop(state, i);
    HistoryTrim(state);
    HistoryMenuRefresh();
  }
}

void TForm1::MenuFileOpenExecute() {
  SwitchGridToList();
  state.CurrentFileName = state.HistoryOpenName;
  if (!FileExists(state.CurrentFileName)) {
    state.HistoryOpenFailed = 1;
    Refuse(Dlg(), std::string(msg::kFileMissing));
    AbandonOpen(state);
    return;
  }
  // A file that cannot be read ends the command: its slot stays where it is.
  if (LoadCurrentFile(OpenPath::Recent) == LoadResult::Unreadable) state.HistoryOpenFailed = 1;
}

void TForm1::ReopenAs(EncodingChoice choice) {
  if (!FileExists(state.CurrentFileName)) {
    Refuse(Dlg(), std::string(msg::kFileMissing));
    return;
  }
  SwitchGridToList();
  LoadCurrentFile(OpenPath::Dialog, choice);
}

void TForm1::DropFiles(const std::vector<std::string>& paths) {
  if (paths.empty() || paths.front().empty()) return;
  state.CurrentFileName = paths.front();
  RememberDialogFolder(state, state.CurrentFileName);
  SwitchGridToList();
  LoadCurrentFile(OpenPath::Drop);
}

void TForm1::HistoryMenuRefresh() {
  const std::vector<HistoryMenuItem> items = HistoryMenuItems(state);
  for (int i = kHistorySlots; i >= 1; --i) {
    const HistoryMenuItem& item = items[static_cast<std::size_t>(i - 1)];
    commands_->ShowSlot("MenuFileOpen", i, item.visible, Utf8(item.caption));
  }
  commands_->Action("MenuFileSeparate")->setVisible(true);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  const QMimeData* data = event->mimeData();
  if (data && data->hasUrls() && !data->urls().isEmpty() && data->urls().front().isLocalFile())
    event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  std::vector<std::string> paths;
  if (const QMimeData* data = event->mimeData())
    for (const QUrl& url : data->urls())
      if (url.isLocalFile()) paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
  event->acceptProposedAction();
  DropFiles(paths);
}

// ---- saving -------------------------------------------------------------------------------

void TForm1::MenuOverWriteSaveClick() {
  // The dialog only confirms: the file written is the open one.
  SaveFileRequest request{std::string(msg::kTitleOverWriteSave), state.CurrentFileName, CsvFileFilters(),
                          SaveDialogFolder(state, HomeFolder())};
  if (!Files().SaveFileName(request)) return;
  SaveLines(state.CurrentFileName, state.Document, state.DocumentFormat, Dlg());
}

void TForm1::MenuAnotherSaveClick() {
  SaveFileRequest request{std::string(msg::kTitleAnotherSave), std::string(), SaveAsFilters(),
                          SaveDialogFolder(state, HomeFolder())};
  std::optional<SaveChoice> chosen = Files().SaveFileName(request);
  if (!chosen) return;
  RememberDialogFolder(state, chosen->path);
  const std::string path = WithCsvExtension(chosen->path, Dlg());
  // A copy in the type's format; the open file, still the one worked on,
  // keeps its own.
  SaveLines(path, state.Document, SaveAsFormat(chosen->filter, state.DocumentFormat), Dlg());
}

}  // namespace cavel
