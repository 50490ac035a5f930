#include "app/Main.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "app/Startup.h"
#include "core/CsvWriter.h"
#include "core/DialogFolder.h"
#include "core/Dialogs.h"
#include "core/Find.h"
#include "core/GridFill.h"
#include "core/History.h"
#include "core/Messages.h"
#include "core/SavePath.h"
#include "core/Settings.h"
#include "platform/FileDialogs.h"
#include "platform/Help.h"
#include "platform/Keys.h"
#include "platform/Modal.h"
#include "platform/Placement.h"
#include "platform/Pump.h"
#include "platform/QtText.h"
#include "platform/TopWindows.h"
#include "windows/ButtonBar.h"
#include "windows/Convert.h"
#include "windows/Create.h"
#include "windows/Dialog.h"
#include "windows/Editdsp.h"
#include "windows/Exchange.h"
#include "windows/Formpos.h"
#include "windows/Formregi.h"
#include "windows/Gridset.h"
#include "windows/Inport.h"
#include "windows/Itemset.h"
#include "windows/Jump.h"
#include "windows/LinesModel.h"
#include "windows/RowList.h"
#include "windows/Search.h"
#include "windows/StringGrid.h"
#include "windows/View.h"

namespace cavel {

namespace {

// A path as the menu shows it: '&' would be taken for an accelerator.
QString MenuPath(const std::string& path) {
  QString text = QFile::decodeName(QByteArray::fromStdString(path));
  text.replace(QLatin1Char('&'), QStringLiteral("&&"));
  return text;
}

}  // namespace

TForm1::TForm1(const AppPorts& ports, std::optional<std::string> commandLineFile) : ports_(ports) {
  setObjectName(QStringLiteral("TForm1"));
  setWindowTitle(Utf8(msg::kCaptionMain));
  resize(kDesignWidth, kDesignHeight);
  BuildControls();
  BuildMenu();
  FormCreate(commandLineFile);
}

TForm1::~TForm1() {
  // The grid's model shows cells that are about to go: no view may ask it
  // for them while the window's children are hidden and released.
  delete StringGrid1;
}

// ---- construction ------------------------------------------------------------------

void TForm1::BuildControls() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  Panel1 = new QWidget(central);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFixedHeight(kPanelHeight);
  QHBoxLayout* bar = NewButtonBar(Panel1);
  auto button = [&](QPushButton*& b, const char* name, std::string_view caption, void (TForm1::*handler)()) {
    b = AddBarButton(*bar, Panel1, name, caption, kPanelHeight - 2);
    connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
  };
  button(BtnFileOpen, "BtnFileOpen", msg::kBtnFileOpen, &TForm1::MenuFileOpenClick);
  button(BtnView, "BtnView", msg::kBtnView, &TForm1::MenuViewClick);
  button(BtnEdit, "BtnEdit", msg::kBtnEdit, &TForm1::MenuEditClick);
  button(BtnItemSet, "BtnItemSet", msg::kBtnItemSet, &TForm1::MenuItemSetClick);
  button(BtnExchange, "BtnExchange", msg::kBtnExchange, &TForm1::MenuExchangeClick);
  button(BtnCreate, "BtnCreate", msg::kBtnCreate, &TForm1::MenuCreateClick);
  button(BtnDispChg, "BtnDispChg", msg::kBtnDispChg, &TForm1::BtnDispChgClick);
  bar->addStretch();
  layout->addWidget(Panel1);

  ListBox1Model = new LinesModel(state.Document, ListRowSize(kListDesignWidth), this);
  ListBox1 = new RowList(central, ListBox1Model, kListFontHeight);
  layout->addWidget(ListBox1);

  StringGrid1 = new QTableView(central);
  StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
  StringGrid1Model = new StringGridModel(gridCells_, this);
  gridFrame_ = new StringGridFrame(*StringGrid1, *StringGrid1Model, kGridRowHeight, kGridDesignColWidth);
  StringGrid1->hide();
  layout->addWidget(StringGrid1);

  setCentralWidget(central);

