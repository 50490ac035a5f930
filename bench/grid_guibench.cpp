// The grid view through the main window on the largest file the loader
// accepts: the fill (StringGridDisp, its two 500 ms pauses taken out)
// against CsvLoader alone on the same file in the same run; the memory the
// grid's cells add; find of a text that only the last line holds (the find
// command and the bare search) against memmem over the same lines; and
// moving to the last row and column and painting.
//
// Targets: the fill at most 3 x the loader alone; the grid adding at most
// 1.3 x the file size of memory; find at most 2 x memmem; the move to the
// last row and column and its painting under 50 ms.
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include "BenchSupport.h"
#include "app/Main.h"
#include "app/WindowSet.h"
#include "core/CsvLoader.h"
#include "core/Dialogs.h"
#include "core/Find.h"
#include "platform/FileDialogs.h"
#include "platform/Modal.h"
#include "platform/Pump.h"
#include "windows/Search.h"
#include "windows/StringGrid.h"

using namespace cavel;
using namespace cavel::bench;

namespace {

constexpr int kRuns = 5;
constexpr int kPaints = 9;

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

long StatusKb(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(key) + ":";
  while (std::getline(status, line))
    if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size());
  return -1;
}

// Peak memory of one operation in this process (the GUI cannot run in a
// forked child): free heap memory handed back, the peak resident size reset
// (/proc/self/clear_refs), then the operation. -1 when the reset fails.
long long PeakInProcess(const std::function<void()>& operation) {
  ::malloc_trim(0);
  int fd = ::open("/proc/self/clear_refs", O_WRONLY);
  if (fd < 0) return -1;
  const bool reset = ::write(fd, "5", 1) == 1;
  ::close(fd);
  if (!reset) return -1;
  const long before = StatusKb("VmRSS");
  operation();
  const long peak = StatusKb("VmHWM");
  return before < 0 || peak < 0 ? -1 : (static_cast<long long>(peak) - before) * 1024;
}

void Fail(const char* what) {
  std::fprintf(stderr, "grid bench: %s\n", what);
  std::exit(1);
}

