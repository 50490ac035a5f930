// Loading and saving the largest file the loader accepts, against the
// least a program could do with the same bytes: read them and count the
// CRs; write them in one go.
//
// Targets: loading at most 1.5 x reading the file into a buffer just
// allocated, peak memory while loading at
// most 1.25 x the file size, saving at most 2 x a plain write; loading the
// same lines from UTF-8 (found to be UTF-8 from the bytes, and converted)
// at most 2 x loading them from Shift-JIS, with LF line ends (known only at
// the end of the file) at most 1.25 x, and an all-ASCII file of the same
// size (whose encoding is never known before the end) at most 1.25 x the
// same file read as Shift-JIS without looking.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
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

using namespace cavel;
using namespace cavel::bench;

namespace {

constexpr int kRuns = 5;
constexpr int kSaveRuns = 5;

void Load(const std::string& path, Lines& lines, EncodingChoice choice = EncodingChoice::Detect) {
  ScriptedDialogs dialogs(mbYes);
  LoadOutcome outcome = CsvLoader(path, {kItemLimitWide, choice}, dialogs, lines);
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

// The largest file's lines loaded from another format, against the same
// lines loaded from Shift-JIS with CR LF (or, with `choice` ShiftJis, the
// same file read as Shift-JIS without looking for its encoding), both in
// fresh memory.
void FormatFigures(const std::string& name, const std::string& path, const std::string& baselinePath,
                   EncodingChoice choice, double target) {
  const std::size_t size = static_cast<std::size_t>(std::filesystem::file_size(path));
  const int runs = RunsFor(size, kRuns);
  Lines kept;
  std::size_t lines = 0;
  auto fresh = TimeTurns(runs,
                         {[&] { CountByte(path, '\r'), CountByte(baselinePath, '\r'); },  // both in the page cache
                          [&] {
                            Load(path, kept);
                            lines = kept.size();
                          },
                          [&] { Load(baselinePath, kept, choice); }},
                         [&] {
                           kept.clear();
                           ReturnFreedMemory();
                         });
  const long long peak = PeakMemory([&] {
    Lines loaded;
    Load(path, loaded);
  });
  std::printf("\n%s: %zu lines, %zu bytes (medians of %d runs)\n", name.c_str(), lines, size, runs);
  const bool asIs = choice == EncodingChoice::ShiftJis;
  PrintPair("load: CsvLoader", asIs ? "baseline: read as Shift-JIS" : "baseline: Shift-JIS CR LF load",
            "load / baseline", Pair{fresh[1], fresh[2]}, target);
  if (peak >= 0) PrintLine("peak memory / file size", Mb(static_cast<double>(peak)) + " / " + Mb(size));
  PrintResult({"load-fresh", name, fresh[1], asIs ? "sjis-forced" : "sjis-load", fresh[2], target, peak, size, 0});
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

  // ---- the same lines in other formats ------------------------------------
  const std::string baseline = dir.File("largest-sjis.csv");
  if (WriteLargestFile(baseline) == 0) Fail("cannot write " + baseline);
  const struct {
    const char* name;
    FileFormat format;
    double target;
  } formats[] = {{"largest-utf8", {TextEncoding::Utf8, LineEnd::CrLf}, 2.0},
                 {"largest-utf8-bom", {TextEncoding::Utf8Bom, LineEnd::CrLf}, 2.0},
                 {"largest-lf", {TextEncoding::ShiftJis, LineEnd::Lf}, 1.25}};
  for (const auto& f : formats) {
    const std::string path = dir.File(std::string(f.name) + ".csv");
    if (WriteLargestFile(path, f.format) == 0) Fail("cannot write " + path);
    FormatFigures(f.name, path, baseline, EncodingChoice::Detect, f.target);
    std::remove(path.c_str());
  }
  {
    // ASCII only: letters and commas, as many bytes as the largest file.
    const std::string path = dir.File("largest-ascii.csv");
    std::string line(kMaxLineBytes, 'a');
    for (std::size_t c = 127; c + 1 < line.size(); c += 128) line[c] = ',';  // 64 items
    std::FILE* out = std::fopen(path.c_str(), "wb");
    bool ok = out != nullptr;
    for (std::size_t i = 0; ok && i < kLargestLines; ++i)
      ok = std::fwrite(line.data(), 1, line.size(), out) == line.size() && std::fwrite("\r\n", 1, 2, out) == 2;
    if (!out || std::fclose(out) != 0 || !ok) Fail("cannot write " + path);
    FormatFigures("largest-ascii", path, path, EncodingChoice::ShiftJis, 1.25);
    std::remove(path.c_str());
  }
  std::remove(baseline.c_str());

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