  buttonKeys_ = new KeyHook(this, [this](QKeyEvent& e) {
    FormKeyDown(e);
    return false;
  });
  buttonKeys_->Bind({BtnFileOpen, BtnView, BtnEdit, BtnItemSet, BtnExchange, BtnCreate, BtnDispChg});
  listKeys_ = new KeyHook(this, [this](QKeyEvent& e) {
    ListBoxKeyDown(e);
    return false;
  });
  listKeys_->Bind(ListBox1);
  gridKeys_ = new KeyHook(this, [this](QKeyEvent& e) {
    StringGridKeyDown(e);
    return false;
  });
  gridKeys_->Bind(StringGrid1);
  // A double click anywhere on the list or the grid, on a row or not.
  ListBox1->viewport()->installEventFilter(this);
  connect(gridFrame_, &StringGridFrame::doubleClicked, this, [this] { ListBoxDblClick(); });
}

void TForm1::BuildMenu() {
  QMenuBar* bar = menuBar();
  auto item = [&](QMenu* menu, QAction*& action, const char* name, std::string_view caption, void (TForm1::*handler)(),
                  QKeySequence shortcut = {}) {
    action = menu->addAction(Utf8(caption));
    action->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
  };
  auto menu = [&](QMenu*& m, const char* name, std::string_view caption) {
    m = bar->addMenu(Utf8(caption));
    m->setObjectName(QLatin1String(name));
  };
  const auto ctrl = [](Qt::Key key) { return QKeySequence(Qt::CTRL | key); };

  menu(MenuFile, "MenuFile", msg::kMenuFile);
  // The separator above the recent files stands even when all nine are hidden.
  MenuFile->setSeparatorsCollapsible(false);
  item(MenuFile, MenuFileOpen, "MenuFileOpen", msg::kMenuFileOpen, &TForm1::MenuFileOpenClick, ctrl(Qt::Key_O));
  item(MenuFile, MenuOverWriteSave, "MenuOverWriteSave", msg::kMenuOverWriteSave, &TForm1::MenuOverWriteSaveClick,
       ctrl(Qt::Key_S));
  item(MenuFile, MenuAnotherSave, "MenuAnotherSave", msg::kMenuAnotherSave, &TForm1::MenuAnotherSaveClick);
  item(MenuFile, MenuExit, "MenuExit", msg::kMenuExit, &TForm1::MenuExitClick);
  MenuFileSeparate = MenuFile->addSeparator();
  MenuFileSeparate->setObjectName(QStringLiteral("MenuFileSeparate"));
  for (int i = 1; i <= kHistorySlots; ++i) {
    QAction* a = MenuFile->addAction(QStringLiteral("FileOpen%1").arg(i));
    a->setObjectName(QStringLiteral("MenuFileOpen%1").arg(i));
    a->setVisible(false);
    connect(a, &QAction::triggered, this, [this, i] { RecentFileClick(i); });
    MenuFileOpenN[i] = a;
  }

  menu(MenuDisp, "MenuDisp", msg::kMenuDisp);
  item(MenuDisp, MenuView, "MenuView", msg::kMenuView, &TForm1::MenuViewClick, ctrl(Qt::Key_V));
  item(MenuDisp, MenuEdit, "MenuEdit", msg::kMenuEdit, &TForm1::MenuEditClick, ctrl(Qt::Key_E));
  item(MenuDisp, MenuItemSet, "MenuItemSet", msg::kMenuItemSet, &TForm1::MenuItemSetClick);
  item(MenuDisp, MenuExchange, "MenuExchange", msg::kMenuExchange, &TForm1::MenuExchangeClick);
  item(MenuDisp, MenuCreate, "MenuCreate", msg::kMenuCreate, &TForm1::MenuCreateClick);
  item(MenuDisp, MenuInport, "MenuInport", msg::kMenuInport, &TForm1::MenuInportClick);
  item(MenuDisp, MenuConvert, "MenuConvert", msg::kMenuConvert, &TForm1::MenuConvertClick);
  MenuDisp->addSeparator();
  item(MenuDisp, MenuDispChg, "MenuDispChg", msg::kMenuDispChg, &TForm1::MenuDispChgClick, ctrl(Qt::Key_R));
  item(MenuDisp, MenuGridWidthChg, "MenuGridWidthChg", msg::kMenuGridWidthChg, &TForm1::MenuGridWidthChgClick,
       ctrl(Qt::Key_W));
  item(MenuDisp, MenuGridWodthMem, "MenuGridWodthMem", msg::kMenuGridWodthMem, &TForm1::MenuGridWodthMemClick,
       ctrl(Qt::Key_M));
  MenuDisp->addSeparator();
  item(MenuDisp, MenuUndo, "MenuUndo", msg::kMenuUndo, &TForm1::MenuUndoClick, ctrl(Qt::Key_Z));
  item(MenuDisp, MenuRedo, "MenuRedo", msg::kMenuRedo, &TForm1::MenuRedoClick, ctrl(Qt::Key_Y));

  menu(MenuSearch, "MenuSearch", msg::kMenuSearch);
  item(MenuSearch, MenuFind, "MenuFind", msg::kMenuFind, &TForm1::MenuFindClick, ctrl(Qt::Key_F));
  item(MenuSearch, MenuReFind, "MenuReFind", msg::kMenuReFind, &TForm1::MenuReFindClick, ctrl(Qt::Key_L));
  item(MenuSearch, MenuJump, "MenuJump", msg::kMenuJump, &TForm1::MenuJumpClick, ctrl(Qt::Key_J));

  menu(MenuOption, "MenuOption", msg::kMenuOption);
  item(MenuOption, MenuFormPos, "MenuFormPos", msg::kMenuFormPos, &TForm1::MenuFormPosClick);
  item(MenuOption, MenuFileOpenMem, "MenuFileOpenMem", msg::kMenuFileOpenMem, &TForm1::MenuFileOpenMemClick);
  item(MenuOption, MenuGridSet, "MenuGridSet", msg::kMenuGridSet, &TForm1::MenuGridSetClick);
  item(MenuOption, MenuOptionSet, "MenuOptionSet", msg::kMenuOptionSet, &TForm1::MenuOptionSetClick);

  menu(MenuHelp, "MenuHelp", msg::kMenuHelp);
  item(MenuHelp, MenuHelpDisp, "MenuHelpDisp", msg::kMenuHelpDisp, &TForm1::MenuHelpDispClick);
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
  state.HistoryMenuBase = static_cast<int>(MenuFile->actions().size()) - kHistorySlots;
  // 8.
  StringGrid1Model->Reset([this] { gridCells_.SetRowCount(kGridRowsAtStart); });
  state.GridBuilt = 0;
  state.GridWidthState = 0;
  SetGridCurrentRow(1);
  state.DocumentChanged = 0;
  // 9.
  state.Document.clear();
  state.DocumentFileName.clear();
  state.Undo.Clear();
  // 10.
  SetNoFileState();
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
  StoreGridWidthsAtExit(state, Dlg(), ports_.settingsPath, gridCells_, GridColumnWidths());
  // 2.
  ListBox1Model->Clear();
  Lines().swap(state.Document);
  state.Undo.Clear();
  // 3.
  CaptureWidgetBounds(state, kWinMain, *this, placed_);
  // 4.
  WriteOutcome written = WriteIniFileValue(ports_.settingsPath, state);
  if (!written.ok) ErrorReport(Dlg(), msg::CannotWrite(ports_.settingsPath));
}

