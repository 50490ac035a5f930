// Every command of the main window on long files of Japanese address data,
// with the line limit raised as far as it goes: the open, the grid, find
// and find again, jump, the record window, the row order and item editors,
// merge, quote conversion, undo and redo, save and a new file. Each runs
// twice: the first time in the process (fresh: nothing of it built or
// cached before) and again (warmed), with the 500 ms pauses taken out, and
// is printed against the loader's time for the same file in the same run.
// Then the memory the process holds with the list and the grid both
// filled, against the file's size.
//
//   million_guibench [LINES...]     default: 1048576
//
// Targets at any length: every command but the open, the grid and save
// within 2 x the loader, the windows shown within 0.4 s, undo and redo and
// find within 50 ms; the memory at most 1.5 x the file.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "GuiBench.h"
#include "app/Main.h"
#include "core/CsvLoader.h"
#include "core/Messages.h"
#include "windows/Convert.h"
#include "windows/Create.h"
#include "windows/Exchange.h"
#include "windows/Inport.h"
#include "windows/Itemset.h"
#include "windows/Jump.h"
#include "windows/LinesModel.h"
#include "windows/MainGrid.h"
#include "windows/Search.h"
#include "windows/View.h"

using namespace cavel;
using namespace cavel::bench;

namespace {

// Shows the window, notes when it is on the screen, runs the script on it
// and closes it if the script did not.
class ScriptModal : public ModalRunner {
 public:
  std::function<void(QDialog&)> script;
  double shownAfter = 0;  // seconds from the command's start
  Timer* started = nullptr;
  int RunModal(QDialog& window) override {
    window.show();
    QApplication::processEvents();
    if (started) shownAfter = started->Seconds();
    if (script) script(window);
    if (window.isVisible()) window.reject();
    return window.result();
  }
};

// The open and save dialogs: the file being measured, saved to itself.
class FileAnswers : public FileDialogs {
 public:
  std::string open, save;
  std::optional<std::string> OpenFileName(const OpenFileRequest&) override { return open; }
  std::optional<SaveChoice> SaveFileName(const SaveFileRequest&) override { return SaveChoice{save, 0}; }
};

// What the process holds now, freed memory handed back first.
long long ResidentBytes() {
  ReturnFreedMemory();
  std::ifstream status("/proc/self/status");
  std::string key;
  long long kb = -1;
  while (status >> key)
    if (key == "VmRSS:") {
      status >> kb;
      break;
    }
  return kb < 0 ? -1 : kb * 1024;
}

struct Figure {
  const char* name;
  double target;  // seconds at most; 0: against the loader
  std::function<void()> run;
};

void MeasureFile(std::size_t lines, const BenchDir& dir) {
  const std::string path = dir.File("addresses-" + std::to_string(lines) + ".csv");
  const std::size_t size = WriteAddressFile(path, lines);
  if (size == 0) Fail("cannot write " + path);
  const std::string merged = dir.File("merged.csv");
  if (WriteAddressFile(merged, 100) == 0) Fail("cannot write " + merged);
  // The settings of a user who raised the limit.
  {
    std::ofstream ini(dir.File("cavel.INI"), std::ios::binary | std::ios::trunc);
    ini << "[ReadLimit]\r\nLines=" << kMostLines << "\r\n";
  }
  CountByte(path, '\r');  // in the page cache

  ScriptedDialogs dialogs(mbYes);
  FileAnswers files;
  files.open = path;
  files.save = path;
  NoPause pump;
  ScriptModal modal;
  AppPorts ports = BenchPorts(dialogs, files, pump, &modal, dir);
  WindowSet windows(ports, std::nullopt);
  TForm1& main = windows.Main();
  main.resize(1000, 700);
  main.show();
  QApplication::processEvents();
  const TForm1::Children& forms = main.forms;
  const long long before = ResidentBytes();

  // The loader alone on the same file: the baseline, the median of three.
  std::vector<double> loads;
  for (int i = 0; i < 3; ++i) {
    Lines alone;
    ScriptedDialogs d(mbYes);
    Timer t;
    CsvLoader(path, {kItemLimitWide, EncodingChoice::Detect, kMostLines}, d, alone);
    loads.push_back(t.Seconds());
    if (alone.size() != lines) Fail("the loader did not take the file");
  }
  const double loader = Median(loads);

  const int last = static_cast<int>(lines) - 1;
  bool ok = true;
  auto check = [&](bool good, const char* what) {
    if (!good) {
      std::printf("  (%s did not do what it should)\n", what);
      ok = false;
    }
  };
  auto windowOpen = [&](void (TForm1::*command)(), const std::function<void(QDialog&)>& script) {
    Timer t;
    modal.started = &t;
    modal.shownAfter = 0;
    modal.script = script;
    (main.*command)();
    modal.started = nullptr;
    modal.script = nullptr;
    return modal.shownAfter;
  };
  double shown = 0;
  const std::vector<Figure> figures = {
      {"open", 0,
       [&] {
         main.MenuFileOpenClick();
         QApplication::processEvents();
         check(main.ListRowCount() == static_cast<int>(lines), "the open");
       }},
      {"grid", 0,
       [&] {
         if (!main.ListVisible()) main.BtnDispChgClick();
         main.state.GridBuilt = 0;
         main.BtnDispChgClick();
         QApplication::processEvents();
         check(main.Grid().HoldsLines(static_cast<int>(lines)), "the grid");
         main.BtnDispChgClick();
       }},
      {"find", 0.05,
       [&] {
         main.SelectListRow(0);
         modal.script = [&](QDialog& w) {
           auto& f = static_cast<TForm5&>(w);
           f.ComboBox1->setEditText(QString::fromUtf8("zzz-not-there"));
           f.BtnOk->click();
         };
         main.MenuFindClick();
         modal.script = nullptr;
       }},
      {"find-again", 0.05, [&] { main.MenuReFindClick(); }},
      {"jump", 0.05,
       [&] {
         modal.script = [&](QDialog& w) {
           auto& j = static_cast<TForm4&>(w);
           j.ComboBox1->setEditText(QString::number(last));
           j.BtnOk->click();
         };
         main.MenuJumpClick();
         modal.script = nullptr;
         check(main.ListSelection() == last, "the jump");
       }},
      {"record", 0.4, [&] { shown = windowOpen(&TForm1::MenuViewClick, nullptr); }},
      {"roworder", 0.4,
       [&] {
         shown = windowOpen(&TForm1::MenuItemSetClick, [&](QDialog&) {
           forms.Form3->BtnUp->click();
           forms.Form3->BtnSave->click();
         });
       }},
      {"items", 0.4,
       [&] {
         shown = windowOpen(&TForm1::MenuExchangeClick, [&](QDialog&) {
           forms.Form8->BtnDown->click();
           forms.Form8->BtnSave->click();
         });
       }},
      {"merge", 0,
       [&] {
         main.SelectListRow(1);
         files.open = merged;
         const std::size_t had = main.state.Document.size();
         windowOpen(&TForm1::MenuInportClick, [&](QDialog&) {
           forms.Form9->BtnFileOpen->click();
           forms.Form9->BtnPrevSave->click();
         });
         files.open = path;
         // A Document at the line limit refuses the merge.
         check(main.state.Document.size() > had || had + 100 > kMostLines, "the merge");
         dialogs.Clear();
       }},
      {"convert", 0,
       [&] {
         // Quotes removed the first time, added back the second.
         static bool add = false;
         const std::size_t had = LineBytes(main.state.Document);
         windowOpen(&TForm1::MenuConvertClick, [&](QDialog&) {
           (add ? forms.Form10->BtnQuatationAddSave : forms.Form10->BtnQuatationDelSave)->click();
         });
         check(add ? LineBytes(main.state.Document) > had : LineBytes(main.state.Document) < had, "the conversion");
         add = !add;
       }},
      {"undo", 0.05, [&] { main.MenuUndoClick(); }},
      {"redo", 0.05, [&] { main.MenuRedoClick(); }},
      {"save", 0, [&] { main.MenuOverWriteSaveClick(); }},
  };

  std::printf("\n%zu lines of address data, %s (loader: %s)\n", lines, Mb(static_cast<double>(size)).c_str(),
              Ms(loader).c_str());
  std::printf("  %-12s %10s %10s %10s %10s\n", "command", "fresh", "warmed", "/ loader", "target");
  long long filled = -1;
  for (const Figure& f : figures) {
    double times[2] = {0, 0};
    double windows[2] = {0, 0};
    for (int round = 0; round < 2; ++round) {
      shown = 0;
      // What the loop does after the command (the views' layout, the
      // paint) belongs to it: the user sees the result only then.
      QApplication::processEvents();
      Timer t;
      f.run();
      QApplication::processEvents();
      times[round] = t.Seconds();
      windows[round] = shown;
      if (std::string(f.name) == "open" && round == 0)
        std::printf("  (memory with the list filled: %s)\n", Mb(static_cast<double>(ResidentBytes() - before)).c_str());
      if (std::string(f.name) == "grid" && round == 0) {
        // Both views filled: what the process holds beyond its start.
        main.BtnDispChgClick();
        QApplication::processEvents();
        filled = ResidentBytes() - before;
        main.BtnDispChgClick();
      }
    }
    const double measured = windows[0] > 0 ? windows[0] : times[0];
    const double warmed = windows[1] > 0 ? windows[1] : times[1];
    const double target = f.target > 0 ? f.target / loader : 2.0;
    const bool timedAgainstLoader = f.target == 0;
    std::printf("  %-12s %10s %10s %9.2fx %10s\n", f.name, Ms(measured).c_str(), Ms(warmed).c_str(),
                measured / loader, timedAgainstLoader ? "2.00x" : Ms(f.target).c_str());
    const std::string file = "addresses-" + std::to_string(lines);
    PrintResult({std::string(f.name) + "-fresh", file, measured, "loader", loader,
                 std::string(f.name) == "open" || std::string(f.name) == "grid" || std::string(f.name) == "save"
                     ? 0
                     : target,
                 -1, size, 0});
    PrintResult({std::string(f.name) + "-warmed", file, warmed, "loader", loader, 0, -1, size, 0});
  }
  // A new file last: it lets the Document go.
  {
    Timer t;
    modal.script = [&](QDialog&) {
      forms.Form7->Edit[1]->setText(QStringLiteral("a"));
      forms.Form7->Button2->click();
    };
    files.save = dir.File("new.csv");
    main.MenuCreateClick();
    modal.script = nullptr;
    std::printf("  %-12s %10s\n", "new file", Ms(t.Seconds()).c_str());
  }
  if (filled >= 0) {
    std::printf("  memory held with the list and the grid filled: %s, %.2f x the file (target <= 1.5)\n",
                Mb(static_cast<double>(filled)).c_str(), static_cast<double>(filled) / static_cast<double>(size));
    PrintResult({"memory-filled", "addresses-" + std::to_string(lines), 0, "-", 0, 0, filled, size, 1.5});
  }
  // The peak of opening the file and showing it in the grid, from a
  // window that holds no file.
  main.BtnDispChgClick();
  QApplication::processEvents();
  const long long peak = PeakInProcess([&] {
    main.MenuFileOpenClick();
    QApplication::processEvents();
    main.BtnDispChgClick();
    QApplication::processEvents();
  });
  if (peak >= 0) {
    std::printf("  peak memory of the open and the grid: %s, %.2f x the file (target <= 1.5)\n",
                Mb(static_cast<double>(peak)).c_str(), static_cast<double>(peak) / static_cast<double>(size));
    PrintResult({"open-grid-peak", "addresses-" + std::to_string(lines), 0, "-", 0, 0, peak, size, 1.5});
  }
  if (!ok) Fail("a command did not do what it should");
  std::remove(path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  PrepareGuiBench();
  QApplication app(argc, argv);
  std::vector<std::size_t> lengths;
  for (int i = 1; i < argc; ++i) lengths.push_back(static_cast<std::size_t>(std::strtoull(argv[i], nullptr, 10)));
  if (lengths.empty()) lengths = {kMostLines};
  BenchDir dir;
  for (std::size_t lines : lengths) MeasureFile(lines, dir);
  return 0;
}
