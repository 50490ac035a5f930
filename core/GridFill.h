// The grid view without its widgets: the cell store the table model shows,
// the fill that checks every line of the Document while it builds the
// cells, and the column-width commands.
//
// Cells are bytes. Row 0 holds the item titles (cell (0, 0) the open file's
// path, UTF-8 as the file system names it), column 0 the line numbers, and
// cell (k, i + 1) item k of line i in its Shift-JIS bytes, quotes kept. The
// window decodes only the cells it paints.
//
// The column widths belong to the window. The fill and the commands hand
// them in and out as one width per column, column 0 first.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/Dialogs.h"
#include "core/LineCheck.h"
#include "core/MainState.h"

namespace cavel {

// The grid before its first fill.
inline constexpr int kGridDesignCols = 40;
inline constexpr int kGridDesignRows = 2;
// How long the window waits after each status caption of the fill.
inline constexpr int kGridCaptionDelay = 500;

// The grid's cells: a column and row count, the Document's lines as they
// were when the grid was last filled, and cell (0, 0). A row's cells are
// worked out from its line when they are asked for, by the scan the fill
// checked the line with, so the grid holds no copy of any byte; the last
// rows asked are kept, since a view asks for a row's cells one after
// another.
class GridCells {
 public:
  GridCells() = default;
  GridCells(GridCells&&) noexcept = default;
  GridCells& operator=(GridCells&&) noexcept = default;

  int ColCount() const { return cols_; }
  int RowCount() const { return rows_; }

  // The bytes of cell (col, row); empty for a cell that holds nothing. An
  // item's bytes stay until the next fill; a line number (column 0) until
  // kCachedRows other rows have been asked for.
  std::string_view Cell(int col, int row) const;

  // Empties every cell; the counts stay.
  void Clear();
  // The row count the window gives the grid before any fill (30000 at
  // start-up); rows that hold nothing show empty cells.
  void SetRowCount(int rows) { rows_ = rows < 0 ? 0 : rows; }
  // Empties the cells of columns 0..cols-1 in rows 0..rows-1, where they exist.
  void BlankCells(int cols, int rows);

  // After a change of the Document (`change`, in its lines) that the
  // window shows at once: the cells follow the Document's lines as they
  // stand, without checking them again (every change the window shows so
  // was checked when it was made). Rows: only the changed rows' cells
  // differ; Reshaped: the row or column count changed too; Refill: the
  // grid does not show every line of a Document (a fill stopped early, no
  // lines, emptied cells) and takes nothing: only a fill can show it.
  enum class Followed { Rows, Reshaped, Refill };
  Followed Follow(const Lines& document, const LinesDiff& change);

  // Bytes the store holds besides the lines it shows (which it shares with
  // the Document it was filled from).
  std::size_t HeldBytes() const;

  static constexpr int kCachedRows = 64;

 private:
  friend class GridFill;
  struct Span {
    std::uint32_t start = 0;
    std::uint32_t length = 0;
  };
  // The cells of one line: its items (an item over 4096 bytes that a
  // separator ends takes the rest of the line, and no cell follows it)
  // and its number.
  struct RowCells {
    int line = -1;
    int cells = 0;  // items shown: cell 1 .. cells
    std::uint8_t labelSize = 0;
    char label[15] = {};
    Span spans[kMaxItems + 2];
  };
  const RowCells& CellsOf(int line) const;
  bool Blank(int col, int row) const;

