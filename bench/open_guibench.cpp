// Opening the largest file the loader accepts through the main window's
// open path (dialog answered, existence test, loader, list fill, control
// state, recent files, caption), with the 500 ms pause taken out, against
// CsvLoader alone on the same file in the same run; then scrolling the list
// to its last row and painting it; then the memory the open file takes.
//
// Targets: the open at most 1.2 x the loader alone; scrolling to the last
// row and painting under 50 ms; peak memory of opening and showing the file
// at most 1.5 x the file size.
#include <QApplication>
#include <QListView>
#include <QScrollBar>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include "BenchSupport.h"
#include "app/Main.h"
#include "app/WindowSet.h"
#include "core/CsvLoader.h"
#include "core/Dialogs.h"
#include "platform/FileDialogs.h"
#include "platform/Pump.h"
#include "windows/LinesModel.h"

using namespace cavel;
using namespace cavel::bench;

namespace {

constexpr int kRuns = 5;
constexpr int kPaints = 9;

// The open dialog, always answered with one file.
class OneFile : public FileDialogs {
 public:
  explicit OneFile(std::string path) : path_(std::move(path)) {}
  std::optional<std::string> OpenFileName(const OpenFileRequest&) override { return path_; }
  std::optional<std::string> SaveFileName(const SaveFileRequest&) override { return std::nullopt; }

 private:
  std::string path_;
};

// No pause at all: the benchmark measures the work, not the wait.
class NoPause : public Pump {
 public:
  void DelayTime(int) override {}
};

long StatusKb(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(key) + ":";
  while (std::getline(status, line))
    if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size());
  return -1;
}

// Peak memory of one operation, measured in this process: the GUI cannot
// run in a forked child (its threads stay behind), so the peak resident
// size is reset here (/proc/self/clear_refs) after free heap memory has
// been handed back. -1 when the reset is not possible.
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
  std::fprintf(stderr, "open bench: %s\n", what);
  std::exit(1);
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
  AppPorts ports;
  ports.dialogs = &dialogs;
  ports.files = &files;
  ports.pump = &pump;
  ports.screenSize = [] { return QSize(1280, 1024); };
  ports.settingsPath = dir.File("cavel.INI");
  WindowSet windows(ports, std::nullopt);
  TForm1& main = windows.Main();
  main.show();
  QApplication::processEvents();

  std::printf("open bench (%s); files in %s\n", qPrintable(QGuiApplication::platformName()), dir.path().c_str());
  std::printf("largest file: %zu lines of %zu bytes, 64 items, half of them Shift-JIS; %zu bytes\n\n", kLargestLines,
              kMaxLineBytes, size);

  // ---- the open path against the loader alone -------------------------------
  Lines alone;
  bool ok = true;
  auto open = [&] {
    main.MenuFileOpenClick();
    ok = ok && main.ListRowCount() == static_cast<int>(kLargestLines) && main.Caption().ends_with(": 30000");
  };
  auto loader = [&] {
    ScriptedDialogs d(mbYes);
    ok = ok && CsvLoader(largest, kItemLimitWide, d, alone).result == LoadResult::Loaded;
  };
  auto release = [&] {
    Lines().swap(alone);
    Lines().swap(main.state.Document);
    main.ListBox1Model->Refill();
  };
  CountByte(largest, '\r');  // the file in the page cache for both
  std::printf("timing the open ...\n");
  const Pair reused = TimeAgainst(kRuns, open, loader, release);
  const Pair fresh = TimeAgainst(kRuns, open, loader, [&] {
    release();
    ReturnFreedMemory();
  });
  if (!ok || !dialogs.shown().empty()) Fail("the file did not open as it should");
  std::printf("opening it (medians of %d runs, the 500 ms pause taken out)\n", kRuns);
  PrintLine("open: main window, fresh memory", Ms(fresh.measured));
  PrintLine("baseline: CsvLoader alone", Ms(fresh.baseline));
  PrintRatio("open / loader, fresh memory", fresh.measured / fresh.baseline, 1.2);
  PrintLine("open: main window, reused memory", Ms(reused.measured));
  PrintLine("baseline: CsvLoader alone", Ms(reused.baseline));
  PrintRatio("open / loader, reused memory", reused.measured / reused.baseline, 1.2);

  // ---- scrolling to the last row and painting -----------------------------------
  main.MenuFileOpenClick();
  QApplication::processEvents();
  QListView& list = *main.ListBox1;
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
  const long long peak = PeakInProcess([&] {
    main.MenuFileOpenClick();
    main.SelectListRow(static_cast<int>(kLargestLines) - 1);
    list.viewport()->repaint();
  });
  std::printf("\nmemory\n");
  PrintLine("file size", Mb(static_cast<double>(size)));
  if (peak < 0) {
    PrintLine("peak memory opening and showing it", "not measurable here");
  } else {
    PrintLine("peak memory opening and showing it", Mb(static_cast<double>(peak)));
    PrintRatio("peak memory / file size", static_cast<double>(peak) / static_cast<double>(size), 1.5);
  }
  main.FormDestroy();
  return 0;
}
