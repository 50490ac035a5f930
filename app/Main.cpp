#include "app/Main.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

#include "app/MainCommands.h"
#include "core/Dialogs.h"
#include "core/History.h"
#include "core/Messages.h"
#include "core/SavePath.h"
#include "core/Settings.h"
#include "platform/Help.h"
#include "platform/Keys.h"
#include "platform/Modal.h"
#include "platform/Placement.h"
#include "platform/Pump.h"
#include "platform/QtText.h"
#include "platform/TopWindows.h"
#include "windows/ButtonBar.h"
#include "windows/CellClipboard.h"
#include "windows/Convert.h"
#include "windows/Create.h"
#include "windows/Dialog.h"
#include "windows/Exchange.h"
#include "windows/Formpos.h"
#include "windows/Formregi.h"
#include "windows/Gridset.h"
#include "windows/Inport.h"
#include "windows/Itemset.h"
#include "windows/Jump.h"
#include "windows/Readlimit.h"
#include "windows/LinesModel.h"
#include "windows/MainGrid.h"
#include "windows/Replace.h"
#include "windows/Search.h"
#include "windows/Sortset.h"
#include "windows/View.h"

namespace cavel {

// ---- construction ------------------------------------------------------------------

TForm1::TForm1(const AppPorts& ports, std::optional<std::string> commandLineFile) : ports_(ports) {
  setObjectName(QStringLiteral("TForm1"));
  setWindowTitle(Utf8(msg::kCaptionMain));
  resize(kDesignWidth, kDesignHeight);
  BuildControls();
  state.GridStartedAfresh = [this] {
    grid_->DropEdit();
    grid_->SetCurrentRow(1);
  };
  state.Undo.OnChange([this] {
    commands_->SetEnabled("MenuUndo", state.Undo.CanUndo() || state.Undo.DroppedUntold());
    commands_->SetEnabled("MenuRedo", state.Undo.CanRedo());
  });
  FormCreate(commandLineFile);
}

TForm1::~TForm1() = default;

void TForm1::BuildControls() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  Panel1 = new QWidget(central);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFixedHeight(kPanelHeight);
  QHBoxLayout* bar = NewButtonBar(Panel1);
  BuildCommands(*bar);
  bar->addStretch();
  layout->addWidget(Panel1);

  ListBox1Model = new LinesModel(state.Document, ListRowSize(kListDesignWidth), this);
  ListBox1 = new RowList(central, ListBox1Model, kListFontHeight);
  layout->addWidget(ListBox1);

  grid_ = std::make_unique<MainGrid>(central, *this);
  layout->addWidget(grid_->View());

  setCentralWidget(central);

  StatusFormat = new QLabel(this);
  StatusFormat->setObjectName(QStringLiteral("StatusFormat"));
  StatusFormat->setContentsMargins(6, 0, 6, 0);
  statusBar()->setSizeGripEnabled(false);
  statusBar()->addPermanentWidget(StatusFormat);

  const auto keys = [this](void (TForm1::*handler)(QKeyEvent&)) {
    return new KeyHook(this, [this, handler](QKeyEvent& e) {
      (this->*handler)(e);
      return false;
    });
  };
  KeyHook* buttonKeys = keys(&TForm1::FormKeyDown);
  for (QPushButton* b : Panel1->findChildren<QPushButton*>()) buttonKeys->Bind(b);
  keys(&TForm1::ListBoxKeyDown)->Bind(ListBox1);
  (new KeyHook(this, [this](QKeyEvent& e) { return StringGridKeyDown(e); }))->Bind(grid_->View());
  // A double click anywhere on the list or the grid, on a row or not.
  ListBox1->viewport()->installEventFilter(this);
  connect(grid_.get(), &MainGrid::doubleClicked, this, [this] {
    if (grid_->CommitEdit()) ListBoxDblClick();
  });
}

