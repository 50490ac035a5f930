// The main window, TForm1: the tool bar, the list and grid views, the main
// menu, opening and saving files, the keys, and the commands that show the
// other windows.
//
// The main window's fields live in `state` (core/MainState.h), public, under
// their own names. Controls and menu items are public members under the
// names of the window description, and so are the handlers, so that tests
// and the other windows can reach them.
#pragma once

#include <QMainWindow>
#include <optional>
#include <string>
#include <vector>

#include "app/AppPorts.h"
#include "core/CsvLoader.h"
#include "core/Find.h"
#include "core/GridFill.h"
#include "core/MainState.h"
#include "windows/MainHost.h"
#include "windows/RowList.h"

class QAction;
class QListView;
class QMenu;
class QPushButton;
class QTableView;

namespace cavel {

class KeyHook;
class LinesModel;
class StringGridFrame;
class StringGridModel;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;
class TForm8;
class TForm9;
class TForm10;
class TForm11;
class TForm12;
class TForm13;
class TForm14;

class TForm1 : public QMainWindow, public MainHost, public GridFillHost {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 604, kDesignHeight = 420;
  static constexpr int kListDesignWidth = 596;
  static constexpr int kPanelHeight = 26;
  static constexpr int kListFontHeight = 19, kListItemHeight = kListRowHeight;
  static constexpr int kGridRowsAtStart = 30000;
  static constexpr int kGridRowHeight = 24, kGridDesignColWidth = 84;

  // Builds the controls and menus, then runs FormCreate, which loads the
  // command-line file when one is given.
  TForm1(const AppPorts& ports, std::optional<std::string> commandLineFile);
  ~TForm1() override;

  // The other windows, made after this one (WindowSet).
  struct Children {
    TForm2* Form2 = nullptr;
    TForm3* Form3 = nullptr;
    TForm4* Form4 = nullptr;
    TForm5* Form5 = nullptr;
    TForm6* Form6 = nullptr;
    TForm7* Form7 = nullptr;
    TForm8* Form8 = nullptr;
    TForm9* Form9 = nullptr;
    TForm10* Form10 = nullptr;
    TForm11* Form11 = nullptr;
    TForm12* Form12 = nullptr;
    TForm13* Form13 = nullptr;
    TForm14* Form14 = nullptr;
  };
  void AttachWindows(const Children& children) { forms = children; }
  Children forms;

  // ---- the main window's fields ------------------------------------------------
  MainState state;

  // ---- controls ----------------------------------------------------------------------
  QWidget* Panel1 = nullptr;
  QPushButton* BtnFileOpen = nullptr;
  QPushButton* BtnView = nullptr;
  QPushButton* BtnEdit = nullptr;
  QPushButton* BtnItemSet = nullptr;
  QPushButton* BtnExchange = nullptr;
  QPushButton* BtnCreate = nullptr;
  QPushButton* BtnDispChg = nullptr;
  QListView* ListBox1 = nullptr;
  LinesModel* ListBox1Model = nullptr;
  // The grid: a virtual table over the grid's cells (windows/StringGrid.h).
  QTableView* StringGrid1 = nullptr;
  StringGridModel* StringGrid1Model = nullptr;

  // ---- the main menu --------------------------------------------------------------
  QMenu* MenuFile = nullptr;
  QMenu* MenuDisp = nullptr;
  QMenu* MenuSearch = nullptr;
  QMenu* MenuOption = nullptr;
  QMenu* MenuHelp = nullptr;
  QAction* MenuFileOpen = nullptr;
  QAction* MenuOverWriteSave = nullptr;
  QAction* MenuAnotherSave = nullptr;
  QAction* MenuExit = nullptr;
  QAction* MenuFileSeparate = nullptr;
  // The recent-file items MenuFileOpen1 ... MenuFileOpen9 (index 1..9).
  OneBased<QAction*, kHistorySlots> MenuFileOpenN{};
  QAction* MenuView = nullptr;
  QAction* MenuEdit = nullptr;
  QAction* MenuItemSet = nullptr;
  QAction* MenuExchange = nullptr;
  QAction* MenuCreate = nullptr;
  QAction* MenuInport = nullptr;
  QAction* MenuConvert = nullptr;
  QAction* MenuDispChg = nullptr;
  QAction* MenuGridWidthChg = nullptr;
  QAction* MenuGridWodthMem = nullptr;
  QAction* MenuUndo = nullptr;
  QAction* MenuRedo = nullptr;
  QAction* MenuFind = nullptr;
  QAction* MenuReFind = nullptr;
  QAction* MenuJump = nullptr;
  QAction* MenuFormPos = nullptr;
  QAction* MenuFileOpenMem = nullptr;
  QAction* MenuGridSet = nullptr;
  QAction* MenuOptionSet = nullptr;
  QAction* MenuHelpDisp = nullptr;

  // ---- start and end ------------------------------------------------------------------
  void FormCreate(const std::optional<std::string>& commandLineFile);
  // Stores what outlives the run: the column widths (when asked for), the
  // main window's bounds, the settings file. Runs once, after the loop.
  void FormDestroy();

  // ---- control states -------------------------------------------------------------------
  void SetNoFileState();
  void SetFileLoadedState();
  void SetNewFileState() override;
  // 元に戻す and やり直し: enabled while there is a step to take.
  void UndoMenuRefresh();

  // ---- the list view ------------------------------------------------------------------------
  void ListBoxDisp() override;
  void DelayTime(int milliseconds) override;
  void BtnDispChgClick();
  void MenuDispChgClick() { BtnDispChgClick(); }
  // After a modal child window: list refill, selection, grid refill, grid cursor.
  void ReturnRefresh();
  void ListBoxDblClick() { MenuViewClick(); }