// ---- control states --------------------------------------------------------------------

void TForm1::SetNoFileState() {
  for (QPushButton* b : {BtnView, BtnEdit, BtnItemSet, BtnExchange, BtnDispChg}) b->setEnabled(false);
  for (QAction* a : {MenuOverWriteSave, MenuAnotherSave, MenuView, MenuEdit, MenuItemSet, MenuExchange, MenuInport,
                     MenuConvert, MenuDispChg, MenuGridWidthChg, MenuFind, MenuJump, MenuReFind})
    a->setEnabled(false);
  MenuSearch->menuAction()->setEnabled(false);
  BtnCreate->setEnabled(true);
  MenuCreate->setEnabled(true);
  MenuUndo->setEnabled(false);
  MenuRedo->setEnabled(false);
}

void TForm1::SetFileLoadedState() {
  for (QPushButton* b : {BtnView, BtnEdit, BtnItemSet, BtnExchange, BtnDispChg}) b->setEnabled(true);
  for (QAction* a : {MenuOverWriteSave, MenuAnotherSave, MenuView, MenuEdit, MenuItemSet, MenuExchange, MenuInport,
                     MenuConvert, MenuDispChg, MenuGridWidthChg, MenuFind, MenuJump})
    a->setEnabled(true);
  MenuSearch->menuAction()->setEnabled(true);
  // MenuReFind keeps its state: the find command governs it.
  BtnCreate->setEnabled(false);
  MenuCreate->setEnabled(false);
  UndoMenuRefresh();
}

