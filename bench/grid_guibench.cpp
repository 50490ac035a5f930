// The grid view through the main window on the largest file the loader
// accepts: the fill (StringGridDisp, its two 500 ms pauses taken out)
// against CsvLoader alone on the same file in the same run; the memory the
// grid's cells add; find of a text that only the last line holds (the find
// command and the bare search) against memmem over the same lines; and
// moving to the last row and column and painting.
//
// Targets: the fill at most 3 x the loader alone; the grid adding at most
// 1.3 x the file size of memory; find at most 2 x memmem; the move to the
// last row and column and its painting under 50 ms. All of it on the
// largest file and on a file of real shape (30000 lines of quoted Japanese
// addresses).
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QScrollBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>

#include "BenchSupport.h"
#include "GuiBench.h"
#include "app/Main.h"
#include "app/WindowSet.h"
#include "core/CsvLoader.h"
#include "core/Dialogs.h"
#include "core/Document.h"
#include "core/Find.h"
#include "platform/FileDialogs.h"
#include "platform/Modal.h"
#include "platform/Pump.h"
#include "windows/LinesModel.h"
#include "windows/MainGrid.h"
#include "windows/Search.h"
#include "windows/StringGrid.h"

using namespace cavel;
using namespace cavel::bench;

namespace {

constexpr int kRuns = 5;
constexpr int kPaints = 9;

// The find dialog answered with one text and OK.
class TypeFind : public ModalRunner {
 public:
  QString text;
  int RunModal(QDialog& window) override {
    auto* find = qobject_cast<TForm5*>(&window);
    if (!find) return 0;
    find->ComboBox1->setEditText(text);
    find->BtnOk->click();
    return window.result();
  }
};

int MemmemRow(const Lines& lines, const std::string& text) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (::memmem(lines[i].data(), lines[i].size(), text.data(), text.size())) return static_cast<int>(i);
  return -1;
}

