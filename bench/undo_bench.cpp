// The undo history on the largest file: 100 record saves, each a step, then
// every step undone and redone.
//
// Target: the history's own memory (the lines its steps hold and the steps'
// storage, beyond what the Document holds) at most 0.1 x the file's size
// after the 100 saves. The saves are timed against the loader on the same
// file, for reference.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "core/CsvLoader.h"
#include "core/Dialogs.h"
#include "core/MainState.h"
#include "core/Record.h"

using namespace cavel;
using namespace cavel::bench;

namespace {

constexpr int kSteps = 100;
constexpr double kMemoryTarget = 0.1;

}  // namespace

int main() {
  BenchDir dir;
  const std::string path = dir.File("largest.csv");
  const std::size_t size = WriteLargestFile(path);
  if (size == 0) Fail("cannot write the largest file");

  Timer timer;
  MainState state;
  state.Document = LoadDocument(path);
  const double loadSeconds = timer.Seconds();
  const Lines loaded = state.Document;

  // Line 1 + 299 i, its second value replaced: the record window's save.
  ScriptedDialogs dialogs(mbYes);
  RecordWindow record(state);
  timer.Restart();
  for (int i = 0; i < kSteps; ++i) {
    const int line = 1 + 299 * i;
    if (!record.Open(dialogs, RecordMode::Edit, line, line)) Fail("the record window did not open");
    std::vector<BoxValue> boxes(2);
    boxes[1] = "value " + std::to_string(i);
    if (!record.Save(dialogs, boxes)) Fail("the save was refused");
  }
  const double saveSeconds = timer.Seconds();
  if (state.Undo.UndoCount() != static_cast<std::size_t>(kSteps)) Fail("a save was not a step");
  const auto memory = static_cast<long long>(state.Undo.MemoryBytes());
  const Lines saved = state.Document;

  timer.Restart();
  while (UndoChange(state)) {
  }
  const double undoSeconds = timer.Seconds();
  if (!(state.Document == loaded)) Fail("undoing every step did not give the file back");
  timer.Restart();
  while (RedoChange(state)) {
  }
  const double redoSeconds = timer.Seconds();
  if (!(state.Document == saved)) Fail("redoing every step did not give the saves back");

  std::printf("\nthe largest file (%zu lines, %zu bytes): %d record saves\n", state.Document.size(), size, kSteps);
  PrintLine("load (CsvLoader, for reference)", Ms(loadSeconds));
  PrintLine("100 record saves", Ms(saveSeconds));
  PrintLine("100 undos", Ms(undoSeconds));
  PrintLine("100 redos", Ms(redoSeconds));
  PrintLine("the history's memory", Mb(static_cast<double>(memory)));
  PrintRatio("history / file size", static_cast<double>(memory) / static_cast<double>(size), kMemoryTarget);
  PrintResult({"undo-memory", "largest", saveSeconds, "CsvLoader", loadSeconds, 0, memory, size, kMemoryTarget});
  return 0;
}
