#include "core/GridFill.h"

#include <algorithm>
#include <utility>

#include "core/ColumnWidths.h"
#include "core/Messages.h"
#include "core/Text.h"

namespace cavel {

// ---- GridCells -------------------------------------------------------------------

std::string_view GridCells::Cell(int col, int row) const {
  if (row < 0 || col < 0 || static_cast<std::size_t>(row) >= rowData_.size()) return {};
  const Row& r = rowData_[static_cast<std::size_t>(row)];
  if (static_cast<std::size_t>(col) >= r.cells.size()) return {};
  const Span& s = r.cells[static_cast<std::size_t>(col)];
  return std::string_view(r.bytes).substr(s.start, s.length);
}

void GridCells::Clear() {
  rowData_.clear();
  rowData_.shrink_to_fit();
}

void GridCells::BlankCells(int cols, int rows) {
  std::size_t lastRow = std::min(rowData_.size(), static_cast<std::size_t>(std::max(rows, 0)));
  for (std::size_t r = 0; r < lastRow; ++r) {
    auto& cells = rowData_[r].cells;
    std::size_t lastCol = std::min(cells.size(), static_cast<std::size_t>(std::max(cols, 0)));
    for (std::size_t c = 0; c < lastCol; ++c) cells[c] = Span{};
  }
}

std::size_t GridCells::HeldBytes() const {
  std::size_t total = rowData_.capacity() * sizeof(Row);
  for (const Row& r : rowData_) total += r.bytes.capacity() + r.cells.capacity() * sizeof(Span);
  return total;
}

// ---- helpers -----------------------------------------------------------------------

bool GridShowsFile(const MainState& state, const GridCells& grid) {
  return grid.Cell(0, 0) == state.CurrentFileName;
}

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
  return msg::LineCountCaption(state_.BaseCaption, state_.CurrentFileName,
                               static_cast<long>(state_.Document.size()));
}

// Row i + 1 for line i: one copy of the line with its number behind it.
// An item longer than 4096 bytes that a separator ends takes the rest of the
// line into its cell, and no cell after it is set.
void GridFill::AddRow(std::string_view line, int lineIndex, const LineScan& scan) {
  GridCells::Row row;
  std::string label = Dec(lineIndex);
  row.bytes.reserve(line.size() + label.size());
  row.bytes.append(line);
  row.bytes.append(label);

  int lastCell = scan.longItem != 0 ? scan.longItem : scan.itemCount;
  row.cells.resize(static_cast<std::size_t>(lastCell) + 1);
  row.cells[0] = {static_cast<std::uint32_t>(line.size()), static_cast<std::uint32_t>(label.size())};
  for (int k = 1; k <= lastCell; ++k) {
    const std::string_view item = scan.Item(line, k);
    const std::size_t start = static_cast<std::size_t>(item.data() - line.data());
    const std::size_t end = k == scan.longItem ? line.size() : start + item.size();
    row.cells[static_cast<std::size_t>(k)] = {static_cast<std::uint32_t>(start),
                                              static_cast<std::uint32_t>(end - start)};
  }
  rowData_.push_back(std::move(row));
}

void GridFill::CheckLines() {
  if (checked_) return;
  checked_ = true;
  const Lines& doc = state_.Document;
  if (doc.empty()) return;

  rowData_.clear();
  rowData_.reserve(doc.size() + 1);
  rowData_.emplace_back();  // row 0, set from line 0

  const ScanOptions options{kMaxItems, true, true};
  LineScan scan;
  int completed = 0;
  for (std::size_t i = 0; i < doc.size(); ++i) {
    const std::string& line = doc[i];
    ScanLine(line, static_cast<long>(i), options, dialogs_, failed_, scan);
    AddRow(line, static_cast<int>(i), scan);
    if (i == 0) {
      // The header row repeats row 1 with the file's path in its corner, and
      // row 1 fixes the column count. This holds also when the title line's
      // last item is too long: the grid then shows its headers and no row.
      const GridCells::Row& first = rowData_[1];
      GridCells::Row& header = rowData_[0];
      header.bytes.reserve(line.size() + state_.CurrentFileName.size());
      header.bytes.assign(line);
      header.bytes.append(state_.CurrentFileName);
      header.cells = first.cells;
      header.cells[0] = {static_cast<std::uint32_t>(line.size()),
                         static_cast<std::uint32_t>(state_.CurrentFileName.size())};
      cols_ = static_cast<int>(first.cells.size());
    }
    if (scan.lastItemTooLong) {
      rowData_.pop_back();  // this line's row lies beyond the row count
      break;
    }
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
  grid.rowData_ = std::move(rowData_);
  rowData_.clear();
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

void StringGridDisp(MainState& state, Dialogs& dialogs, const std::string& iniPath, GridFillHost& host) {
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

bool StringGridWidthChg(MainState& state, Dialogs& dialogs, const std::string& iniPath,
                        const GridCells& grid, std::vector<int>& widths) {
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

bool MenuGridWodthMemClick(MainState& state, Dialogs& dialogs, const std::string& iniPath,
                           const GridCells& grid, const std::vector<int>& widths) {
  if (!GridShowsFile(state, grid)) {
    Refuse(dialogs, std::string(msg::kGridNotLoaded));
    return false;
  }
  if (!Ask(dialogs, std::string(msg::kAskStoreGridWidth))) return false;
  if (!state.GridDisp || state.CurrentFileName.empty() || grid.Cell(0, 0).empty()) return false;
  return StoreWidths(state, dialogs, iniPath, widths);
}

bool StoreGridWidthsAtExit(MainState& state, Dialogs& dialogs, const std::string& iniPath,
                           const GridCells& grid, const std::vector<int>& widths) {
  // Only the widths of a grid that shows the open file belong to it.
  if (!state.GridWidthSave || state.CurrentFileName.empty() || !GridShowsFile(state, grid)) return false;
  return StoreWidths(state, dialogs, iniPath, widths);
}

}  // namespace cavel