void TForm1::BuildCommands(QHBoxLayout& bar) {
  commands_ = std::make_unique<CommandTable>(*menuBar(), bar, *Panel1, kPanelHeight - 2);
  for (const MainCommand& c : MainCommands()) {
    if (c.kind == CommandKind::Slots)
      commands_->AddSlots(c.name, kHistorySlots, [this](int i) { RecentFileClick(i); });
    else
      // A cell being edited is written first; a refusal keeps it open and
      // the command waits.
      commands_->Add(c.kind, c.name, c.caption, c.shortcut, c.enabled, [this, run = c.run] {
        if (grid_->CommitEdit()) (this->*run)();
      });
  }
}

void TForm1::SetControlState(ControlState controls) {
  commands_->Apply(controls);
  StatusFormat->setText(controls == ControlState::NoFile ? QString() : Utf8(msg::FormatLabel(state.DocumentFormat)));
}

// ---- start and end -----------------------------------------------------------------------

void TForm1::FormCreate(const std::optional<std::string>& commandLineFile) {
  // 1. Files dropped from the desktop.
  setAcceptDrops(true);
  // 2.
  state.BaseCaption = std::string(msg::kCaptionMain);
  // 3.
  ReadIniFileValue(ports_.settingsPath, state);
  // 4. The list's design width: the window has not been placed yet.
  state.ListWidthAtStart = kListDesignWidth;
  // 5.
  placed_ = PlaceWidget(*this, state, kWinMain, QSize(kDesignWidth, kDesignHeight), Screens());
  // 6. The horizontal extent, fixed for the run.
  ListBox1Model->SetRowSize(ListRowSize(state.ListWidthAtStart));
  // 7.
  state.HistoryMenuBase = static_cast<int>(commands_->Menu("MenuFile")->actions().size()) - kHistorySlots;
  // 8. As many rows as a file may have lines.
  grid_->SetRowCount(state.ReadLimitLines);
  // 9.
  AdoptDocument(state, Lines(), std::string(), Adoption::Start);
  // 10.
  SetControlState(ControlState::NoFile);
  // 11.
  state.JumpHistory = {"", "0", "", ""};
  state.FindHistory = {};
  // 12.
  if (commandLineFile) {
    // A full path, so that the recent-file list can open it again from any folder.
    state.CurrentFileName = AbsolutePath(*commandLineFile);
    if (LoadCurrentFile(OpenPath::CommandLine) == LoadResult::Unreadable) HistoryMenuRefresh();
  } else {
    HistoryMenuRefresh();
  }
}

void TForm1::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  // 1. The column widths of the open file, without asking; only a grid
  // filled for that file has them.
  grid_->StoreWidthsAtExit();
  // 2.
  ListBox1Model->Clear();
  AdoptDocument(state, Lines(), std::string(), Adoption::Released);
  // 3.
  CaptureWidgetBounds(state, kWinMain, *this, placed_);
  // 4.
  WriteOutcome written = WriteIniFileValue(ports_.settingsPath, state);
  if (!written.ok) ErrorReport(Dlg(), msg::CannotWrite(ports_.settingsPath));
}

// ---- the list and the grid ---------------------------------------------------------------

void TForm1::SetCaption(const std::string& caption) { setWindowTitle(Utf8(caption)); }

std::string TForm1::Caption() const { return windowTitle().toStdString(); }

void TForm1::ListBoxDisp() {
  SetCaption(msg::StatusCaption(state.BaseCaption, state.CurrentFileName, msg::kStatusReading));
  DelayTime(500);
  ListBox1Model->Refill();
  SetCaption(msg::LineCountCaption(state.BaseCaption, state.CurrentFileName, ListRowCount()));
}

void TForm1::DelayTime(int milliseconds) {
  if (ports_.pump) ports_.pump->DelayTime(milliseconds);
}

void TForm1::ShowView(QWidget* shown, QWidget* hidden) {
  shown->show();
  hidden->hide();
  // The view gets its size now, so that scrolling to its current row sees
  // how many rows fit: a view that was hidden has not been laid out.
  centralWidget()->layout()->activate();
}

void TForm1::StringGridDisp() { grid_->Fill(); }

