#include "core/GridFill.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "core/ColumnWidths.h"
#include "core/Messages.h"
#include "core/Text.h"

namespace cavel {

// ---- GridCells -------------------------------------------------------------------

bool GridCells::Blank(int col, int row) const {
  for (const auto& [cols, rows] : blanks_)
    if (col < cols && row < rows) return true;
  return false;
}

const GridCells::RowCells& GridCells::CellsOf(int line) const {
  if (!cache_) cache_ = std::make_unique<RowCells[]>(kCachedRows);
  RowCells& row = cache_[static_cast<std::size_t>(line % kCachedRows)];
  if (row.line == line) return row;
  // The scan the fill checked the line with, without its messages.
  const std::string_view bytes = lines_[static_cast<std::size_t>(line)].view();
  ItemSpans spans;
  FindSeparators(bytes, kMaxItems, spans);
  const int longItem = FirstLongItem(spans);
  row.line = line;
  row.cells = longItem != 0 ? longItem : spans.itemCount;
  for (int k = 1; k <= row.cells; ++k) {
    const std::string_view item = spans.Item(bytes, k);
    const std::size_t start = static_cast<std::size_t>(item.data() - bytes.data());
    const std::size_t end = k == longItem ? bytes.size() : start + item.size();
    row.spans[k] = {static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(end - start)};
  }
  const std::string label = Dec(line);
  row.labelSize = static_cast<std::uint8_t>(std::min(label.size(), sizeof row.label));
  std::copy_n(label.data(), row.labelSize, row.label);
  return row;
}

std::string_view GridCells::Cell(int col, int row) const {
  if (row < 0 || col < 0 || lines_.empty() || row > lineRows_ || Blank(col, row)) return {};
  if (row == 0 && col == 0) return corner_;
  const RowCells& cells = CellsOf(row == 0 ? 0 : row - 1);
  if (col == 0) return {cells.label, cells.labelSize};
  if (col > cells.cells) return {};
  const Span& s = cells.spans[col];
  return lines_[static_cast<std::size_t>(cells.line)].view().substr(s.start, s.length);
}

void GridCells::Clear() {
  lines_.clear();
  lineRows_ = 0;
  std::string().swap(corner_);
  blanks_.clear();
  cache_.reset();
}

GridCells::Followed GridCells::Follow(const Lines& document, const LinesDiff& change) {
  if (lines_.empty() || document.empty() || lineRows_ != static_cast<int>(lines_.size()) || !blanks_.empty() ||
      document.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max()))
    return Followed::Refill;
  int cols = cols_;
  if (change.at == 0 && !change.Empty()) {
    // The title line fixes the column count, as in the fill.
    ItemSpans spans;
    FindSeparators(document[0].view(), kMaxItems, spans);
    const int longItem = FirstLongItem(spans);
    cols = (longItem != 0 ? longItem : spans.itemCount) + 1;
  }
  const int rows = static_cast<int>(document.size()) + 1;
  const bool reshaped = rows != rows_ || cols != cols_;
  lines_ = document;
  lineRows_ = rows - 1;
  rows_ = rows;
  cols_ = cols;
  cache_.reset();
  return reshaped ? Followed::Reshaped : Followed::Rows;
}

void GridCells::BlankCells(int cols, int rows) {
  if (cols > 0 && rows > 0 && !lines_.empty()) blanks_.emplace_back(cols, rows);
}

std::size_t GridCells::HeldBytes() const {
  return corner_.capacity() + blanks_.capacity() * sizeof(blanks_[0]) + (cache_ ? kCachedRows * sizeof(RowCells) : 0);
}

// ---- the open file's grid and its widths --------------------------------------

bool GridShowsFile(const MainState& state, const GridCells& grid) { return grid.Cell(0, 0) == state.CurrentFileName; }

std::vector<int> DefaultWidths(const GridCells& grid, int colWidth) {
  return std::vector<int>(static_cast<std::size_t>(std::max(grid.ColCount(), 0)), colWidth);
}

void ApplyWidthList(std::string_view list, std::vector<int>& widths) {
  std::vector<int> remembered = ParseWidthList(list, widths.size());
  std::copy_n(remembered.begin(), std::min(remembered.size(), widths.size()), widths.begin());
}

// ---- the fill ------------------------------------------------------------------------

GridFill::GridFill(MainState& state, Dialogs& dialogs, std::string iniPath)
    : state_(state), dialogs_(dialogs), iniPath_(std::move(iniPath)) {}

bool GridFill::Enabled() const { return state_.GridDisp; }

std::string GridFill::CheckingCaption() const {
  return msg::StatusCaption(state_.BaseCaption, state_.CurrentFileName, msg::kStatusChecking);
}

std::string GridFill::WidthsCaption() const {
  return msg::StatusCaption(state_.BaseCaption, state_.CurrentFileName, msg::kStatusWidths);
}

