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
#include <QApplication>
#include <QDialog>
#include <QListView>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "app/Main.h"
#include "app/WindowSet.h"
#include "core/CsvLoader.h"
#include "core/Dialogs.h"
#include "platform/FileDialogs.h"
#include "platform/Modal.h"
#include "platform/Pump.h"
#include "windows/EditListModel.h"
#include "windows/EditorLayout.h"
#include "windows/Exchange.h"
#include "windows/Itemset.h"

using namespace cavel;
using namespace cavel::bench;

namespace {

constexpr int kRuns = 5;
constexpr int kOperations = 25;

class OneFile : public FileDialogs {
 public:
  explicit OneFile(std::string path) : path_(std::move(path)) {}
  std::optional<std::string> OpenFileName(const OpenFileRequest&) override { return path_; }
  std::optional<std::string> SaveFileName(const SaveFileRequest&) override { return std::nullopt; }

 private:
  std::string path_;
};

class NoPause : public Pump {
 public:
  void DelayTime(int) override {}
};

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

void Fail(const char* what) {
  std::fprintf(stderr, "editors bench: %s\n", what);
  std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  BenchDir dir;
  const std::string largest = dir.File("largest.csv");
  const std::size_t size = WriteLargestFile(largest);
  if (size == 0) Fail("cannot write the largest file");

  QApplication app(argc, argv);
  ScriptedDialogs dialogs(mbYes);
  OneFile files(largest);
  NoPause pump;
  ScriptModal modal;
  AppPorts ports;
  ports.dialogs = &dialogs;
  ports.files = &files;
  ports.pump = &pump;
  ports.modal = &modal;
  ports.screenSize = [] { return QSize(1280, 1024); };
  ports.settingsPath = dir.File("cavel.INI");
  WindowSet windows(ports, std::nullopt);
  TForm1& main = windows.Main();
  TForm3& rows = *windows.Children().Form3;
  TForm8& items = *windows.Children().Form8;
  main.show();
  main.MenuFileOpenClick();
  QApplication::processEvents();
  if (main.ListRowCount() != static_cast<int>(kLargestLines)) Fail("the largest file did not open");

  std::printf("editors bench (%s); files in %s\n", qPrintable(QGuiApplication::platformName()), dir.path().c_str());
  std::printf("largest file: %zu lines of %zu bytes, 64 items; %zu bytes\n\n", kLargestLines, kMaxLineBytes, size);

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
  for (const auto& [label, times] : std::vector<std::pair<const char*, const std::vector<double>*>>{
           {"cut at row 0", &cutFirst},
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
    ok = ok && CsvLoader(largest, kItemLimitWide, d, loaded).result == LoadResult::Loaded;
  };
  auto freeLoaded = [&] { Lines().swap(loaded); };
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
  CountByte(largest, '\r');
  std::printf("\nsaving (medians of %d runs: window filled, one move, 保存, return refresh without its pause)\n",
              kRuns);
  const Pair rowSave = TimeAgainst(kRuns, saveRows, loader, freeLoaded);
  const Pair itemSave = TimeAgainst(kRuns, saveItems, loader, freeLoaded);
  if (!ok || !dialogs.shown().empty()) Fail("a save did not go through");
  PrintLine("row order: open, move, save", Ms(rowSave.measured));
  PrintLine("baseline: CsvLoader", Ms(rowSave.baseline));
  PrintRatio("row order save / loader", rowSave.measured / rowSave.baseline, 3.0);
  PrintLine("item order: open, move, save", Ms(itemSave.measured));
  PrintLine("baseline: CsvLoader", Ms(itemSave.baseline));
  PrintRatio("item order save / loader", itemSave.measured / itemSave.baseline, 3.0);

  main.FormDestroy();
  return 0;
}