int MemmemRow(const Lines& lines, const std::string& text) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (::memmem(lines[i].data(), lines[i].size(), text.data(), text.size())) return static_cast<int>(i);
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  KeepFreedMemory();
  BenchDir dir;
  const std::string largest = dir.File("largest.csv");
  const std::size_t size = WriteLargestFile(largest);
  if (size == 0) Fail("cannot write the largest file");

  QApplication app(argc, argv);
  ScriptedDialogs dialogs(mbYes);
  OneFile files(largest);
  NoPause pump;
  TypeFind typeFind;
  AppPorts ports;
  ports.dialogs = &dialogs;
  ports.files = &files;
  ports.pump = &pump;
  ports.modal = &typeFind;
  ports.screenSize = [] { return QSize(1280, 1024); };
  ports.settingsPath = dir.File("cavel.INI");
  WindowSet windows(ports, std::nullopt);
  TForm1& main = windows.Main();
  main.resize(1000, 700);
  main.show();
  QApplication::processEvents();
  main.MenuFileOpenClick();
  if (main.ListRowCount() != static_cast<int>(kLargestLines)) Fail("the file did not open");

  std::printf("grid bench (%s); files in %s\n", qPrintable(QGuiApplication::platformName()), dir.path().c_str());
  std::printf("largest file: %zu lines of %zu bytes, 64 items, half of them Shift-JIS; %zu bytes\n\n", kLargestLines,
              kMaxLineBytes, size);

  // ---- the fill against the loader alone -----------------------------------------
  const int rows = static_cast<int>(kLargestLines) + 1;
  bool ok = true;
  Lines alone;
  auto fill = [&] {
    main.StringGridDisp();
    ok = ok && main.GridRowCount() == rows && main.GridStore().ColCount() == 65 && main.state.GridBuilt == 1;
  };
  auto loader = [&] {
    ScriptedDialogs d(mbYes);
    ok = ok && CsvLoader(largest, kItemLimitWide, d, alone).result == LoadResult::Loaded;
  };
  // An empty Document's fill empties the grid and frees its cells.
  auto emptyGrid = [&] {
    Lines held;
    held.swap(main.state.Document);
    main.StringGridDisp();
    held.swap(main.state.Document);
  };
  CountByte(largest, '\r');
  std::printf("timing the fill ...\n");
  const Pair refill = TimeAgainst(kRuns, fill, loader, [&] { Lines().swap(alone); });
  const Pair fresh = TimeAgainst(kRuns, fill, loader, [&] {
    Lines().swap(alone);
    emptyGrid();
    ReturnFreedMemory();
  });
  if (!ok || !dialogs.shown().empty()) Fail("the fill went wrong");
  std::printf("filling the grid (medians of %d runs, the two 500 ms pauses taken out)\n", kRuns);
  PrintLine("fill into an empty grid, fresh memory", Ms(fresh.measured));
  PrintLine("baseline: CsvLoader alone", Ms(fresh.baseline));
  PrintRatio("fill / loader, empty grid", fresh.measured / fresh.baseline, 3.0);
  PrintLine("refill over a filled grid", Ms(refill.measured));
  PrintLine("baseline: CsvLoader alone", Ms(refill.baseline));
  PrintRatio("fill / loader, refill", refill.measured / refill.baseline, 3.0);

  // ---- memory ---------------------------------------------------------------------------
  emptyGrid();
  ReturnFreedMemory();
  const long long firstPeak = PeakInProcess(fill);
  const double held = static_cast<double>(main.GridStore().HeldBytes());
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
  // A piece of the last line's first item that no other line holds.
  const Lines& doc = main.state.Document;
  std::string text;
  for (std::size_t at = 0; at + 16 <= 127 && text.empty(); ++at) {
    std::string candidate = doc.back().substr(at, 16);
    if (MemmemRow(doc, candidate) == static_cast<int>(doc.size()) - 1) text = candidate;
  }
  if (text.empty()) Fail("no text only the last line holds");
  typeFind.text = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  main.SelectListRow(0);
  main.MenuFindClick();
  if (main.ListSelection() != static_cast<int>(kLargestLines) - 1 || !dialogs.shown().empty())
    Fail("find did not reach the last line");
  main.SelectListRow(0);
  int found = -1, baseRow = -1;
  const std::vector<double> findTimes = TimeTurns(
      kRuns,
      {[&] {
         main.MenuReFindClick();
         found = main.ListSelection();
       },
       [&] { found = FindLine(doc, text, 0) == found ? found : -1; },
       [&] { baseRow = MemmemRow(doc, text); }},
      [&] { main.SelectListRow(0); });
  if (found != static_cast<int>(kLargestLines) - 1 || baseRow != found || !dialogs.shown().empty())
    Fail("find went wrong");
  std::printf("\nfind of \"%s\", only in the last line (medians of %d)\n", text.c_str(), kRuns);
  PrintLine("find again from line 0 (command)", Ms(findTimes[0]));
  PrintLine("the search alone (FindLine)", Ms(findTimes[1]));
  PrintLine("baseline: memmem over the lines", Ms(findTimes[2]));
  PrintRatio("find command / memmem", findTimes[0] / findTimes[2], 2.0);
  PrintRatio("search alone / memmem", findTimes[1] / findTimes[2], 2.0);

  // ---- moving to the last row and column, painting -------------------------------------------
  // The first switch to the grid after a load fills it (the pauses taken out).
  std::vector<double> switches;
  for (int i = 0; i < kRuns; ++i) {
    main.SelectListRow(0);
    main.state.GridBuilt = 0;
    Timer t;
    main.BtnDispChgClick();
    main.StringGrid1->repaint();
    switches.push_back(t.Seconds());
    main.BtnDispChgClick();
  }
  std::printf("\nthe view switch\n");
  PrintLine("list to grid with the fill, painted", Ms(Median(switches)));

  main.SelectListRow(0);
  main.BtnDispChgClick();  // the grid is filled: the switch only shows it
  QApplication::processEvents();
  QTableView& grid = *main.StringGrid1;
  StringGridModel& model = *main.StringGrid1Model;
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
  const QModelIndex corner = grid.indexAt(QPoint(grid.viewport()->width() - 2, grid.viewport()->height() - 2));
  std::printf("\nthe grid's cursor to the far corner (%d x %d px of cells seen; medians of %d)\n",
              grid.viewport()->width(), grid.viewport()->height(), kPaints);
  if (!corner.isValid() || grid.verticalScrollBar()->value() != grid.verticalScrollBar()->maximum() ||
      grid.horizontalScrollBar()->value() != grid.horizontalScrollBar()->maximum())
    Fail("the last row and column are not in view");
  PrintLine("to the last row and column, paint", Ms(Median(toLast)));
  PrintRatio("... against 50 ms", Median(toLast) / 0.050, 1.0);
  PrintLine("back to row 1, column 1, paint", Ms(Median(toFirst)));

  main.FormDestroy();
  return 0;
}