  // ---- opening ---------------------------------------------------------------------------------
  void MenuFileOpenClick();
  void MenuFileOpen1Click() { RecentFileClick(1); }
  void MenuFileOpen2Click() { RecentFileClick(2); }
  void MenuFileOpen3Click() { RecentFileClick(3); }
  void MenuFileOpen4Click() { RecentFileClick(4); }
  void MenuFileOpen5Click() { RecentFileClick(5); }
  void MenuFileOpen6Click() { RecentFileClick(6); }
  void MenuFileOpen7Click() { RecentFileClick(7); }
  void MenuFileOpen8Click() { RecentFileClick(8); }
  void MenuFileOpen9Click() { RecentFileClick(9); }
  // The recent-file path for slot i (1..9).
  void RecentFileClick(int i);
  void MenuFileOpenExecute();
  // The drop path: only the first file is opened.
  void DropFiles(const std::vector<std::string>& paths);
  void HistoryMenuRefresh() override;

  // ---- saving -----------------------------------------------------------------------------------
  void MenuOverWriteSaveClick();
  void MenuAnotherSaveClick();

  // ---- the other windows' commands ----------------------------------------------------------
  void MenuViewClick();
  void MenuEditClick();
  void MenuItemSetClick();
  void MenuExchangeClick();
  void MenuCreateClick();
  void MenuInportClick();
  void MenuConvertClick();
  void MenuFindClick();
  void MenuReFindClick();
  void MenuJumpClick();
  void MenuFormPosClick();
  void MenuFileOpenMemClick();
  void MenuGridSetClick();
  void MenuOptionSetClick();

  // ---- the grid -------------------------------------------------------------------------------
  void StringGridDisp() override;
  void MenuGridWidthChgClick();
  void MenuGridWodthMemClick();

  // ---- undo and redo ------------------------------------------------------------------
  // The Document and CurrentLine as before the last step (after the next
  // one), then the return refresh as after a window that changed it.
  void MenuUndoClick();
  void MenuRedoClick();
  int GridRowCount() const;
  int GridCurrentRow() const override;
  void SetGridCurrentRow(int row);
  // True when the grid holds the current Document (its row count is the list's + 1).
  bool GridHoldsDocument() const;
  // Cell (0, 0): the name of the file the grid was filled for.
  std::string GridCornerText() const;
  // The widths of every grid column, column 0 first.
  std::vector<int> GridColumnWidths() const;
  // Sets the widths of the first columns, column 0 first.
  void SetGridColumnWidths(const std::vector<int>& widths);
  // The grid's cells.
  const GridCells& GridStore() const { return gridCells_; }
  void GridBlankCells(int cols, int rows) override;
  void GridResetWidths() override;

  // ---- keys, exit, help, companion ------------------------------------------------------
  // Bound to the seven tool buttons.
  void FormKeyDown(QKeyEvent& key);
  void ListBoxKeyDown(QKeyEvent& key);
  void StringGridKeyDown(QKeyEvent& key);
  void MenuExitClick();
  void MenuHelpDispClick();
  void FocusMoveToApli();

  // ---- MainHost ---------------------------------------------------------------------------------
  MainState& State() override { return state; }
  Dialogs& Dlg() override { return *ports_.dialogs; }
  FileDialogs& Files() override { return *ports_.files; }
  ScreenSet Screens() const override;
  const std::string& SettingsPath() const override { return ports_.settingsPath; }
  QWidget* MainWindow() override { return this; }
  int ShowModal(QDialog& window) override;
  int ListSelection() const override;
  int ListRowCount() const override;
  void SelectListRow(int row) override;
  bool ListVisible() const override;

  // The caption as the user sees it, in UTF-8.
  std::string Caption() const;

 signals:
  // The main window has closed: the program ends.
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void BuildMenu();
  void SetCaption(const std::string& caption) override;
  // Runs CsvLoader on CurrentFileName with the path's item limit, then the
  // path's success or failure steps. An unreadable file shows the error
  // report and leaves the Document, the controls and the list as they were.
  LoadResult LoadCurrentFile(OpenPath path);
  // An open abandoned before the Document was replaced: CurrentFileName
  // names the Document's file again.
  void AbandonOpen();
  // "Grid view switched to the list".
  void SwitchGridToList();
  // Shows one view, hides the other, and lays the shown one out at once.
  void ShowView(QWidget* shown, QWidget* hidden);
  void MakeListFirstInTabOrder();
  void MainKeyDown(QKeyEvent& key, bool enterViews);
  // The procedure of every editing window: place it, CurrentLine :=
  // `currentLine` and DocumentChanged := 0, let it fill itself
  // (FormDisp(args...)), show it modally when it says so, and run the
  // return refresh unless it refused to open.
  template <class Window, class... Args>
  void RunChild(Window* window, int currentLine, Args... args);
  // The record window's line: the list's selection, or the grid's current
  // row's line while the grid is the view shown.
  int VisibleViewLine() const;
  // Moves the fill's cells into the grid and sets the widths it returns.
  void ApplyFill(GridFill& fill) override;
  // Find, find again and jump: selects the row found and lets the grid follow.
  void SelectFoundRow(std::optional<int> row);
  // When the grid shows the open file, its current row follows the list's selection.
  void GridFollowList();

  AppPorts ports_;
  KeyHook* buttonKeys_ = nullptr;
  KeyHook* listKeys_ = nullptr;
  KeyHook* gridKeys_ = nullptr;
  bool destroyed_ = false;
  Placement placed_;
  GridCells gridCells_;
  StringGridFrame* gridFrame_ = nullptr;
  FindJump findJump_{state};
};

}  // namespace cavel
