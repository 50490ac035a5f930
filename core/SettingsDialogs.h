// The four settings dialogs without their widgets: what each shows when it
// opens and what its 保存(&S) does to the held settings and the grid.
//
// Each dialog is centred with CentreWindow (core/Settings.h), filled from
// the held settings, and shown modally. Nothing here writes the settings
// file; the held values reach it at exit.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/Dialogs.h"
#include "core/MainState.h"

namespace cavel {

// ---- window positions (TForm11) ------------------------------------------------------
// The window numbers of the eight check boxes, in tab order: メイン, 閲覧/編集,
// 並順設定, 項目設定, 新規作成 (left column), 並順結合, 型式変更, 並べ替え (right
// column).
inline constexpr std::array<int, 8> kFormPosWindows = {kWinMain,   kWinView,   kWinItemset, kWinExchange,
                                                       kWinCreate, kWinInport, kWinConvert, kWinSort};
using FormPosChecks = std::array<bool, 8>;

FormPosChecks FormPosDialogFill(const HeldSettings& settings);
// Each box into FormPosMem of its window; the dialog closes.
void FormPosDialogSave(HeldSettings& settings, const FormPosChecks& checks);

// ---- recent-file count (TForm12) --------------------------------------------------------
inline constexpr int kHistoryEditLength = 1;  // characters the edit box accepts

std::string FileHistoryDialogFill(const HeldSettings& settings);
// Save (or Enter in the edit box): an integer 0..9 (leading blanks and a
// sign allowed) becomes OpenFileNum; anything else is ignored without a
// word. The dialog closes either way. Returns true when the count changed.
// After the dialog closes, saved or cancelled, the window runs HistoryTrim
// and HistoryMenuRefresh.
bool FileHistoryDialogSave(HeldSettings& settings, std::string_view text);

// ---- grid (TForm13) -----------------------------------------------------------------------
inline constexpr int kColWidthEditLength = 3;
inline constexpr int kColWidthMin = 16;
inline constexpr int kColWidthMax = 256;
inline constexpr int kGridBlankCols = 32;  // columns 0..31 are emptied when grid display goes off

struct GridDialogValues {
  bool GridDisp = true;
  bool GridResum = true;
  bool GridWidthSave = false;
  std::string ColWidthText;  // the edit box, UTF-8 as typed
};

GridDialogValues GridDialogFill(const HeldSettings& settings);

// What the window does to the grid after a save, in this order.
struct GridDialogSaved {
  bool close = false;        // false: a message was shown; the dialog stays open, nothing changed
  bool refill = false;       // StringGridDisp now (grid display on and the grid is the visible view)
  int blankRows = 0;         // rows 0..blankRows-1 of columns 0..kGridBlankCols-1 to empty, where they exist
  bool resetWidths = false;  // every column to ColWidth
};

// Save: a text that is not an integer gives the conversion error box, a
// value outside 16..256 the range refusal (the dialog stays open, nothing
// stored). Otherwise ColWidth and the three switches are stored, GridBuilt
// := 0, and the result says what the grid is to do. `gridVisible`: the grid
// is the main window's visible view.
GridDialogSaved GridDialogSave(MainState& state, Dialogs& dialogs, const GridDialogValues& values, bool gridVisible);

// ---- options (TForm14) ----------------------------------------------------------------------
bool OptionDialogFill(const HeldSettings& settings);
void OptionDialogSave(HeldSettings& settings, bool closeDialogDisp);

// ---- line limit (TForm17) -------------------------------------------------------------------
inline constexpr int kReadLimitEditLength = 7;  // characters the edit box accepts

std::string ReadLimitDialogFill(const HeldSettings& settings);
// Save: a text that is not an integer gives the conversion error box, a
// value outside 30000..1048576 the range refusal (the dialog stays open,
// nothing stored, false). Otherwise ReadLimitLines := the value (true):
// the next load, paste, merge and jump follow it.
bool ReadLimitDialogSave(HeldSettings& settings, Dialogs& dialogs, std::string_view text);

}  // namespace cavel