// Every figure on one file, opened through the main window's open path.
void Measure(TForm1& main, ScriptedDialogs& dialogs, OneFile& files, TypeFind& typeFind, const std::string& name,
             const std::string& path, std::size_t size) {
  const int runs = RunsFor(size, kRuns);
  files.path = path;
  main.MenuFileOpenClick();
  if (main.ListRowCount() != static_cast<int>(kLargestLines) || !dialogs.shown().empty()) Fail("the file did not open");

  // ---- the fill against the loader alone -----------------------------------------
  const int rows = static_cast<int>(kLargestLines) + 1;
  const int cols = static_cast<int>(SplitItems(main.state.Document.front().view()).size()) + 1;
  bool ok = true;
  Lines alone;
  auto fill = [&] {
    main.StringGridDisp();
    ok = ok && main.Grid().RowCount() == rows && main.Grid().Cells().ColCount() == cols && main.state.GridBuilt == 1;
  };
  auto loader = [&] {
    ScriptedDialogs d(mbYes);
    ok = ok && CsvLoader(path, kItemLimitWide, d, alone).result == LoadResult::Loaded;
  };
  auto release = [&] {
    main.state.Document.clear();
    main.ListBox1Model->Refill();
    ReturnFreedMemory();
  };
  // An empty Document's fill empties the grid and frees its cells.
  auto emptyGrid = [&] {
    Lines held;
    held.swap(main.state.Document);
    main.StringGridDisp();
    held.swap(main.state.Document);
  };
  CountByte(path, '\r');
  std::printf("timing the fill ...\n");
  const Pair refill = TimeAgainst(runs, fill, loader, [&] { alone.clear(); });
  const Pair fresh = TimeAgainst(runs, fill, loader, [&] {
    alone.clear();
    emptyGrid();
    ReturnFreedMemory();
  });
  if (!ok || !dialogs.shown().empty()) Fail("the fill went wrong");
  std::printf("filling the grid (medians of %d runs, the two 500 ms pauses taken out)\n", runs);
  PrintPair("fill into an empty grid, fresh memory", "baseline: CsvLoader alone", "fill / loader, empty grid", fresh,
            3.0);
  PrintPair("refill over a filled grid", "baseline: CsvLoader alone", "fill / loader, refill", refill, 3.0);

  // ---- memory ---------------------------------------------------------------------------
  emptyGrid();
  ReturnFreedMemory();
  const long long firstPeak = PeakInProcess(fill);
  const double held = static_cast<double>(main.Grid().Cells().HeldBytes());
  const long long refillPeak = PeakInProcess(fill);
  std::printf("\nmemory\n");
  PrintLine("file size", Mb(static_cast<double>(size)));
  PrintLine("bytes the cells hold", Mb(held));
  PrintRatio("cells held / file size", held / static_cast<double>(size), 1.3);
  if (firstPeak < 0) {
    PrintLine("peak memory of a fill", "not measurable here");
  } else {
    PrintLine("peak memory of the first fill", Mb(static_cast<double>(firstPeak)));
    PrintRatio("first fill peak / file size", static_cast<double>(firstPeak) / static_cast<double>(size), 1.3);
    // The old cells stay until the new ones are complete: at its peak a
    // refill holds both.
    PrintLine("memory a refill adds to the old cells", Mb(static_cast<double>(refillPeak)));
  }

  // ---- find ------------------------------------------------------------------------------
  // A piece of the last line's first item that no other line holds; where
  // every line repeats another (the address file), a text no line holds:
  // either way the search runs over the whole file.
  const Lines& doc = main.state.Document;
  const int lastRow = static_cast<int>(doc.size()) - 1;
  std::string text;
  int expected = lastRow;
  for (std::size_t at = 0; at + 16 <= std::min<std::size_t>(127, doc.back().size()) && text.empty(); ++at) {
    std::string candidate(doc.back().view().substr(at, 16));
    if (MemmemRow(doc, candidate) == lastRow) text = candidate;
  }
  if (text.empty()) {
    expected = -1;
    for (std::string candidate = std::string(doc.back().view().substr(0, 12)) + "#"; text.empty(); candidate += "#")
      if (MemmemRow(doc, candidate) < 0) text = candidate;
  }
  typeFind.text = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  main.SelectListRow(0);
  main.MenuFindClick();
  if (main.ListSelection() != (expected < 0 ? 0 : expected) || dialogs.shown().size() != (expected < 0 ? 1u : 0u))
    Fail("find did not end where it should");
  dialogs.Clear();
  main.SelectListRow(0);
  int found = -1, baseRow = -1;
  bool same = true;
  const std::vector<double> findTimes = TimeTurns(
      runs,
      {[&] {
         main.MenuReFindClick();
         found = main.ListSelection();
       },
       [&] { same = same && FindLine(doc, text, 0) == expected; }, [&] { baseRow = MemmemRow(doc, text); }},
      [&] { main.SelectListRow(0); });
  const long long findPeak = PeakInProcess([&] { main.MenuReFindClick(); });
  main.SelectListRow(0);
  if (found != (expected < 0 ? 0 : expected) || baseRow != expected || !same ||
      dialogs.shown().size() != (expected < 0 ? static_cast<std::size_t>(runs) + 1 : 0u))
    Fail("find went wrong");
  dialogs.Clear();
  std::printf("\nfind of \"%s\", %s (medians of %d)\n", text.c_str(),
              expected < 0 ? "in no line" : "only in the last line", runs);
  PrintLine("find again from line 0 (command)", Ms(findTimes[0]));
  PrintLine("the search alone (FindLine)", Ms(findTimes[1]));
  PrintLine("baseline: memmem over the lines", Ms(findTimes[2]));
  PrintRatio("find command / memmem", findTimes[0] / findTimes[2], 2.0);
  PrintRatio("search alone / memmem", findTimes[1] / findTimes[2], 2.0);

  // ---- moving to the last row and column, painting -------------------------------------------
  // The first switch to the grid after a load fills it (the pauses taken out).
  std::vector<double> switches;
  for (int i = 0; i < runs; ++i) {
    main.SelectListRow(0);
    main.state.GridBuilt = 0;
    Timer t;
    main.BtnDispChgClick();
    main.Grid().View()->repaint();
    switches.push_back(t.Seconds());
    main.BtnDispChgClick();
  }
  std::printf("\nthe view switch\n");
  PrintLine("list to grid with the fill, painted", Ms(Median(switches)));

  main.SelectListRow(0);
  main.BtnDispChgClick();  // the grid is filled: the switch only shows it
  QApplication::processEvents();
  QTableView& grid = *main.Grid().View();
  StringGridModel& model = *main.Grid().Model();
  std::vector<double> toLast, toFirst;
  for (int i = 0; i < kPaints; ++i) {
    Timer t;
    const QModelIndex last = model.index(model.rowCount() - 1, model.columnCount() - 1);
    grid.selectionModel()->setCurrentIndex(last, QItemSelectionModel::ClearAndSelect);
    grid.scrollTo(last);
    grid.repaint();
    toLast.push_back(t.Seconds());
    t.Restart();
    const QModelIndex first = model.index(0, 0);
    grid.selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect);
    grid.scrollTo(first);
    grid.repaint();
    toFirst.push_back(t.Seconds());
  }
  grid.selectionModel()->setCurrentIndex(model.index(model.rowCount() - 1, model.columnCount() - 1),
                                         QItemSelectionModel::ClearAndSelect);
  grid.scrollTo(grid.currentIndex());
  grid.repaint();
  const QRect corner = grid.visualRect(grid.currentIndex());
  std::printf("\nthe grid's cursor to the far corner (%d x %d px of cells seen; medians of %d)\n",
              grid.viewport()->width(), grid.viewport()->height(), kPaints);
  if (!grid.viewport()->rect().contains(corner.center()) ||
      grid.verticalScrollBar()->value() != grid.verticalScrollBar()->maximum() ||
      grid.horizontalScrollBar()->value() != grid.horizontalScrollBar()->maximum())
    Fail("the last row and column are not in view");
  PrintLine("to the last row and column, paint", Ms(Median(toLast)));
  PrintRatio("... against 50 ms", Median(toLast) / 0.050, 1.0);
  PrintLine("back to row 1, column 1, paint", Ms(Median(toFirst)));

  PrintResult({"grid-fill", name, fresh.measured, "CsvLoader", fresh.baseline, 3.0, firstPeak, size, 1.3});
  PrintResult({"grid-refill", name, refill.measured, "CsvLoader", refill.baseline, 3.0, refillPeak, size, 1.3});
  PrintResult({"find", name, findTimes[0], "memmem", findTimes[2], 2.0, findPeak, size, 0});
  PrintResult({"grid-to-corner", name, Median(toLast), "50ms", 0.050, 1.0, -1, size, 0});

  // ---- the file open with both its list and its grid shown ---------------------------------
  // From nothing: the open, the list, the switch to the filled grid and
  // its paint, the switch back. What each part holds afterwards: the
  // block of the file's bytes, the list of line handles, the grid's own
  // store; the rest of the peak is what the views and the open keep.
  main.BtnDispChgClick();
  emptyGrid();
  release();
  const long long shownPeak = PeakInProcess([&] {
    main.MenuFileOpenClick();
    main.state.GridBuilt = 0;
    main.BtnDispChgClick();
    main.Grid().View()->repaint();
    main.BtnDispChgClick();
    main.ListBox1->repaint();
  });
  if (main.ListRowCount() != static_cast<int>(kLargestLines) || main.state.GridBuilt != 1 || !dialogs.shown().empty())
    Fail("the file was not shown in both views");
  const double index = static_cast<double>(main.state.Document.capacity() * sizeof(Line));
  const double cells = static_cast<double>(main.Grid().Cells().HeldBytes());
  std::printf("\nthe file open, list and grid both shown (from nothing)\n");
  PrintLine("the file's bytes (one block)", Mb(static_cast<double>(size)));
  PrintLine("the list of line handles", Mb(index));
  PrintLine("the grid's store beside the lines", Mb(cells));
  if (shownPeak >= 0) {
    PrintLine("peak memory", Mb(static_cast<double>(shownPeak)));
    PrintLine("  of which the views and the rest",
              Mb(static_cast<double>(shownPeak) - static_cast<double>(size) - index - cells));
    PrintRatio("peak / file size", static_cast<double>(shownPeak) / static_cast<double>(size), 1.3);
  }
  PrintResult({"shown-both", name, 0, "-", 0, 0, shownPeak, size, 1.3});

  // Back to the list, the grid emptied and the Document let go.
  emptyGrid();
  release();
}

}  // namespace

int main(int argc, char** argv) {
  PrepareGuiBench();
  KeepFreedMemory();
  BenchDir dir;
  const BenchFiles f(dir);
  if (!f.ok()) Fail("cannot write the benchmark files");

  QApplication app(argc, argv);
  TypeFind typeFind;
  BenchApp bench(dir, &typeFind, QSize(1000, 700));
  TForm1& main = bench.main;
  ScriptedDialogs& dialogs = bench.dialogs;
  OneFile& files = bench.files;

  std::printf("grid bench (%s); files in %s\n", qPrintable(QGuiApplication::platformName()), dir.path().c_str());
  std::printf("largest file: %zu lines of %zu bytes, 64 items, half of them Shift-JIS; %zu bytes\n\n", kLargestLines,
              kMaxLineBytes, f.size);
  Measure(main, dialogs, files, typeFind, "largest", f.largest, f.size);
  std::printf("\naddress file: %zu lines of quoted Japanese addresses, %zu bytes\n  (from %s)\n\n", kLargestLines,
              f.asize, f.source.c_str());
  Measure(main, dialogs, files, typeFind, "addresses", f.addresses, f.asize);
  main.FormDestroy();
  return 0;
}