void TForm1::SetNewFileState() {
  // As the file-loaded state, except that 表示切替, ｸﾞﾘｯﾄﾞ幅切替 and 再検索 keep
  // the state they had.
  for (QPushButton* b : {BtnView, BtnEdit, BtnItemSet, BtnExchange, BtnDispChg}) b->setEnabled(true);
  for (QAction* a : {MenuOverWriteSave, MenuAnotherSave, MenuView, MenuEdit, MenuItemSet, MenuExchange, MenuInport,
                     MenuConvert, MenuFind, MenuJump})
    a->setEnabled(true);
  MenuSearch->menuAction()->setEnabled(true);
  BtnCreate->setEnabled(false);
  MenuCreate->setEnabled(false);
  UndoMenuRefresh();
}

void TForm1::UndoMenuRefresh() {
  MenuUndo->setEnabled(state.Undo.CanUndo());
  MenuRedo->setEnabled(state.Undo.CanRedo());
}

// ---- the list view ----------------------------------------------------------------------

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

void TForm1::BtnDispChgClick() {
  if (state.GridBuilt == 0) StringGridDisp();
  if (ListVisible()) {
    if (ListRowCount() == 0) return;
    ShowView(StringGrid1, ListBox1);
    SetGridCurrentRow(ListSelection() + 1);
    StringGrid1->setFocus();
  } else {
    ShowView(ListBox1, StringGrid1);
    SelectListRow(GridCurrentRow() - 1);
    ListBox1->setFocus();
  }
}

void TForm1::ReturnRefresh() {
  if (state.DocumentChanged == 1) ListBoxDisp();
  SelectListRow(state.CurrentLine);
  if (state.DocumentChanged == 1) StringGridDisp();
  if (GridHoldsDocument()) SetGridCurrentRow(state.CurrentLine + 1);
  UndoMenuRefresh();
}

int TForm1::ListSelection() const { return SelectedListRow(*ListBox1); }

int TForm1::ListRowCount() const { return ListBox1Model->rowCount(); }

void TForm1::SelectListRow(int row) { cavel::SelectListRow(*ListBox1, row); }

bool TForm1::ListVisible() const { return !ListBox1->isHidden(); }

// ---- opening -----------------------------------------------------------------------------

void TForm1::SwitchGridToList() {
  if (ListVisible()) return;
  ShowView(ListBox1, StringGrid1);
  ListBox1->setFocus();
}

void TForm1::MakeListFirstInTabOrder() {
  QWidget::setTabOrder(ListBox1, BtnFileOpen);
  QWidget::setTabOrder(BtnFileOpen, BtnView);
  QWidget* focus = focusWidget();
  if (!focus || focus == this) ListBox1->setFocus();
}

void TForm1::AbandonOpen() { state.CurrentFileName = state.DocumentFileName; }

LoadResult TForm1::LoadCurrentFile(OpenPath path) {
  const int limit = (path == OpenPath::CommandLine || path == OpenPath::Dialog) ? kItemLimitWide : kItemLimitNarrow;
  Lines loaded;
  const LoadOutcome outcome = CsvLoader(state.CurrentFileName, limit, Dlg(), loaded);
  if (outcome.result == LoadResult::Unreadable) {
    ErrorReport(Dlg(), msg::FileError(state.CurrentFileName, outcome.error));
    AbandonOpen();
    return outcome.result;
  }
  // From here on the Document is this file's: loaded whole, or emptied.
  // Undo never reaches back past it.
  state.DocumentFileName = state.CurrentFileName;
  state.Undo.Clear();
  const bool recordHistory = path != OpenPath::Recent;
  state.DocumentFormat = outcome.result == LoadResult::Loaded ? outcome.format : kShiftJisCrLf;
  if (outcome.result == LoadResult::Loaded) {
    state.Document = std::move(loaded);
    // Success steps.
    state.GridBuilt = 0;
    state.GridWidthState = 0;
    SetGridCurrentRow(1);
    state.DocumentChanged = 0;
    ListBoxDisp();
    SetFileLoadedState();
    SelectListRow(0);
    if (path == OpenPath::Dialog || path == OpenPath::Recent)
      ListBox1->setFocus();
    else
      MakeListFirstInTabOrder();
    if (recordHistory) {
      HistoryAddFile(state, state.CurrentFileName);
      HistoryTrim(state);
      HistoryMenuRefresh();
    }
  } else {
    // Failure steps.
    SetNoFileState();
    Lines().swap(state.Document);
    ListBoxDisp();
    if (recordHistory) {
      HistoryTrim(state);
      HistoryMenuRefresh();
    }
  }
  return outcome.result;
}

