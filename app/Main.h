// The main window, TForm1: the tool bar and the menus (made from its
// command table, app/MainCommands.h), the list and the grid (MainGrid), and
// the commands: opening and saving files, the other windows, undo, find
// and jump, the settings windows, keys and help.
//
// The main window's fields live in `state` (core/MainState.h), public,
// under their own names, and so do the handlers, under the names of the
// window description. The commands' controls are reached by name through
// Commands(), the grid through Grid().
#pragma once

#include <QMainWindow>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AppPorts.h"
#include "core/Find.h"
#include "core/MainState.h"
#include "windows/CommandTable.h"
#include "windows/MainHost.h"
#include "windows/RowList.h"

class QLabel;

namespace cavel {

class KeyHook;
class LinesModel;
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
class TForm15;
class TForm16;
class TForm17;

class TForm1 : public QMainWindow, public MainHost {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 604, kDesignHeight = 420;
  static constexpr int kListDesignWidth = 596;
  static constexpr int kPanelHeight = 26;
  static constexpr int kListFontHeight = 19, kListItemHeight = kListRowHeight;

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
    TForm15* Form15 = nullptr;
    TForm16* Form16 = nullptr;
    TForm17* Form17 = nullptr;
  };
  void AttachWindows(const Children& children) { forms = children; }
  Children forms;

  // ---- the main window's fields and controls ------------------------------------
  MainState state;
  QWidget* Panel1 = nullptr;  // the tool bar
  RowList* ListBox1 = nullptr;
  LinesModel* ListBox1Model = nullptr;
  // On the status bar: the open file's encoding and line end; empty without a file.
  QLabel* StatusFormat = nullptr;
  // The menus, menu items and tool buttons, by name.
  const CommandTable& Commands() const { return *commands_; }
  MainGrid& Grid() override { return *grid_; }

  // ---- start and end -----------------------------------------------------------------
  void FormCreate(const std::optional<std::string>& commandLineFile);
  // Stores what outlives the run: the column widths (when asked for), the
  // main window's bounds, the settings file. Runs once, after the loop.
  void FormDestroy();
  // Enables and disables the commands as the command table says for `state`.
  void SetControlState(ControlState controls) override;

  // ---- the list and the grid ---------------------------------------------------------
  void ListBoxDisp() override;
  void StringGridDisp() override;
  void DelayTime(int milliseconds) override;
  void BtnDispChgClick();
  void MenuDispChgClick() { BtnDispChgClick(); }
  // After a modal child window: list refill, selection, grid refill, grid cursor.
  void ReturnRefresh();
  void ShowDocumentChange() override;
  void ListBoxDblClick() { MenuViewClick(); }
  void MenuGridWidthChgClick();
  void MenuGridWodthMemClick();

  // ---- opening ---------------------------------------------------------------------------
  void MenuFileOpenClick();
  // The recent-file items MenuFileOpen1 .. MenuFileOpen9 (slot i, 1..9).
  void RecentFileClick(int i);
  void MenuFileOpenExecute();
  // The drop path: only the first file is opened.
  void DropFiles(const std::vector<std::string>& paths);
  void HistoryMenuRefresh() override;
  // The open file read again in the encoding chosen, by the open dialog's
  // road (a file with the byte-order mark is UTF-8 either way).
  void MenuReopenShiftJisClick() { ReopenAs(EncodingChoice::ShiftJis); }
  void MenuReopenUtf8Click() { ReopenAs(EncodingChoice::Utf8); }

  // ---- saving ------------------------------------------------------------------------------
  void MenuOverWriteSaveClick();
  void MenuAnotherSaveClick();

  // ---- the editing windows, undo and redo -------------------------------------------
  void MenuViewClick();
  void MenuEditClick();
  void MenuItemSetClick();
  void MenuExchangeClick();
  void MenuCreateClick();
  void MenuInportClick();
  void MenuConvertClick();
  void MenuSortClick();
  // The Document and CurrentLine as before the last step (after the next
  // one), then the return refresh as after a window that changed it.
  void MenuUndoClick();
  void MenuRedoClick();
  // Ctrl+C / Ctrl+Insert: the grid's selected cells, or the list's line as
  // it stands. Shift+Insert: the clipboard's cells into the grid.
  void MenuCopyClick();
  void MenuPasteClick();

  // ---- find and jump ---------------------------------------------------------------------
  void MenuFindClick();
  void MenuReFindClick();
  void MenuJumpClick();
  // The replace window; the views show each replacement as it is made.
  void MenuReplaceClick();

  // ---- the settings windows ----------------------------------------------------------
  void MenuFormPosClick();
  void MenuFileOpenMemClick();
  void MenuGridSetClick();
  void MenuOptionSetClick();
  void MenuReadLimitClick();

  // ---- keys, exit, help, companion ------------------------------------------------------
  // Bound to the seven tool buttons.
  void FormKeyDown(QKeyEvent& key);
  void ListBoxKeyDown(QKeyEvent& key);
  // The grid's own keys first (cell editing, Delete); true when used.
  bool StringGridKeyDown(QKeyEvent& key);
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
  void SetCaption(const std::string& caption) override;
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
  void BuildCommands(QHBoxLayout& bar);
  // Runs the load of CurrentFileName by its road (LoadDocument), then the
  // road's success or failure steps. A file that cannot be read leaves the
  // Document, the controls and the list as they were.
  LoadResult LoadCurrentFile(OpenPath path, EncodingChoice choice = EncodingChoice::Detect);
  void ReopenAs(EncodingChoice choice);
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
  // The place and FormDisp of a settings window (shown by its FormDisp).
  template <class Window>
  void RunSettings(Window* window);
  // The record window's line: the list's selection, or the grid's current
  // row's line while the grid is the view shown.
  int VisibleViewLine() const;
  // Find, find again and jump: selects the row found and lets the grid follow.
  void SelectFoundRow(std::optional<int> row);

  AppPorts ports_;
  std::unique_ptr<CommandTable> commands_;
  std::unique_ptr<MainGrid> grid_;
  bool destroyed_ = false;
  Placement placed_;
  FindJump findJump_{state};
};

}  // namespace cavel