void TForm1::BtnDispChgClick() {
  if (state.GridBuilt == 0) StringGridDisp();
  if (ListVisible()) {
    if (ListRowCount() == 0) return;
    ShowView(grid_->View(), ListBox1);
    grid_->SetCurrentRow(ListSelection() + 1);
    grid_->View()->setFocus();
  } else {
    ShowView(ListBox1, grid_->View());
    SelectListRow(grid_->CurrentRow() - 1);
    ListBox1->setFocus();
  }
}

void TForm1::ReturnRefresh() {
  if (state.DocumentChanged == 1) ListBoxDisp();
  SelectListRow(state.CurrentLine);
  if (state.DocumentChanged == 1) StringGridDisp();
  if (grid_->HoldsLines(ListRowCount())) grid_->SetCurrentRow(state.CurrentLine + 1);
}

void TForm1::ShowDocumentChange() {
  ListBox1Model->Follow(state.LastChange);
  SetCaption(msg::LineCountCaption(state.BaseCaption, state.CurrentFileName, ListRowCount()));
  SelectListRow(state.CurrentLine);
  grid_->FollowDocument();
  if (grid_->HoldsLines(ListRowCount())) grid_->SetCurrentRow(state.CurrentLine + 1);
}

void TForm1::MenuGridWidthChgClick() { grid_->ToggleWidths(); }

void TForm1::MenuGridWodthMemClick() { grid_->RememberWidths(); }

int TForm1::ListSelection() const { return SelectedListRow(*ListBox1); }

int TForm1::ListRowCount() const { return ListBox1Model->rowCount(); }

void TForm1::SelectListRow(int row) { cavel::SelectListRow(*ListBox1, row); }

bool TForm1::ListVisible() const { return !ListBox1->isHidden(); }

// ---- the editing windows, undo and redo ----------------------------------------------------

template <class Window, class... Args>
void TForm1::RunChild(Window* window, int currentLine, Args... args) {
  if (!window) return;
  window->Place();
  state.CurrentLine = currentLine;
  state.DocumentChanged = 0;
  const Opening opening = window->FormDisp(args...);
  if (opening == Opening::Refused) return;
  if (opening == Opening::Show) ShowModal(*window);
  ReturnRefresh();
}

int TForm1::ShowModal(QDialog& window) { return ports_.modal ? ports_.modal->RunModal(window) : 0; }

ScreenSet TForm1::Screens() const { return ports_.screens ? ports_.screens() : DesktopScreens(); }

int TForm1::VisibleViewLine() const { return ListVisible() ? ListSelection() : grid_->CurrentRow() - 1; }

void TForm1::MenuViewClick() { RunChild(forms.Form2, VisibleViewLine(), RecordMode::View); }

void TForm1::MenuEditClick() { RunChild(forms.Form2, VisibleViewLine(), RecordMode::Edit); }

void TForm1::MenuItemSetClick() { RunChild(forms.Form3, ListSelection()); }

void TForm1::MenuExchangeClick() { RunChild(forms.Form8, ListSelection()); }

void TForm1::MenuInportClick() { RunChild(forms.Form9, ListSelection()); }

void TForm1::MenuConvertClick() { RunChild(forms.Form10, ListSelection()); }

void TForm1::MenuSortClick() { RunChild(forms.Form15, ListSelection()); }

void TForm1::MenuCreateClick() {
  if (!forms.Form7) return;
  forms.Form7->Place();
  state.NewFileMade = 0;
  forms.Form7->FormDisp();
  StartGridAfresh(state);
  ShowModal(*forms.Form7);
  if (state.DocumentChanged == 1) ListBoxDisp();
  if (state.NewFileMade == 1) {
    SelectListRow(0);
    ListBox1->setFocus();
  }
}

void TForm1::MenuUndoClick() {
  if (UndoChange(state, Dlg())) ShowDocumentChange();
}

void TForm1::MenuRedoClick() {
  if (RedoChange(state)) ShowDocumentChange();
}

void TForm1::MenuCopyClick() {
  if (!ListVisible()) {
    grid_->CopySelection();
    return;
  }
  const int row = ListSelection();
  if (row < 0 || static_cast<std::size_t>(row) >= state.Document.size()) {
    Notice(Dlg(), std::string(msg::kSelectLineFirst));
    return;
  }
  const std::string_view line = state.Document[static_cast<std::size_t>(row)].view();
  PutCellsOnClipboard(line, std::string(line) + "\r\n");
}

