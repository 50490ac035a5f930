// The row order editor and the item editor through their windows, on the
// largest file the loader accepts.
//
// 1. A row operation on 30000 lines: cut and paste at row 0 and at the
//    last row, each a button click of the row order window followed by a
//    repaint of its list, against a repaint alone (the baseline: what any
//    display of the list costs). Target: instant, the median of each at
//    most 2 x the repaint and under one frame (16 ms), no single one over
//    100 ms.
// 2. Saving the row order and the item order: the whole command from the
//    main window (the window filled from the Document, one move, 保存, the
//    return refresh with the 500 ms pause taken out) against CsvLoader on
//    the same file in the same run. Target: at most 3 x the loader.
// 3. The quote conversion through its window: removing every item's quotes
//    from a file whose items are all quoted, and adding them back, each the
//    whole command (the window filled, the button, the return refresh)
//    against CsvLoader on the file the conversion starts from.
// 4. Opening each editing window (record, row order, item, merge,
//    conversion) from its command until it is shown: under 50 ms.
// All of it on the largest file (for the conversion: the largest file whose
// quotes can be removed and added again) and on a file of real shape (30000
// lines of quoted Japanese addresses).
#include <QApplication>
#include <QDialog>
#include <QScrollBar>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "GuiBench.h"
#include "app/Main.h"
#include "app/WindowSet.h"
#include "core/CsvLoader.h"
#include "core/CsvWriter.h"
#include "core/Dialogs.h"
#include "core/QuoteConvert.h"
#include "platform/FileDialogs.h"
#include "platform/Modal.h"
#include "platform/Pump.h"
#include "windows/Convert.h"
#include "windows/EditorLayout.h"
#include "windows/Exchange.h"
#include "windows/Itemset.h"
#include "windows/LinesModel.h"

using namespace cavel;
using namespace cavel::bench;

