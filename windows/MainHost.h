// What every window of the program reaches the main window by.
//
// The main window (TForm1) implements this interface and hands itself to
// each of the other fifteen windows when they are made. Through it a
// window reads and changes the main window's fields (State()), shows
// messages and file dialogs, and calls the few main-window operations it
// needs. The return refresh after a modal window is the main window's own:
// its commands run it after the window has closed.
#pragma once

#include <QSize>
#include <string>

#include "core/MainState.h"
#include "platform/Placement.h"
#include "windows/CommandTable.h"

class QDialog;
class QWidget;

namespace cavel {

class Dialogs;
class FileDialogs;
class MainGrid;

class MainHost {
 public:
  virtual ~MainHost() = default;

  // ---- the main window's fields and the ports ----------------------------
  virtual MainState& State() = 0;
  // Message boxes (Refuse, Ask, Notice, ErrorReport of core/Dialogs.h).
  virtual Dialogs& Dlg() = 0;
  virtual FileDialogs& Files() = 0;
  // The screens, for PlaceWidget / CentreWidget.
  virtual ScreenSet Screens() const = 0;
  // The settings file (the column-width memory is read and written there at once).
  virtual const std::string& SettingsPath() const = 0;
  // The main window as a widget (the parent of the other windows).
  virtual QWidget* MainWindow() = 0;

  // ---- main-window operations ------------------------------------------------
  // The main window's caption (the fills' status captions).
  virtual void SetCaption(const std::string& caption) = 0;
  // The message-serving pause the fills take after their status caption.
  virtual void DelayTime(int milliseconds) = 0;
  // Shows `window` modally; returns its result once it has closed.
  virtual int ShowModal(QDialog& window) = 0;
  // Refills the list from the Document and shows the line count in the caption.
  virtual void ListBoxDisp() = 0;
  // Fills the grid from the Document.
  virtual void StringGridDisp() = 0;
  // After a change the main window shows at once (LastChange), without the
  // fills' pauses: the list and the grid show the changed lines, the
  // caption the line count, and both views the current line.
  virtual void ShowDocumentChange() = 0;
  // Shows the recent-file list in the File menu.
  virtual void HistoryMenuRefresh() = 0;
  // The list's selected row, -1 when none.
  virtual int ListSelection() const = 0;
  virtual int ListRowCount() const = 0;
  // Selects a row of the list (none for a row outside it).
  virtual void SelectListRow(int row) = 0;
  // True while the list (not the grid) is the visible view.
  virtual bool ListVisible() const = 0;
  // The grid view.
  virtual MainGrid& Grid() = 0;
  // Puts the main window's buttons and menu items into a control state (the
  // new-file window's last step: NewFile).
  virtual void SetControlState(ControlState state) = 0;
};

}  // namespace cavel