std::string GridFill::LineCountCaption() const {
  return msg::LineCountCaption(state_.BaseCaption, state_.CurrentFileName, static_cast<long>(state_.Document.size()));
}

void GridFill::CheckLines() {
  if (checked_) return;
  checked_ = true;
  lines_ = state_.Document;
  corner_ = state_.CurrentFileName;
  if (lines_.empty()) return;

  const ScanOptions options{kMaxItems, true, true};
  LineScan scan;
  int completed = 0;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    ScanLine(lines_[i].view(), static_cast<long>(i), options, dialogs_, failed_, scan);
    // Row 1 fixes the column count, also when the title line's last item
    // is too long: the grid then shows its headers and no row.
    if (i == 0) cols_ = (scan.longItem != 0 ? scan.longItem : scan.itemCount) + 1;
    if (scan.lastItemTooLong) break;  // this line's row lies beyond the row count
    ++completed;
  }
  rows_ = completed + 1;
  state_.GridBuilt = 1;
  hasWidthStep_ = true;
}

std::optional<std::vector<int>> GridFill::ApplyTo(GridCells& grid) {
  CheckLines();
  if (!hasWidthStep_) {
    // An empty Document: nothing of an earlier file stays in the grid.
    grid.Clear();
    return std::nullopt;
  }
  grid.Clear();
  grid.lines_ = std::move(lines_);
  grid.corner_ = std::move(corner_);
  grid.lineRows_ = rows_ - 1;
  grid.cols_ = cols_;
  grid.rows_ = rows_;

  std::vector<int> widths = DefaultWidths(grid, state_.ColWidth);
  if (!failed_ && state_.GridResum) {
    int slot = FindColumnWidths(iniPath_, state_.CurrentFileName, state_);
    if (slot > 0) ApplyWidthList(state_.ResumeColumNum[slot], widths);
    state_.GridWidthState = 1;
  }
  return widths;
}

void FillGrid(MainState& state, Dialogs& dialogs, const std::string& iniPath, GridFillHost& host) {
  GridFill fill(state, dialogs, iniPath);
  if (!fill.Enabled()) return;
  host.SetCaption(fill.CheckingCaption());
  host.DelayTime(kGridCaptionDelay);
  fill.CheckLines();
  if (fill.HasWidthStep()) {
    host.SetCaption(fill.WidthsCaption());
    host.DelayTime(kGridCaptionDelay);
  }
  host.ApplyFill(fill);
  host.SetCaption(fill.LineCountCaption());
}

// ---- width commands --------------------------------------------------------------------

bool StringGridWidthChg(MainState& state, Dialogs& dialogs, const std::string& iniPath, const GridCells& grid,
                        std::vector<int>& widths) {
  if (!GridShowsFile(state, grid)) {
    Refuse(dialogs, std::string(msg::kGridNotLoaded));
    return false;
  }
  int slot = FindColumnWidths(iniPath, state.CurrentFileName, state);
  if (slot <= 0) {
    Refuse(dialogs, std::string(msg::kGridWidthNotStored));
    return false;
  }
  widths.resize(static_cast<std::size_t>(std::max(grid.ColCount(), 0)), state.ColWidth);
  if (state.GridWidthState == 0) {
    ApplyWidthList(state.ResumeColumNum[slot], widths);
    state.GridWidthState = 1;
  } else {
    widths = DefaultWidths(grid, state.ColWidth);
    state.GridWidthState = 0;
  }
  return true;
}

namespace {

bool StoreWidths(MainState& state, Dialogs& dialogs, const std::string& iniPath, const std::vector<int>& widths) {
  WriteOutcome outcome = StoreColumnWidths(iniPath, state.CurrentFileName, widths, state);
  if (!outcome.ok) {
    ErrorReport(dialogs, msg::CannotWrite(iniPath));
    return false;
  }
  return true;
}

}  // namespace

bool RememberGridWidths(MainState& state, Dialogs& dialogs, const std::string& iniPath, const GridCells& grid,
                        const std::vector<int>& widths) {
  if (!GridShowsFile(state, grid)) {
    Refuse(dialogs, std::string(msg::kGridNotLoaded));
    return false;
  }
  if (!Ask(dialogs, std::string(msg::kAskStoreGridWidth))) return false;
  if (!state.GridDisp || state.CurrentFileName.empty() || grid.Cell(0, 0).empty()) return false;
  return StoreWidths(state, dialogs, iniPath, widths);
}

bool StoreGridWidthsAtExit(MainState& state, Dialogs& dialogs, const std::string& iniPath, const GridCells& grid,
                           const std::vector<int>& widths) {
  // Only the widths of a grid that shows the open file belong to it.
  if (!state.GridWidthSave || state.CurrentFileName.empty() || !GridShowsFile(state, grid)) return false;
  return StoreWidths(state, dialogs, iniPath, widths);
}

}  // namespace cavel