void TForm1::MenuFileOpenClick() {
  OpenFileRequest request{std::string(msg::kTitleOpenFile), CsvFileFilters(), OpenDialogFolder(state, HomeFolder())};
  std::optional<std::string> chosen = Files().OpenFileName(request);
  if (!chosen) return;
  RememberDialogFolder(state, *chosen);
  state.CurrentFileName = *chosen;
  if (!FileExists(state.CurrentFileName)) {
    Refuse(Dlg(), std::string(msg::kFileMissing));
    AbandonOpen();
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
    AbandonOpen();
    return;
  }
  // A file that cannot be read ends the command: its slot stays where it is.
  if (LoadCurrentFile(OpenPath::Recent) == LoadResult::Unreadable) state.HistoryOpenFailed = 1;
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
    QAction* a = MenuFileOpenN[i];
    const HistoryMenuItem& item = items[static_cast<std::size_t>(i - 1)];
    if (item.visible) a->setText(MenuPath(item.caption));
    a->setVisible(item.visible);
  }
  MenuFileSeparate->setVisible(true);
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
  SaveFileRequest request{std::string(msg::kTitleAnotherSave), std::string(), CsvFileFilters(),
                          SaveDialogFolder(state, HomeFolder())};
  std::optional<std::string> chosen = Files().SaveFileName(request);
  if (!chosen) return;
  RememberDialogFolder(state, *chosen);
  const std::string path = WithCsvExtension(*chosen, Dlg());
  SaveLines(path, state.Document, state.DocumentFormat, Dlg());
}

// ---- the other windows' commands ------------------------------------------------------------

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

int TForm1::VisibleViewLine() const { return ListVisible() ? ListSelection() : GridCurrentRow() - 1; }

void TForm1::MenuViewClick() { RunChild(forms.Form2, VisibleViewLine(), RecordMode::View); }

void TForm1::MenuEditClick() { RunChild(forms.Form2, VisibleViewLine(), RecordMode::Edit); }

void TForm1::MenuItemSetClick() { RunChild(forms.Form3, ListSelection()); }

void TForm1::MenuExchangeClick() { RunChild(forms.Form8, ListSelection()); }

void TForm1::MenuInportClick() { RunChild(forms.Form9, ListSelection()); }

void TForm1::MenuConvertClick() { RunChild(forms.Form10, ListSelection()); }

void TForm1::MenuCreateClick() {
  if (!forms.Form7) return;
  forms.Form7->Place();
  state.NewFileMade = 0;
  forms.Form7->FormDisp();
  state.GridBuilt = 0;
  state.GridWidthState = 0;
  SetGridCurrentRow(1);
  state.DocumentChanged = 0;
  ShowModal(*forms.Form7);
  if (state.DocumentChanged == 1) ListBoxDisp();
  if (state.NewFileMade == 1) {
    SelectListRow(0);
    ListBox1->setFocus();
  }
}

// ---- undo and redo ----------------------------------------------------------------------------

void TForm1::MenuUndoClick() {
  if (UndoChange(state)) ReturnRefresh();
}

void TForm1::MenuRedoClick() {
  if (RedoChange(state)) ReturnRefresh();
}

void TForm1::MenuFindClick() {
  if (!forms.Form5) return;
  const ComboSetup combo = findJump_.OpenFind();
  forms.Form5->FormDisp(findJump_, combo);
  const bool searching = !state.FindText.empty();
  SelectFoundRow(findJump_.Find(Dlg(), ListSelection()));
  if (searching) MenuReFind->setEnabled(true);
}

void TForm1::MenuReFindClick() { SelectFoundRow(findJump_.ReFind(Dlg(), ListSelection())); }

void TForm1::MenuJumpClick() {
  if (!forms.Form4) return;
  const ComboSetup combo = findJump_.OpenJump();
  forms.Form4->FormDisp(findJump_, combo);
  SelectFoundRow(findJump_.Jump(ListRowCount()));
}

void TForm1::SelectFoundRow(std::optional<int> row) {
  if (!row) return;
  SelectListRow(*row);
  GridFollowList();
}

void TForm1::GridFollowList() {
  if (GridShowsFile(state, gridCells_)) SetGridCurrentRow(ListSelection() + 1);
}

