// Opening the largest file the loader accepts through the main window's
// open path (dialog answered, existence test, loader, list fill, control
// state, recent files, caption), with the 500 ms pause taken out, against
// CsvLoader alone on the same file in the same run; then scrolling the list
// to its last row and painting it; then the memory the open file takes.
// All of it on the largest file and on a file of real shape (30000 lines of
// quoted Japanese addresses).
//
// Targets: the open at most 1.2 x the loader alone; scrolling to the last
// row and painting under 50 ms; peak memory of opening and showing the file
// at most 1.5 x the file size.
#include <QApplication>
#include <QScrollBar>
#include <QScrollBar>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

#include "BenchSupport.h"
#include "GuiBench.h"
#include "app/Main.h"
#include "app/WindowSet.h"
#include "core/CsvLoader.h"
#include "core/Dialogs.h"
#include "platform/FileDialogs.h"
#include "platform/Pump.h"
#include "windows/LinesModel.h"
#include "windows/RowList.h"

using namespace cavel;
using namespace cavel::bench;

namespace {

constexpr int kRuns = 5;
constexpr int kPaints = 9;

// Every figure on one file, already in the page cache: the open against
// the loader alone, scrolling to the last row and painting, and the memory.
void Measure(TForm1& main, ScriptedDialogs& dialogs, OneFile& files, const std::string& name, const std::string& path,
             std::size_t size) {
  const int runs = RunsFor(size, kRuns);
  files.path = path;
  // ---- the open path against the loader alone -------------------------------
  Lines alone;
  bool ok = true;
  auto open = [&] {
    main.MenuFileOpenClick();
    ok = ok && main.ListRowCount() == static_cast<int>(kLargestLines) && main.Caption().ends_with(": 30000");
  };
  auto loader = [&] {
    ScriptedDialogs d(mbYes);
    ok = ok && CsvLoader(path, kItemLimitWide, d, alone).result == LoadResult::Loaded;
  };
  auto release = [&] {
    alone.clear();
    main.state.Document.clear();
    main.ListBox1Model->Refill();
  };
  CountByte(path, '\r');  // the file in the page cache for both
  std::printf("timing the open ...\n");
  const Pair reused = TimeAgainst(runs, open, loader, release);
  const Pair fresh = TimeAgainst(runs, open, loader, [&] {
    release();
    ReturnFreedMemory();
  });
  if (!ok || !dialogs.shown().empty()) Fail("the file did not open as it should");
  std::printf("opening it (medians of %d runs, the 500 ms pause taken out)\n", runs);
  PrintPair("open: main window, fresh memory", "baseline: CsvLoader alone", "open / loader, fresh memory", fresh, 1.2);
  PrintPair("open: main window, reused memory", "baseline: CsvLoader alone", "open / loader, reused memory", reused,
            1.2);

  // ---- scrolling to the last row and painting -----------------------------------
  main.MenuFileOpenClick();
  QApplication::processEvents();
  RowList& list = *main.ListBox1;
  std::vector<double> toLast, toFirst, across;
  for (int i = 0; i < kPaints; ++i) {
    Timer t;
    main.SelectListRow(static_cast<int>(kLargestLines) - 1);
    list.viewport()->repaint();
    toLast.push_back(t.Seconds());
    t.Restart();
    list.horizontalScrollBar()->setValue(list.horizontalScrollBar()->maximum());
    list.viewport()->repaint();
    across.push_back(t.Seconds());
    list.horizontalScrollBar()->setValue(0);
    t.Restart();
    main.SelectListRow(0);
    list.viewport()->repaint();
    toFirst.push_back(t.Seconds());
  }
  const int lastVisible = list.indexAt(QPoint(2, list.viewport()->height() - 2)).row();
  if (lastVisible < 0) Fail("no row painted");
  std::printf("\nscrolling and painting (%d rows of %d px seen; medians of %d)\n",
              list.viewport()->height() / TForm1::kListItemHeight, TForm1::kListItemHeight, kPaints);
  PrintLine("select the last row, scroll, paint", Ms(Median(toLast)));
  PrintRatio("... against 50 ms", Median(toLast) / 0.050, 1.0);
  PrintLine("scroll to the right end, paint", Ms(Median(across)));
  PrintLine("select line 0, scroll back, paint", Ms(Median(toFirst)));

  // ---- memory -------------------------------------------------------------------------
  release();
  ReturnFreedMemory();
  QApplication::processEvents();
  const long long openPeak = PeakInProcess([&] { main.MenuFileOpenClick(); });
  release();
  ReturnFreedMemory();
  QApplication::processEvents();
  const long long shownPeak = PeakInProcess([&] {
    main.MenuFileOpenClick();
    main.SelectListRow(static_cast<int>(kLargestLines) - 1);
    list.viewport()->repaint();
  });
  std::printf("\nmemory\n");
  PrintLine("file size", Mb(static_cast<double>(size)));
  if (shownPeak < 0) {
    PrintLine("peak memory opening and showing it", "not measurable here");
  } else {
    PrintLine("peak memory of the open", Mb(static_cast<double>(openPeak)));
    PrintLine("peak memory opening and showing it", Mb(static_cast<double>(shownPeak)));
    PrintRatio("peak memory / file size", static_cast<double>(shownPeak) / static_cast<double>(size), 1.5);
  }
  PrintResult({"open-fresh", name, fresh.measured, "CsvLoader", fresh.baseline, 1.2, openPeak, size, 1.5});
  PrintResult({"open-reused", name, reused.measured, "CsvLoader", reused.baseline, 1.2, openPeak, size, 1.5});
  PrintResult({"list-to-last", name, Median(toLast), "50ms", 0.050, 1.0, shownPeak, size, 1.5});
  release();
  ReturnFreedMemory();
}

}  // namespace

int main(int argc, char** argv) {
  PrepareGuiBench();
  KeepFreedMemory();
  BenchDir dir;
  const BenchFiles f(dir);
  if (!f.ok()) Fail("cannot write the benchmark files");

  QApplication app(argc, argv);
  BenchApp bench(dir, nullptr);
  TForm1& main = bench.main;
  ScriptedDialogs& dialogs = bench.dialogs;
  OneFile& files = bench.files;

  std::printf("open bench (%s); files in %s\n", qPrintable(QGuiApplication::platformName()), dir.path().c_str());
  std::printf("largest file: %zu lines of %zu bytes, 64 items, half of them Shift-JIS; %zu bytes\n\n", kLargestLines,
              kMaxLineBytes, f.size);
  Measure(main, dialogs, files, "largest", f.largest, f.size);
  std::printf("\naddress file: %zu lines of quoted Japanese addresses, %zu bytes\n  (from %s)\n\n", kLargestLines,
              f.asize, f.source.c_str());
  Measure(main, dialogs, files, "addresses", f.addresses, f.asize);
  main.FormDestroy();
  return 0;
}
