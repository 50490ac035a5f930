// The editor models on the largest files the loader accepts, against the
// loader on the same file in the same run.
//
//   editors_bench [folder for the temporary files]
//
// File A: 30000 lines of 8192 bytes, 64 items each (some quoted, Shift-JIS
// text). File B: 30000 lines of 63 items with room for the quotes of the add
// conversion and the prefix saves. Every figure is the best of five runs.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "core/CsvLoader.h"
#include "core/CsvWriter.h"
#include "core/ItemOrder.h"
#include "core/Merge.h"
#include "core/QuoteConvert.h"
#include "core/RowOrder.h"

using namespace cavel;

namespace {

double BestSeconds(int runs, const std::function<void()>& prepare, const std::function<void()>& work) {
  double best = 1e30;
  for (int r = 0; r < runs; ++r) {
    prepare();
    auto t0 = std::chrono::steady_clock::now();
    work();
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (s < best) best = s;
  }
  return best;
}

// `items` items; items with an even number are enclosed in quotes. Item texts
// mix ASCII and the Shift-JIS bytes of "東京都". The line is padded (inside
// its last item) to exactly `bytes`.
std::string MakeLine(std::size_t i, int items, std::size_t itemText, std::size_t bytes) {
  std::string line;
  line.reserve(bytes);
  for (int k = 1; k <= items; ++k) {
    if (k > 1) line += ',';
    bool quoted = k % 2 == 0;
    if (quoted) line += '"';
    std::string text = std::to_string(i) + "-" + std::to_string(k) + "\x93\x8c\x8b\x9e\x93\x73";
    while (text.size() < itemText) text += static_cast<char>('a' + (text.size() % 26));
    line += text.substr(0, itemText);
    if (quoted) line += '"';
  }
  while (line.size() < bytes) line += 'z';
  line.resize(bytes);
  return line;
}

Lines MakeLines(int items, std::size_t itemText, std::size_t bytes) {
  Lines lines;
  lines.reserve(kMaxLines);
  for (std::size_t i = 0; i < kMaxLines; ++i) lines.push_back(Line(MakeLine(i, items, itemText, bytes)));
  return lines;
}

double LoadSeconds(const std::string& path) {
  Lines loaded;
  ScriptedDialogs dialogs;
  double s = BestSeconds(
      5, [&] { loaded.clear(); }, [&] { CsvLoader(path, kItemLimitWide, dialogs, loaded); });
  if (loaded.size() != kMaxLines || !dialogs.shown().empty()) std::printf("  (the loader refused the file)\n");
  return s;
}

void Report(const char* what, double seconds, double baseline) {
  std::printf("  %-40s %8.1f ms   %5.2f x loader\n", what, seconds * 1e3, seconds / baseline);
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path();
  std::string pathA = (folder / "cavel_editors_bench_a.csv").string();
  std::string pathB = (folder / "cavel_editors_bench_b.csv").string();

  Lines fileA = MakeLines(kMaxItems, 124, kMaxLineBytes);
  Lines fileB = MakeLines(kMaxItems - 1, 126, 8063);
  if (!WriteLines(pathA, fileA).ok || !WriteLines(pathB, fileB).ok) {
    std::printf("cannot write the bench files in %s\n", folder.string().c_str());
    return 1;
  }

  ScriptedDialogs dialogs;  // every question answered はい(&Y)
  MainState state;

  double loadA = LoadSeconds(pathA);
  std::printf("File A: %zu lines of %zu bytes\n", fileA.size(), fileA[0].size());
  Report("baseline: CsvLoader", loadA, loadA);

  // Each timed run starts from `lines` with `line` current.
  auto startFrom = [&state](const Lines& lines, int line) {
    return [&state, &lines, line] {
      state.Document = lines;
      state.CurrentLine = line;
    };
  };
  RowOrder rows;
  Report("row order: open + save",
         BestSeconds(5, startFrom(fileA, 0),
                     [&] {
                       rows.Open(state);
                       rows.Down();
                       rows.Save(state, dialogs);
                     }),
         loadA);
  state.Document = fileA;
  rows.Open(state);
  rows.SetCursor(0);
  double ops = BestSeconds(
      5, [] {},
      [&] {
        for (int n = 0; n < 500; ++n) {
          rows.Cut();
          rows.PrevPaste(dialogs);
        }
      });
  std::printf("  %-40s %8.1f us per operation\n", "row order: cut/paste at row 0", ops * 1e6 / 1000);

  ItemOrder items;
  Report("item order: save (one move)",
         BestSeconds(5, startFrom(fileA, 0),
                     [&] {
                       items.Open(state, dialogs);
                       items.Down();
                       items.Save(state, dialogs);
                     }),
         loadA);

  double loadB = LoadSeconds(pathB);
  std::printf("File B: %zu lines of %zu bytes\n", fileB.size(), fileB[0].size());
  Report("baseline: CsvLoader", loadB, loadB);
  Report("item order: add save (empty first item)",
         BestSeconds(5, startFrom(fileB, 0),
                     [&] {
                       items.Open(state, dialogs);
                       items.AddSave(state, dialogs);
                     }),
         loadB);
  Report("item order: special save (\"1\" first)",
         BestSeconds(5, startFrom(fileB, 0),
                     [&] {
                       items.Open(state, dialogs);
                       items.SpecialSave(state, dialogs);
                     }),
         loadB);
  Report("quote conversion: add",
         BestSeconds(
             5, [&] { state.Document = fileB; }, [&] { ConvertQuotes(state, QuoteMode::Add, dialogs); }),
         loadB);
  Report("quote conversion: remove",
         BestSeconds(
             5, [&] { state.Document = fileB; }, [&] { ConvertQuotes(state, QuoteMode::Remove, dialogs); }),
         loadB);
  Lines half(fileB.begin(), fileB.begin() + kMaxLines / 2);
  Report("merge: 15000 lines after line 1 of 15000",
         BestSeconds(5, startFrom(half, 1), [&] { InsertAfter(state, half, dialogs); }), loadB);

  for (const auto& shown : dialogs.shown())
    if (shown.kind != MsgKind::Information) std::printf("unexpected message: %s\n", shown.text.c_str());
  std::filesystem::remove(pathA);
  std::filesystem::remove(pathB);
  return 0;
}