void TForm1::MenuPasteClick() {
  // The list shows lines, not cells: there is no cell to paste into.
  if (ListVisible())
    Notice(Dlg(), std::string(msg::kPasteInGrid));
  else
    grid_->PasteClipboard();
}

// ---- find and jump ---------------------------------------------------------------------------

void TForm1::MenuFindClick() {
  if (!forms.Form5) return;
  const ComboSetup combo = findJump_.OpenFind();
  forms.Form5->FormDisp(findJump_, combo);
  const bool searching = !state.FindText.empty();
  SelectFoundRow(findJump_.Find(Dlg(), ListSelection()));
  if (searching) commands_->SetEnabled("MenuReFind", true);
}

void TForm1::MenuReFindClick() { SelectFoundRow(findJump_.ReFind(Dlg(), ListSelection())); }

void TForm1::MenuJumpClick() {
  if (!forms.Form4) return;
  const ComboSetup combo = findJump_.OpenJump();
  forms.Form4->FormDisp(findJump_, combo);
  SelectFoundRow(findJump_.Jump(ListRowCount()));
}

void TForm1::MenuReplaceClick() {
  if (forms.Form16) forms.Form16->FormDisp();
}

void TForm1::SelectFoundRow(std::optional<int> row) {
  if (!row) return;
  SelectListRow(*row);
  // The grid's cursor follows while the grid shows the open file.
  if (grid_->ShowsFile()) grid_->SetCurrentRow(ListSelection() + 1);
}

// ---- the settings windows ----------------------------------------------------------------

template <class Window>
void TForm1::RunSettings(Window* window) {
  if (!window) return;
  window->Place();
  window->FormDisp();
}

void TForm1::MenuFormPosClick() { RunSettings(forms.Form11); }

void TForm1::MenuFileOpenMemClick() {
  RunSettings(forms.Form12);
  // Saved or cancelled, the slots above the count are emptied.
  HistoryTrim(state);
  HistoryMenuRefresh();
}

void TForm1::MenuGridSetClick() { RunSettings(forms.Form13); }

void TForm1::MenuOptionSetClick() { RunSettings(forms.Form14); }

void TForm1::MenuReadLimitClick() { RunSettings(forms.Form17); }

// ---- keys, exit, help, companion --------------------------------------------------------------

void TForm1::MainKeyDown(QKeyEvent& key, bool enterViews) {
  if (IsEsc(key)) {
    EscClose(*this, Dlg(), state.CloseDialogDisp, msg::kAskQuit);
  } else if (enterViews && IsEnter(key)) {
    MenuViewClick();
  } else if (IsCtrlBracket(key)) {
    ToggleMaximized(*this);
  } else if (IsPlainF4(key)) {
    FocusMoveToApli();
  }
}

void TForm1::FormKeyDown(QKeyEvent& key) { MainKeyDown(key, false); }

void TForm1::ListBoxKeyDown(QKeyEvent& key) { MainKeyDown(key, true); }

bool TForm1::StringGridKeyDown(QKeyEvent& key) {
  if (grid_->KeyDown(key)) return true;
  MainKeyDown(key, true);
  return false;
}

void TForm1::MenuExitClick() { close(); }

void TForm1::MenuHelpDispClick() {
  if (!ports_.help) return;
  std::string reason;
  if (!ports_.help->ShowContents(std::string(msg::kHelpFile), reason))
    ErrorReport(Dlg(), msg::FileError(msg::kHelpFile, reason));
}

void TForm1::FocusMoveToApli() {
  if (!ports_.topWindows) return;
  if (ports_.topWindows->RaiseByClass("VortaMainWin")) return;
  ports_.topWindows->RaiseByClass("ExploreWClass");
}

// ---- events ------------------------------------------------------------------------------------

void TForm1::closeEvent(QCloseEvent* event) {
  event->accept();
  emit closed();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick && watched == ListBox1->viewport() &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    ListBoxDblClick();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace cavel