void TForm1::MenuFormPosClick() {
  if (!forms.Form11) return;
  forms.Form11->Place();
  forms.Form11->FormDisp();
}

void TForm1::MenuFileOpenMemClick() {
  if (!forms.Form12) return;
  forms.Form12->Place();
  forms.Form12->FormDisp();
  // Saved or cancelled, the slots above the count are emptied.
  HistoryTrim(state);
  HistoryMenuRefresh();
}

void TForm1::MenuGridSetClick() {
  if (!forms.Form13) return;
  forms.Form13->Place();
  forms.Form13->FormDisp();
}

void TForm1::MenuOptionSetClick() {
  if (!forms.Form14) return;
  forms.Form14->Place();
  forms.Form14->FormDisp();
}

int TForm1::ShowModal(QDialog& window) { return ports_.modal ? ports_.modal->RunModal(window) : 0; }

ScreenSet TForm1::Screens() const { return ports_.screens ? ports_.screens() : DesktopScreens(); }

// ---- the grid ---------------------------------------------------------------------------------

void TForm1::StringGridDisp() { cavel::StringGridDisp(state, Dlg(), ports_.settingsPath, *this); }

void TForm1::ApplyFill(GridFill& fill) {
  // The current cell, and for an empty Document the widths, outlive the
  // model's reset.
  const std::vector<int> before = GridColumnWidths();
  const QModelIndex current = StringGrid1->currentIndex();
  const int row = GridCurrentRow();
  std::optional<std::vector<int>> widths;
  StringGrid1->horizontalHeader()->setDefaultSectionSize(state.ColWidth);
  StringGrid1Model->Reset([&] { widths = fill.ApplyTo(gridCells_); });
  SetGridColumnWidths(widths ? *widths : before);
  const int rows = StringGrid1Model->rowCount(), cols = StringGrid1Model->columnCount();
  if (rows == 0 || cols == 0) return;
  const QModelIndex cell = StringGrid1Model->index(std::clamp(row - 1, 0, rows - 1),
                                                   std::clamp(current.isValid() ? current.column() : 0, 0, cols - 1));
  StringGrid1->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect);
}

void TForm1::MenuGridWidthChgClick() {
  std::vector<int> widths = GridColumnWidths();
  if (StringGridWidthChg(state, Dlg(), ports_.settingsPath, gridCells_, widths)) SetGridColumnWidths(widths);
}

void TForm1::MenuGridWodthMemClick() {
  cavel::MenuGridWodthMemClick(state, Dlg(), ports_.settingsPath, gridCells_, GridColumnWidths());
}

int TForm1::GridRowCount() const { return gridCells_.RowCount(); }

int TForm1::GridCurrentRow() const {
  const QModelIndex current = StringGrid1->currentIndex();
  return current.isValid() ? current.row() + 1 : 1;
}

void TForm1::SetGridCurrentRow(int row) {
  const int rows = StringGrid1Model->rowCount(), cols = StringGrid1Model->columnCount();
  if (rows == 0 || cols == 0) return;
  // Row 0 is fixed: the first row that can be current is row 1.
  const QModelIndex current = StringGrid1->currentIndex();
  const QModelIndex cell = StringGrid1Model->index(std::clamp(row - 1, 0, rows - 1),
                                                   current.isValid() ? std::min(current.column(), cols - 1) : 0);
  StringGrid1->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect);
  // A hidden grid has no size to scroll by: the switch to the grid scrolls.
  if (!StringGrid1->isHidden()) StringGrid1->scrollTo(cell);
}

bool TForm1::GridHoldsDocument() const { return GridRowCount() == ListRowCount() + 1; }

std::string TForm1::GridCornerText() const { return std::string(gridCells_.Cell(0, 0)); }

std::vector<int> TForm1::GridColumnWidths() const { return gridFrame_->Widths(); }

void TForm1::SetGridColumnWidths(const std::vector<int>& widths) { gridFrame_->SetWidths(widths); }

void TForm1::GridBlankCells(int cols, int rows) {
  gridCells_.BlankCells(cols, rows);
  StringGrid1Model->CellsChanged();
}

void TForm1::GridResetWidths() {
  StringGrid1->horizontalHeader()->setDefaultSectionSize(state.ColWidth);
  SetGridColumnWidths(DefaultWidths(gridCells_, state.ColWidth));
}

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

void TForm1::StringGridKeyDown(QKeyEvent& key) { MainKeyDown(key, true); }

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
