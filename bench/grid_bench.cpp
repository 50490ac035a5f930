// The grid fill and find on the largest file the loader accepts, against the
// loader and memmem on the same bytes in the same run.
//
//   grid_bench [folder for the temporary file]
//
// The file: 30000 lines of 8192 bytes, 64 items each, mixing ASCII with the
// Shift-JIS bytes of ア and 東; only the last line holds the text searched
// for. The fill runs without its two caption pauses. Every figure is the
// best of five runs.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "core/CsvLoader.h"
#include "core/Find.h"
#include "core/GridFill.h"
#include "core/Text.h"

using namespace cavel;

namespace {

double BestMs(int runs, const std::function<void()>& prepare, const std::function<void()>& work) {
  double best = 1e30;
  for (int r = 0; r < runs; ++r) {
    prepare();
    auto t0 = std::chrono::steady_clock::now();
    work();
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    if (ms < best) best = ms;
  }
  return best;
}

constexpr const char* kMark = "MARK-ONLY-HERE!!";

std::string MakeLine(int i, unsigned& seed) {
  std::string line;
  line.reserve(kMaxLineBytes);
  for (int k = 0; k < kMaxItems; ++k) {
    if (k) line += ',';
    std::string item = std::to_string(i) + "-";
    while (item.size() < 124) {
      seed = seed * 1103515245u + 12345u;
      switch ((seed >> 16) % 4) {
        case 0: item += "\x83\x41"; break;  // ア
        case 1: item += "\x93\x8c"; break;  // 東
        default: item += static_cast<char>('a' + (seed >> 20) % 26);
      }
    }
    item.resize(124, 'x');
    if (IsSjisLead(static_cast<unsigned char>(item.back()))) item.back() = 'x';
    line += item;
  }
  line.resize(kMaxLineBytes - 16, 'y');
  line += i == static_cast<int>(kMaxLines) - 1 ? std::string(kMark) : std::string(16, 'y');
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
  fs::path file = folder / "cavel-grid-bench.csv";
  {
    std::ofstream out(file, std::ios::binary);
    unsigned seed = 1;
    for (int i = 0; i < static_cast<int>(kMaxLines); ++i) out << MakeLine(i, seed) << "\r\n";
  }
  const double fileBytes = static_cast<double>(fs::file_size(file)) - 2.0 * kMaxLines;

  ScriptedDialogs dialogs;
  MainState state;
  state.CurrentFileName = file.string();
  std::string ini = (folder / "cavel-grid-bench.INI").string();

  double load = BestMs(
      5,
      [&] {
        state.Document.clear();
        state.Document.shrink_to_fit();
      },
      [&] { CsvLoader(file.string(), kItemLimitWide, dialogs, state.Document); });
  if (state.Document.size() != kMaxLines) {
    std::printf("the loader refused the file\n");
    return 1;
  }

  GridCells grid;
  std::size_t heap = 0;
  double fill = BestMs(
      5, [&] { grid = GridCells(); },
      [&] {
#if defined(__GLIBC__)
        std::size_t before = mallinfo2().uordblks;
#endif
        GridFill f(state, dialogs, ini);
        f.CheckLines();
        f.ApplyTo(grid);
#if defined(__GLIBC__)
        heap = mallinfo2().uordblks - before;
#endif
      });
  if (grid.RowCount() != static_cast<int>(kMaxLines) + 1 || !dialogs.shown().empty()) {
    std::printf("the fill went wrong\n");
    return 1;
  }

  int row = -1;
  double find = BestMs(
      5, [] {}, [&] { row = FindLine(state.Document, kMark, 0); });
  int baseRow = -1;
  double memmemMs = BestMs(
      5, [] {},
      [&] {
        baseRow = -1;
        for (std::size_t i = 0; i < state.Document.size() && baseRow < 0; ++i)
          if (memmem(state.Document[i].data(), state.Document[i].size(), kMark, std::strlen(kMark)))
            baseRow = static_cast<int>(i);
      });
  if (row != static_cast<int>(kMaxLines) - 1 || baseRow != row) {
    std::printf("find went wrong\n");
    return 1;
  }

  std::printf("file         %8.1f MB, %zu lines of %zu bytes\n", fileBytes / 1e6, kMaxLines, kMaxLineBytes);
  std::printf("CsvLoader    %8.1f ms  (baseline)\n", load);
  std::printf("grid fill    %8.1f ms  = %.2f x the loader  (target <= 3)\n", fill, fill / load);
  std::printf("grid cells   %8.1f MB held", grid.HeldBytes() / 1e6);
  if (heap) std::printf(", %.1f MB of heap", heap / 1e6);
  std::printf(" = %.3f x the file  (target <= 1.3)\n", (heap ? heap : grid.HeldBytes()) / fileBytes);
  std::printf("memmem       %8.2f ms  (baseline)\n", memmemMs);
  std::printf("find         %8.2f ms  = %.2f x memmem  (target <= 2)\n", find, find / memmemMs);

  fs::remove(file);
  fs::remove(ini);
  return 0;
}
