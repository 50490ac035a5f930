// Loading and saving the largest file the loader accepts, against the
// least a program could do with the same bytes: read them and count the
// CRs; write them in one go.
//
// Targets: loading at most 1.5 x reading the file into a buffer just
// allocated, peak memory while loading at
// most 1.25 x the file size, saving at most 2 x a plain write; telling a
// UTF-8 file at most 3 x a memchr over the same lines when they are ASCII
// (the whole file is read) and Shift-JIS, and at most 10 x when they are
// Japanese in UTF-8, whose every byte is looked at.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "core/CsvLoader.h"
#include "core/CsvWriter.h"
#include "core/Dialogs.h"
#include "core/Encoding.h"

using namespace cavel;
using namespace cavel::bench;

namespace {

constexpr int kRuns = 5;
constexpr int kSaveRuns = 5;

void Load(const std::string& path, Lines& lines) {
  ScriptedDialogs dialogs(mbYes);
  LoadOutcome outcome = CsvLoader(path, kItemLimitWide, dialogs, lines);
  if (outcome.result != LoadResult::Loaded) {
    std::fprintf(stderr, "loader bench: %s did not load\n", path.c_str());
    std::exit(1);
  }
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Load time against two baselines, and peak memory against the file size.
//
// The lines of a loaded file lie in one block that the load asks of the
// system; the first time, every page of it is a fault that the kernel
// answers with a zeroed page. So the load is timed on fresh memory
// (everything freed is handed back to the system between runs, as on the
// first open in a session) and on reused memory (malloc keeps what the last
// run freed, as on a later open), against the least any program pays for
// the same bytes in fresh memory: the file read into one buffer just
// allocated (new[] + read). read(2) + memchr of CR into a buffer in the
// cache shows the cost of reading alone.
// Each figure is also printed as a RESULT line for bench/all's table.
void LoadFigures(const std::string& name, const std::string& path, std::size_t size, double loadTarget,
                 double memoryTarget) {
  const int runs = RunsFor(size, kRuns);
  auto ratio = [](const std::string& label, double value, double target) {
    if (target > 0)
      PrintRatio(label, value, target);
    else
      std::printf("  %-34s %9.2f x\n", label.c_str(), value);
  };
  Lines kept;
  std::size_t lines = 0;
  std::size_t crs = 0;
  std::unique_ptr<char[]> buffer;
  const std::vector<std::function<void()>> operations = {
      [&] { crs = CountByte(path, '\r'); },  // also keeps the file in the page cache
      [&] {
        Load(path, kept);
        lines = kept.size();
      },
      [&] { buffer = ReadIntoNewBuffer(path, size); }};
  auto fresh = TimeTurns(runs, operations, [&] {
    kept.clear();
    buffer.reset();
    ReturnFreedMemory();
  });
  auto reused = TimeTurns(runs, operations, [&] {
    kept.clear();
    buffer.reset();
  });
  long long peak = PeakMemory([&] {
    Lines lines;
    Load(path, lines);
  });

  std::printf("  (%zu lines, %zu CRs; medians of %d runs)\n", lines, crs, runs);
  PrintLine("baseline: new[] + read, fresh memory", Ms(fresh[2]));
  PrintLine("load: CsvLoader, fresh memory", Ms(fresh[1]));
  ratio("load / new[]+read, fresh memory", fresh[1] / fresh[2], loadTarget);
  PrintLine("read(2) + memchr of CR", Ms(fresh[0]));
  std::printf("  %-34s %9.2f x\n", "load / read+memchr", fresh[1] / fresh[0]);
  PrintLine("load: CsvLoader, reused memory", Ms(reused[1]));
  PrintLine("new[] + read, reused memory", Ms(reused[2]));
  if (peak < 0) {
    PrintLine("peak memory while loading", "not measurable here");
  } else {
    PrintLine("peak memory while loading", Mb(static_cast<double>(peak)));
    PrintLine("file size", Mb(static_cast<double>(size)));
    ratio("peak memory / file size", static_cast<double>(peak) / static_cast<double>(size), memoryTarget);
  }
  PrintResult({"load-fresh", name, fresh[1], "new+read", fresh[2], loadTarget, peak, size, memoryTarget});
  PrintResult({"load-reused", name, reused[1], "read+memchr", reused[0], 3.0, peak, size, memoryTarget});
}

// Saving the loaded file with WriteLines (temporary file, fsync, rename)
// against one plain write of the same bytes with fsync.
bool SaveFigures(const std::string& name, const BenchDir& dir, const std::string& path, std::size_t size) {
  const int runs = RunsFor(size, kSaveRuns);
  Lines document = LoadDocument(path);
  std::string bytes;
  bytes.reserve(size);
  for (const Line& line : document) {
    bytes += line.view();
    bytes += "\r\n";
  }
  const std::string saved = dir.File("saved.csv");
  const std::string plain = dir.File("plain.csv");
  bool ok = true;
  // Everything written is flushed (untimed) before each run, so that no
  // run waits on the dirty pages of the one before.
  Pair s = TimeAgainst(
      runs, [&] { ok = WriteLines(saved, document).ok && ok; }, [&] { ok = PlainWrite(plain, bytes, true) && ok; },
      [] { ::sync(); });
  std::vector<double> unsynced;
  for (int i = 0; i < runs; ++i) {
    ::sync();
    Timer t;
    ok = PlainWrite(plain, bytes, false) && ok;
    unsynced.push_back(t.Seconds());
  }
  ::sync();
  const long long peak = PeakMemory([&] { (void)WriteLines(saved, document); });
  if (!ok || Slurp(saved) != bytes) {
    std::fprintf(stderr, "loader bench: saving failed or wrote other bytes\n");
    return false;
  }
  std::printf("\nsaving it (medians of %d runs; the saved file is byte-identical to the file read)\n", runs);
  PrintPair("save: WriteLines (temp file, fsync, rename)", "baseline: plain write + fsync", "save / baseline", s, 2.0);
  PrintLine("for reference: plain write, no fsync", Ms(Median(unsynced)));
  std::printf("  %-34s %9.2f x\n", "save / plain write without fsync", s.measured / Median(unsynced));
  if (peak >= 0) PrintLine("peak memory while saving", Mb(static_cast<double>(peak)));
  PrintResult({"save", name, s.measured, "write+fsync", s.baseline, 2.0, peak, size, 0});
  std::remove(saved.c_str());
  std::remove(plain.c_str());
  return true;
}

// PlainlyUtf8 on the largest file's lines in three encodings, against a
// memchr of CR over the same lines (the least a look at every byte costs).
void Utf8CheckFigures(const std::string& name, const Lines& lines, double target) {
  const int runs = 5;
  bool found = false;
  std::size_t crs = 0;
  const Pair p = TimeAgainst(
      runs, [&] { found = PlainlyUtf8(lines); },
      [&] {
        for (const Line& line : lines) crs += std::memchr(line.data(), '\r', line.size()) != nullptr;
      });
  std::size_t bytes = 0;
  for (const Line& line : lines) bytes += line.size();
  std::printf("\nlooking for UTF-8 in %s (%zu lines, %zu bytes; found: %s; medians of %d runs)\n", name.c_str(),
              lines.size(), bytes, found ? "yes" : "no", runs);
  PrintPair("PlainlyUtf8", "baseline: memchr of CR per line", "check / baseline", p, target);
  PrintResult({"utf8-check", name, p.measured, "memchr", p.baseline, target, -1, bytes, 0});
}

// kLargestLines lines of 8192 bytes made by `make`.
Lines LargestOf(const std::function<std::string(std::size_t)>& make) {
  Lines lines;
  lines.reserve(kLargestLines);
  for (std::size_t i = 0; i < kLargestLines; ++i) lines.push_back(Line(make(i)));
  return lines;
}

}  // namespace

int main() {
  KeepFreedMemory();
  BenchDir dir;
  std::printf("loader bench; files in %s\n\n", dir.path().c_str());

  // ---- the largest file ----------------------------------------------------
  const std::string largest = dir.File("largest.csv");
  Timer made;
  std::size_t size = WriteLargestFile(largest);
  if (size == 0) {
    std::fprintf(stderr, "loader bench: cannot write %s\n", largest.c_str());
    return 1;
  }
  std::printf("largest file: %zu lines of %zu bytes, 64 items, half of them Shift-JIS; %zu bytes (made in %.1f s)\n",
              kLargestLines, kMaxLineBytes, size, made.Seconds());
  LoadFigures("largest", largest, size, 1.5, 1.25);
  if (!SaveFigures("largest", dir, largest, size)) return 1;
  std::remove(largest.c_str());

  // ---- telling UTF-8 from Shift-JIS on the largest lines ----------------------
  Utf8CheckFigures("largest-sjis", LargestOf(LargestLine), 3.0);
  Utf8CheckFigures("largest-ascii", LargestOf([](std::size_t i) {
                     std::string line(kMaxLineBytes, static_cast<char>('a' + i % 26));
                     for (std::size_t c = 127; c < line.size(); c += 128) line[c] = ',';
                     return line;
                   }),
                   3.0);
  Utf8CheckFigures("largest-utf8", LargestOf([](std::size_t) {
                     std::string line;
                     while (line.size() + 4 <= kMaxLineBytes) line += (line.size() % 128 < 124) ? "\xE5\x90\x8D" : ",";
                     line.resize(kMaxLineBytes, 'x');
                     return line;
                   }),
                   10.0);

  // ---- a file of real shape ------------------------------------------------
  const std::string addresses = dir.File("addresses.csv");
  std::string source;
  std::size_t asize = WriteAddressFile(addresses, kLargestLines, &source);
  if (asize == 0) {
    std::fprintf(stderr, "loader bench: cannot write %s\n", addresses.c_str());
    return 1;
  }
  // Short lines: here the cost per line (one string each, 32 bytes of list
  // entry and a heap block) outweighs the cost per byte; the targets are
  // those of the largest file all the same.
  std::printf("\naddress file: %zu lines of quoted Japanese addresses, %zu bytes\n  (from %s)\n", kLargestLines, asize,
              source.c_str());
  LoadFigures("addresses", addresses, asize, 1.5, 1.25);
  if (!SaveFigures("addresses", dir, addresses, asize)) return 1;
  return 0;
}