namespace {

constexpr int kRuns = 5;
constexpr int kOperations = 25;

// Shows the window, runs the script on it, closes it if the script did not.
class ScriptModal : public ModalRunner {
 public:
  std::function<void(QDialog&)> script;
  int RunModal(QDialog& window) override {
    window.show();
    QApplication::processEvents();
    if (script) script(window);
    if (window.isVisible()) window.reject();
    return window.result();
  }
};

// What the measures work with.
struct Windows {
  TForm1& main;
  TForm3& rows;
  TForm8& items;
  TForm10& convert;
  ScriptModal& modal;
  ScriptedDialogs& dialogs;
  OneFile& files;
};

// Row operations and the two saves on one file, opened through the main
// window's open path.
void MeasureEditors(Windows& w, const std::string& name, const std::string& path, std::size_t size) {
  const int runs = RunsFor(size, kRuns);
  TForm1& main = w.main;
  TForm3& rows = w.rows;
  TForm8& items = w.items;
  ScriptModal& modal = w.modal;
  ScriptedDialogs& dialogs = w.dialogs;
  w.files.path = path;
  main.MenuFileOpenClick();
  QApplication::processEvents();
  if (main.ListRowCount() != static_cast<int>(kLargestLines) || !dialogs.shown().empty()) Fail("the file did not open");

  // ---- row operations through the window -------------------------------------------
  std::vector<double> cutFirst, pasteFirst, cutLast, pasteLast, paintOnly;
  bool ok = true;
  modal.script = [&](QDialog&) {
    const int last = static_cast<int>(kLargestLines) - 1;
    auto click = [&](QPushButton* b, std::vector<double>& times) {
      Timer t;
      b->click();
      rows.ListBox1->viewport()->repaint();
      times.push_back(t.Seconds());
    };
    for (int i = 0; i < kOperations; ++i) {
      SelectListRow(*rows.ListBox1, 0);
      {
        Timer t;
        rows.ListBox1->viewport()->repaint();
        paintOnly.push_back(t.Seconds());
      }
      click(rows.BtnCut, cutFirst);
      click(rows.BtnPrevPaste, pasteFirst);
      SelectListRow(*rows.ListBox1, last);
      click(rows.BtnCut, cutLast);
      click(rows.BtnNextPaste, pasteLast);
    }
    ok = rows.Rows().Rows() == main.state.Document && rows.ListBox1Model->rowCount() == last + 1 &&
         rows.Rows().Cursor() == last - 1;
    rows.BtnCancel->click();
  };
  main.SelectListRow(0);
  main.MenuItemSetClick();
  if (!ok || !dialogs.shown().empty()) Fail("the row operations did not restore the rows");
  std::printf("row operations on %zu rows through the row order window (medians of %d, repaint included)\n",
              kLargestLines, kOperations);
  PrintLine("repaint alone", Ms(Median(paintOnly)));
  double slowestMedian = 0, slowest = 0;
  for (const auto& [label, times] :
       std::vector<std::pair<const char*, const std::vector<double>*>>{{"cut at row 0", &cutFirst},
                                                                       {"paste before row 0", &pasteFirst},
                                                                       {"cut at the last row", &cutLast},
                                                                       {"paste after the last row", &pasteLast}}) {
    PrintLine(label, Ms(Median(*times)));
    slowestMedian = std::max(slowestMedian, Median(*times));
    for (double t : *times) slowest = std::max(slowest, t);
  }
  PrintRatio("slowest median / repaint alone", slowestMedian / Median(paintOnly), 2.0);
  PrintRatio("slowest median / 16 ms (a frame)", slowestMedian / 0.016, 1.0);
  PrintLine("slowest single operation", Ms(slowest));
  PrintRatio("... against 100 ms", slowest / 0.100, 1.0);

  // ---- saving the row order and the item order against the loader ------------------------
  Lines loaded;
  auto loader = [&] {
    ScriptedDialogs d(mbYes);
    ok = ok && CsvLoader(path, kItemLimitWide, d, loaded).result == LoadResult::Loaded;
  };
  auto freeLoaded = [&] { loaded.clear(); };
  auto saveRows = [&] {
    modal.script = [&](QDialog&) {
      rows.BtnDown->click();
      rows.BtnSave->click();
    };
    main.SelectListRow(0);
    main.MenuItemSetClick();
    ok = ok && main.state.DocumentChanged == 1 && main.ListSelection() == 1;
  };
  auto saveItems = [&] {
    modal.script = [&](QDialog&) {
      items.BtnDown->click();
      items.BtnSave->click();
    };
    main.SelectListRow(0);
    main.MenuExchangeClick();
    ok = ok && main.state.DocumentChanged == 1 && main.ListSelection() == 0;
  };
  CountByte(path, '\r');
  std::printf("\nsaving (medians of %d runs: window filled, one move, 保存, return refresh without its pause)\n", runs);
  const Pair rowSave = TimeAgainst(runs, saveRows, loader, freeLoaded);
  const Pair itemSave = TimeAgainst(runs, saveItems, loader, freeLoaded);
  if (!ok || !dialogs.shown().empty()) Fail("a save did not go through");
  PrintPair("row order: open, move, save", "baseline: CsvLoader", "row order save / loader", rowSave, 3.0);
  PrintPair("item order: open, move, save", "baseline: CsvLoader", "item order save / loader", itemSave, 3.0);
  const long long rowPeak = PeakInProcess(saveRows);
  const long long itemPeak = PeakInProcess(saveItems);
  if (rowPeak >= 0) {
    PrintLine("peak memory of the row order save", Mb(static_cast<double>(rowPeak)));
    PrintLine("peak memory of the item order save", Mb(static_cast<double>(itemPeak)));
  }
  PrintResult({"row-op", name, slowestMedian, "repaint", Median(paintOnly), 2.0, -1, size, 0});
  PrintResult({"row-save", name, rowSave.measured, "CsvLoader", rowSave.baseline, 3.0, rowPeak, size, 0});
  PrintResult({"item-save", name, itemSave.measured, "CsvLoader", itemSave.baseline, 3.0, itemPeak, size, 0});
}

// Opening each editing window from the main window's command, until the
// window is shown and its first events are handled, against 50 ms. The
// window is cancelled untimed. The file is open, line 1 selected.
void MeasureOpening(Windows& w, const std::string& name, std::size_t size) {
  const int runs = RunsFor(size, kRuns);
  TForm1& main = w.main;
  std::printf("\nopening the editing windows (medians of %d runs: the command until the window is shown)\n", runs);
  const std::vector<std::pair<const char*, void (TForm1::*)()>> commands = {
      {"open-record", &TForm1::MenuEditClick},
      {"open-roworder", &TForm1::MenuItemSetClick},
      {"open-item", &TForm1::MenuExchangeClick},
      {"open-merge", &TForm1::MenuInportClick},
      {"open-convert", &TForm1::MenuConvertClick}};
  for (const auto& [figure, command] : commands) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
      if (FreshProcess()) ReturnFreedMemory();
      main.SelectListRow(1);
      bool shown = false;
      Timer t;
      w.modal.script = [&](QDialog&) {
        times.push_back(t.Seconds());
        shown = true;
      };
      (main.*command)();
      if (!shown || !w.dialogs.shown().empty()) Fail("an editing window did not open");
    }
    PrintLine(figure, Ms(Median(times)));
    PrintResult({figure, name, Median(times), "50ms", 0.050, 1.0, -1, size, 0});
  }
  w.modal.script = nullptr;
}