  int cols_ = kGridDesignCols;
  int rows_ = kGridDesignRows;
  Lines lines_;       // line i shows in row i + 1, line 0 also in row 0
  int lineRows_ = 0;  // rows 1 .. lineRows_ show lines
  std::string corner_;
  std::vector<std::pair<int, int>> blanks_;  // emptied corners: columns, rows
  mutable std::unique_ptr<RowCells[]> cache_;
};

// True when the grid shows the open file: cell (0, 0) is CurrentFileName.
// The width commands depend on it, and the grid's cursor follows the list's
// selection only then.
bool GridShowsFile(const MainState& state, const GridCells& grid);

// Every column at the default width.
std::vector<int> DefaultWidths(const GridCells& grid, int colWidth);

// Sets the first columns from a remembered width list; the numbers after the
// last column, and everything from the first part that is not a number, are
// ignored; columns beyond the list keep their width.
void ApplyWidthList(std::string_view list, std::vector<int>& widths);

// One fill of the grid from the Document, in the steps between which the
// window shows a caption and waits:
//
//   GridFill fill(state, dialogs, iniPath);
//   if (!fill.Enabled()) return;                  // grid display is off
//   caption(fill.CheckingCaption()); DelayTime(500);
//   fill.CheckLines();                            // messages; GridBuilt := 1
//   if (fill.HasWidthStep()) { caption(fill.WidthsCaption()); DelayTime(500); }
//   model.beginReset(); auto w = fill.ApplyTo(cells); model.endReset();
//   if (w) set the column widths to *w;
//   caption(fill.LineCountCaption());
//
// FillGrid below runs exactly these steps against a GridFillHost.
class GridFill {
 public:
  GridFill(MainState& state, Dialogs& dialogs, std::string iniPath);

  // False when grid display is off: the fill then does nothing at all.
  bool Enabled() const;

  // Caption before the checks: "項目の検査開始".
  std::string CheckingCaption() const;

  // Checks every line (commas, quotes, 64 items, item lengths) with its
  // messages and takes the Document's lines as checked (sharing them) for
  // the new cells. On a non-empty Document sets GridBuilt := 1. Nothing is
  // shown yet: the cells reach the grid in ApplyTo.
  void CheckLines();

  // False for an empty Document: the widths step and its caption are skipped.
  bool HasWidthStep() const { return hasWidthStep_; }
  // Caption before the widths are set: "項目の幅設定開始".
  std::string WidthsCaption() const;

  // Hands the new cells to `grid` and sets its counts. Returns the width of
  // every column: all at ColWidth, then the remembered widths of the file
  // when no check failed and GridResum is on (GridWidthState := 1 then). For
  // an empty Document the grid is only emptied, its counts and the widths
  // stay, and nothing is returned.
  std::optional<std::vector<int>> ApplyTo(GridCells& grid);

  // Caption after the fill: "全行数 : " and the line count.
  std::string LineCountCaption() const;

  // A check failed during this fill.
  bool failed() const { return failed_; }

 private:
  MainState& state_;
  Dialogs& dialogs_;
  std::string iniPath_;
  bool failed_ = false;
  bool checked_ = false;
  bool hasWidthStep_ = false;
  int cols_ = 0;
  int rows_ = 0;
  Lines lines_;  // the Document as checked
  std::string corner_;
};

// What the fill needs from the window around it.
class GridFillHost {
 public:
  virtual ~GridFillHost() = default;
  // The main window's caption.
  virtual void SetCaption(const std::string& caption) = 0;
  // Keeps the user interface alive for the given time.
  virtual void DelayTime(int milliseconds) = 0;
  // Replaces the grid's cells through fill.ApplyTo(cells) (inside the table
  // model's reset) and, when it returns widths, sets the column widths.
  virtual void ApplyFill(GridFill& fill) = 0;
};

// The whole fill with its captions and waits.
void FillGrid(MainState& state, Dialogs& dialogs, const std::string& iniPath, GridFillHost& host);

// ---- column-width commands ------------------------------------------------------

// Ctrl+W: toggles between the remembered widths of the open file and the
// default width. Warns when the grid does not show the open file or the file
// has no remembered widths. Returns true when `widths` changed.
bool StringGridWidthChg(MainState& state, Dialogs& dialogs, const std::string& iniPath, const GridCells& grid,
                        std::vector<int>& widths);

// Ctrl+M: after the question, remembers `widths` (one per column) for the
// open file when grid display is on and the grid shows that file. A settings
// file that cannot be written is reported. Returns true when stored.
bool RememberGridWidths(MainState& state, Dialogs& dialogs, const std::string& iniPath, const GridCells& grid,
                        const std::vector<int>& widths);

// At exit: remembers the widths without asking when GridWidthSave is on and
// the grid shows the open file. Returns true when stored.
bool StoreGridWidthsAtExit(MainState& state, Dialogs& dialogs, const std::string& iniPath, const GridCells& grid,
                           const std::vector<int>& widths);

}  // namespace cavel
