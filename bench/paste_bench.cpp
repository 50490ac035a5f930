// Copying every cell of the address file as tab-separated text, and pasting
// that text back over every cell (reading it, then the paste with its
// checks and its undo step), against the loader on the file's bytes in
// memory: the least any reading and checking of that much text costs.
//
// The paste gives the Document back byte for byte (every item of the file
// is enclosed, and so is every value written over it), which is checked.
#include <cstdio>
#include <string>

#include "BenchSupport.h"
#include "core/CellEdit.h"
#include "core/Clipboard.h"
#include "core/CsvLoader.h"
#include "core/CsvWriter.h"
#include "core/MainState.h"

using namespace cavel;
using namespace cavel::bench;

namespace {

// Each byte is looked at a few times more than the loader looks at it: the
// copy cuts every line into items and writes each value; the paste reads
// the text, cuts every line it writes into, and checks every line it makes.
constexpr double kCopyTarget = 2.0;
constexpr double kPasteTarget = 6.0;

}  // namespace

int main() {
  BenchDir dir;
  const std::string path = dir.File("addresses.csv");
  const std::size_t size = WriteAddressFile(path, kMaxLines);
  if (size == 0) Fail("cannot write the address file");
  const Lines loaded = LoadDocument(path);
  std::string bytes;
  CsvContent(loaded).Pieces([&](std::string_view piece) {
    bytes += piece;
    return true;
  });
  const CellRange all{0, static_cast<int>(loaded.size()) - 1, 1, static_cast<int>(SplitItems(loaded[0].view()).size())};

  ScriptedDialogs dialogs;
  Lines reloaded;
  const auto load = [&] { CsvLoaderFromBytes(bytes, kItemLimitWide, dialogs, reloaded); };
  const int runs = RunsFor(size);

  std::string text;
  const Pair copy = TimeAgainst(
      runs, [&] { text = CopyCellsText(loaded, all); }, load);

  MainState state;
  const Pair paste = TimeAgainst(
      runs,
      [&] {
        if (!PasteCells(state, dialogs, ParsePasted(text), all)) Fail("the paste was refused");
      },
      load,
      [&] {
        state.Document = loaded;
        state.Undo.Clear();
      });
  state.Document = loaded;
  if (!PasteCells(state, dialogs, ParsePasted(text), all) || !(state.Document == loaded) || state.Undo.UndoCount() != 0)
    Fail("pasting the copied cells did not give the same Document");

  std::printf("\naddresses (%zu lines, %zu bytes): every cell, %zu bytes of text\n", loaded.size(), size, text.size());
  PrintPair("copy", "CsvLoader", "copy / loader", copy, kCopyTarget);
  PrintPair("read + paste", "CsvLoader", "paste / loader", paste, kPasteTarget);
  PrintResult({"copy", "addresses", copy.measured, "CsvLoader", copy.baseline, kCopyTarget, -1, size, 0});
  PrintResult({"paste", "addresses", paste.measured, "CsvLoader", paste.baseline, kPasteTarget, -1, size, 0});
  return 0;
}