// The quote conversion through its window on one file whose items are all
// quoted: remove, then add, in turns, each against the loader on the file
// it starts from (the bare one written once, untimed).
void MeasureConversion(Windows& w, const BenchDir& dir, const std::string& name, const std::string& quoted,
                       std::size_t size) {
  const int runs = RunsFor(size, kRuns);
  TForm1& main = w.main;
  TForm10& convert = w.convert;
  w.files.path = quoted;
  main.MenuFileOpenClick();
  QApplication::processEvents();
  if (main.ListRowCount() != static_cast<int>(kLargestLines) || !w.dialogs.shown().empty())
    Fail("the quoted file did not open");
  const Lines original = main.state.Document;
  bool ok = true;
  auto run = [&](QuoteMode mode) {
    w.modal.script = [&, mode](QDialog&) {
      (mode == QuoteMode::Add ? convert.BtnQuatationAddSave : convert.BtnQuatationDelSave)->click();
    };
    main.SelectListRow(0);
    main.MenuConvertClick();
    ok = ok && main.state.DocumentChanged == 1 && main.ListRowCount() == static_cast<int>(kLargestLines);
  };
  run(QuoteMode::Remove);
  const std::string bare = dir.File(name + "-bare.csv");
  if (!ok || !WriteLines(bare, main.state.Document).ok) Fail("the quotes were not removed");
  run(QuoteMode::Add);
  if (!ok || main.state.Document != original) Fail("removing and adding the quotes did not give the file back");

  Lines loaded;
  auto loader = [&](const std::string& path) {
    return [&, path] {
      ScriptedDialogs d(mbYes);
      ok = ok && CsvLoader(path, kItemLimitWide, d, loaded).result == LoadResult::Loaded;
    };
  };
  CountByte(quoted, '\r');
  CountByte(bare, '\r');
  const std::vector<double> times = TimeTurns(
      runs, {loader(quoted), [&] { run(QuoteMode::Remove); }, loader(bare), [&] { run(QuoteMode::Add); }},
      [&] { loaded.clear(); });
  const long long removePeak = PeakInProcess([&] { run(QuoteMode::Remove); });
  const long long addPeak = PeakInProcess([&] { run(QuoteMode::Add); });
  if (!ok || main.state.Document != original || !w.dialogs.shown().empty()) Fail("a conversion went wrong");
  std::printf("\nquote conversion through its window (medians of %d: window filled, button, return refresh)\n", runs);
  PrintLine("remove every quote", Ms(times[1]));
  PrintLine("baseline: CsvLoader, quoted file", Ms(times[0]));
  std::printf("  %-34s %9.2f x\n", "remove / loader", times[1] / times[0]);
  PrintLine("add them again", Ms(times[3]));
  PrintLine("baseline: CsvLoader, bare file", Ms(times[2]));
  std::printf("  %-34s %9.2f x\n", "add / loader", times[3] / times[2]);
  if (removePeak >= 0) {
    PrintLine("peak memory of the removal", Mb(static_cast<double>(removePeak)));
    PrintLine("peak memory of the addition", Mb(static_cast<double>(addPeak)));
  }
  PrintResult({"quote-remove", name, times[1], "CsvLoader", times[0], 0, removePeak, size, 1.1});
  PrintResult({"quote-add", name, times[3], "CsvLoader", times[2], 0, addPeak, size, 1.1});
  std::remove(bare.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  PrepareGuiBench();
  BenchDir dir;
  const BenchFiles f(dir);
  if (!f.ok()) Fail("cannot write the benchmark files");
  const std::string quoted = dir.File("largest-quoted.csv");
  const std::size_t qsize = WriteQuotedFile(quoted);
  if (qsize == 0) Fail("cannot write the quoted file");

  QApplication app(argc, argv);
  ScriptModal modal;
  BenchApp bench(dir, &modal);
  TForm1& main = bench.main;
  const TForm1::Children& children = bench.windows.Children();
  Windows w{main, *children.Form3, *children.Form8, *children.Form10, modal, bench.dialogs, bench.files};

  std::printf("editors bench (%s); files in %s\n", qPrintable(QGuiApplication::platformName()), dir.path().c_str());
  std::printf("largest file: %zu lines of %zu bytes, 64 items; %zu bytes\n\n", kLargestLines, kMaxLineBytes, f.size);
  MeasureEditors(w, "largest", f.largest, f.size);
  MeasureOpening(w, "largest", f.size);
  std::printf("\nlargest file with every item quoted: %zu lines of %zu bytes, 64 items; %zu bytes\n", kLargestLines,
              kMaxLineBytes, qsize);
  MeasureConversion(w, dir, "largest-quoted", quoted, qsize);
  std::remove(f.largest.c_str());
  std::remove(quoted.c_str());
  std::printf("\naddress file: %zu lines of quoted Japanese addresses, %zu bytes\n  (from %s)\n\n", kLargestLines,
              f.asize, f.source.c_str());
  MeasureEditors(w, "addresses", f.addresses, f.asize);
  MeasureOpening(w, "addresses", f.asize);
  MeasureConversion(w, dir, "addresses", f.addresses, f.asize);
  main.FormDestroy();
  return 0;
}
