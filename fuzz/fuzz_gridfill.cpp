// The grid fill on any Document.
//
// Input: a control byte (bit 0: remembered widths on, bit 1: fill twice, the
// second time from an empty Document), a remembered width list ended by a
// NUL byte, then the lines of the Document, each ended by CR.
//
// Checked:
// - the fill stops after the first line whose last item is too long while
//   no check has failed, and has one row per line before it;
// - each row's cells, joined with commas, give back its line; cells past
//   the row's last one are empty; column 0 holds the line number; row 0
//   repeats row 1 with the file's path in its corner;
// - failed() is set exactly when a line scanned so far had a fault, with one
//   refusal per fault;
// - the widths are one per column, the remembered ones first only when no
//   check failed;
// - blanking cells empties exactly those; a fill of an empty Document
//   empties the grid and keeps its counts.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "core/ColumnWidths.h"
#include "core/GridFill.h"
#include "core/IniFile.h"
#include "core/LineCheck.h"
#include "core/Text.h"

using namespace cavel;
using namespace cavel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in(data, size);
  const std::uint8_t control = in.Byte();
  // The list as the settings file gives it back: one line, leading blanks dropped.
  std::string widthList = in.Until('\0', 600);
  widthList = widthList.substr(0, widthList.find_first_of("\r\n"));
  widthList.erase(0, widthList.find_first_not_of(" \t") == std::string::npos ? widthList.size()
                                                                             : widthList.find_first_not_of(" \t"));
  const Lines lines = SplitAtCR(in.Rest());

  MainState state;
  state.CurrentFileName = "/data/\xE4\xBD\x8F\xE6\x89\x80.csv";
  state.Document = lines;
  state.GridDisp = true;
  state.GridResum = control & 1;
  state.ColWidth = 84;

  static const std::string iniPath = ScratchDir() + "/GRID.INI";
  if (state.GridResum) {
    IniFile ini(iniPath);
    ini.WriteString("ResumeFileName", "1", state.CurrentFileName);
    ini.WriteString("ResumeColumNum", "1", widthList);
    FUZZ_CHECK(ini.Save().ok);
  }

  RecordingDialogs dialogs;
  GridFill fill(state, dialogs, iniPath);
  FUZZ_CHECK(fill.Enabled());
  fill.CheckLines();
  GridCells grid;
  std::optional<std::vector<int>> widths = fill.ApplyTo(grid);

  if (lines.empty()) {
    FUZZ_CHECK(!widths && !fill.HasWidthStep() && state.GridBuilt == 0);
    FUZZ_CHECK(grid.ColCount() == kGridDesignCols && grid.RowCount() == kGridDesignRows);
    FUZZ_CHECK(dialogs.shown.empty());
    return 0;
  }
  FUZZ_CHECK(widths && fill.HasWidthStep() && state.GridBuilt == 1);

  // The scan of each line, as the fill runs it.
  bool failed = false;
  std::size_t faults = 0;
  std::size_t rows = 0;
  std::vector<LineScan> scans;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    RecordingDialogs quiet;
    LineScan scan;
    ScanLine(lines[i].view(), static_cast<long>(i), ScanOptions{kMaxItems, true, true}, quiet, failed, scan);
    faults += quiet.shown.size();
    scans.push_back(scan);
    if (scan.lastItemTooLong) break;
    ++rows;
  }
  FUZZ_CHECK(fill.failed() == failed);
  FUZZ_CHECK(dialogs.shown.size() == faults && dialogs.Refusals() == faults);
  FUZZ_CHECK(grid.RowCount() == static_cast<int>(rows) + 1);
  const LineScan& title = scans[0];
  const int titleCells = title.longItem ? title.longItem : title.itemCount;
  FUZZ_CHECK(grid.ColCount() == titleCells + 1);

  FUZZ_CHECK(grid.Cell(0, 0) == state.CurrentFileName);
  if (rows > 0) {
    for (int c = 1; c <= grid.ColCount(); ++c) FUZZ_CHECK(grid.Cell(c, 0) == grid.Cell(c, 1));
  } else {
    std::vector<std::string_view> header;
    for (int c = 1; c < grid.ColCount(); ++c) header.push_back(grid.Cell(c, 0));
    FUZZ_CHECK(Join(header) == lines[0]);
  }
  for (std::size_t i = 0; i < rows; ++i) {
    const int r = static_cast<int>(i) + 1;
    const int cells = scans[i].longItem ? scans[i].longItem : scans[i].itemCount;
    FUZZ_CHECK(grid.Cell(0, r) == Dec(static_cast<long long>(i)));
    std::vector<std::string_view> joined;
    for (int c = 1; c <= cells; ++c) joined.push_back(grid.Cell(c, r));
    FUZZ_CHECK(Join(joined) == lines[i]);
    if (!scans[i].faulted()) FUZZ_CHECK(joined == SplitItems(lines[i].view()));
    FUZZ_CHECK(grid.Cell(cells + 1, r).empty());
  }
  FUZZ_CHECK(grid.Cell(0, grid.RowCount()).empty() && grid.Cell(-1, 1).empty() && grid.Cell(1, -1).empty());

  std::vector<int> expected(static_cast<std::size_t>(grid.ColCount()), state.ColWidth);
  if (!failed && state.GridResum) {
    std::vector<int> remembered = ParseWidthList(widthList, expected.size());
    std::copy(remembered.begin(), remembered.end(), expected.begin());
    FUZZ_CHECK(state.GridWidthState == 1);
  }
  FUZZ_CHECK(*widths == expected);

  // Blanking a corner.
  const int blankCols = control >> 2 & 7, blankRows = control >> 5;
  std::vector<std::vector<std::string>> keep;
  for (int r = 0; r <= grid.RowCount(); ++r) {
    keep.emplace_back();
    for (int c = 0; c <= grid.ColCount(); ++c) keep.back().emplace_back(grid.Cell(c, r));
  }
  grid.BlankCells(blankCols, blankRows);
  for (int r = 0; r <= grid.RowCount(); ++r)
    for (int c = 0; c <= grid.ColCount(); ++c)
      FUZZ_CHECK(grid.Cell(c, r) == (c < blankCols && r < blankRows ? std::string() : keep[r][c]));

  if (control & 2) {
    state.Document.clear();
    state.GridBuilt = 0;
    const int cols = grid.ColCount(), rowCount = grid.RowCount();
    GridFill empty(state, dialogs, iniPath);
    FUZZ_CHECK(!empty.ApplyTo(grid));
    FUZZ_CHECK(grid.ColCount() == cols && grid.RowCount() == rowCount);
    FUZZ_CHECK(grid.Cell(0, 0).empty() && grid.Cell(1, 1).empty());
  }
  return 0;
}
