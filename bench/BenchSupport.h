// What every benchmark needs: test files of the largest and of a
// real-world shape, a monotonic timer, peak memory of one operation, and
// the printing of a figure against its baseline.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Document.h"
#include "core/FileFormat.h"

namespace cavel::bench {

// Says on standard error, after the program's name, why the benchmark
// cannot go on, and ends it with status 1.
[[noreturn]] void Fail(const std::string& what);

// ---- files ---------------------------------------------------------------

// The folder for generated files: $CAVEL_BENCH_DIR when set (kept), else a
// fresh folder under the system's temporary folder (removed with this).
class BenchDir {
 public:
  BenchDir();
  ~BenchDir();
  BenchDir(const BenchDir&) = delete;
  BenchDir& operator=(const BenchDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
  bool owned_ = false;
};

// Line `index` of the largest file: exactly 8192 bytes, 64 items; the
// even-numbered items are quoted double-byte Shift-JIS text (63 kanji),
// the odd ones ASCII letters and digits. Deterministic.
std::string LargestLine(std::size_t index);
inline constexpr std::size_t kLargestLines = 30000;

// The largest file the loader accepts: kLargestLines lines of LargestLine,
// each followed by CR LF; or in `format`, its lines converted to UTF-8
// (each then longer, the Document it loads the same). Returns its size in
// bytes (0 on failure).
std::size_t WriteLargestFile(const std::string& path, FileFormat format = kShiftJisCrLf);

// Line `index` of the largest file whose every item is enclosed in double
// quotes: exactly 8192 bytes, 64 items, the even-numbered ones double-byte
// Shift-JIS text, the odd ones ASCII. Without its quotes it is 8064 bytes,
// so that removing the quotes and adding them again gives it back: the
// largest file that both quote conversions can take.
std::string QuotedLine(std::size_t index);
// kLargestLines lines of QuotedLine with CR LF. The size in bytes (0 on failure).
std::size_t WriteQuotedFile(const std::string& path);

// Where a data file of the source tree's sibling data folder is: in
// $CAVEL_DATA, then ../shared/data (or ../../shared/data, for a worktree)
// beside the source tree. Empty when none is found.
std::string FindDataFile(const std::string& name);

// About `lines` lines of quoted Japanese address data: the title line of
// addresses-1000.csv, then its records over and over (the copy in samples/
// serves when the data folder is missing); without either, address-like
// Shift-JIS lines are made up. Tells in `source` what it used. Returns the
// size in bytes (0 on failure).
std::size_t WriteAddressFile(const std::string& path, std::size_t lines, std::string* source = nullptr);

// The file loaded by CsvLoader (item limit 128, every item-count question
// answered はい(&Y)), for benchmarks that start from a loaded Document.
// Ends the program with a message when the file does not load.
Lines LoadDocument(const std::string& path);

// ---- baselines -----------------------------------------------------------

// Reads the file with read(2) in blocks of `chunk` bytes and counts the
// bytes equal to `byte` with memchr: the least any reader of lines does.
std::size_t CountByte(const std::string& path, char byte, std::size_t chunk = 256 * 1024);

// The first `size` bytes of the file read into one buffer allocated for
// them (new[] + read(2)): what any program pays to hold a file's bytes.
// Null when the file cannot be read whole.
std::unique_ptr<char[]> ReadIntoNewBuffer(const std::string& path, std::size_t size);

// Writes `bytes` to `path` with one open, large write(2) calls and close;
// with `sync`, fsync before the close. False on failure.
bool PlainWrite(const std::string& path, const std::string& bytes, bool sync);

// ---- time ----------------------------------------------------------------

class Timer {
 public:
  Timer();
  void Restart();
  double Seconds() const;  // since construction or the last Restart

 private:
  long long start_;  // steady-clock nanoseconds
};

// Runs the operations in turn, `runs` rounds, so that all see the same
// machine, and returns the median seconds of each. `between` (untimed)
// runs after every operation, e.g. to free what it built.
std::vector<double> TimeTurns(int runs, const std::vector<std::function<void()>>& operations,
                              const std::function<void()>& between = {});

// The same for an operation and its baseline.
struct Pair {
  double measured = 0;
  double baseline = 0;
};
Pair TimeAgainst(int runs, const std::function<void()>& measured, const std::function<void()>& baseline,
                 const std::function<void()>& between = {});

double Median(std::vector<double> values);

// True when the program measures the first command after start: set by
// bench/all (CAVEL_BENCH_FRESH=1) for its fresh-process runs. Then every
// timing is one run, and the memory freed before it is handed back to the
// system first, as on a user's first command; bench/all starts the
// program anew for each run and takes the medians.
bool FreshProcess();

// How many runs a timing takes on a file of `fileBytes`: `large` on a file
// of many megabytes; on a small one, whose figures are a few milliseconds,
// enough more (51) that their medians hold still from one run to the next.
// One in a fresh process.
int RunsFor(std::size_t fileBytes, int large = 5);

// ---- memory --------------------------------------------------------------

// Peak memory of one operation, in bytes: the operation runs in a forked
// child; the child first hands free heap memory back to the system
// (malloc_trim) and resets its peak resident size (writing 5 to
// /proc/self/clear_refs), then notes its resident size, runs the operation
// and reads its peak resident size (VmHWM). The difference is what the
// operation made resident at its worst moment: every page it touched and
// kept at once, malloc's overhead included, the page cache not. Where the
// reset is not possible, the child's ru_maxrss (which starts at its size
// at the fork) stands in for VmHWM. Returns -1 when the measure failed.
long long PeakMemory(const std::function<void()>& operation);

// Whether memory freed by one run is handed back to the system before the
// next (so that the next run gets fresh, zeroed pages from the kernel, as
// the first open of a file in a session does) or kept by malloc for reuse
// (as a later open may find it). KeepFreedMemory sets the process's malloc
// to keep what is freed; ReturnFreedMemory hands it all back now.
void KeepFreedMemory();
void ReturnFreedMemory();

// Peak memory of one operation run in this process, for the programs with
// windows (their threads do not survive a fork): free heap memory handed
// back, the peak resident size reset (/proc/self/clear_refs), the
// operation, then VmHWM less the resident size before it. -1 when the
// reset is not possible.
long long PeakInProcess(const std::function<void()>& operation);

// ---- printing ------------------------------------------------------------

std::string Ms(double seconds);
std::string Mb(double bytes);
// "  <label>  <value> x  (target <= <limit>)  ok|OVER"
void PrintRatio(const std::string& label, double ratio, double limit);
void PrintLine(const std::string& label, const std::string& value);
// The measured time, its baseline's, and their ratio against `limit`.
void PrintPair(const std::string& measured, const std::string& baseline, const std::string& ratio, const Pair& pair,
               double limit);

// ---- the table of bench/all ------------------------------------------------

// One figure of the whole program against its baseline from the same run,
// with the peak memory of the operation against the size of the file.
struct Result {
  std::string figure;          // one word: "open", "grid-fill", ...
  std::string file;            // one word: "largest", "addresses", ...
  double seconds = 0;          // the figure
  std::string baseline;        // one word: what it is measured against
  double baselineSeconds = 0;  // the baseline (a fixed limit for "50ms")
  double target = 0;           // the ratio's target (at most); 0: none set
  long long peakBytes = -1;    // -1: not measured
  std::size_t fileBytes = 0;
  double peakTarget = 0;  // peak / file size at most; 0: none set
};
// Prints one line that bench/all collects into its table:
// "RESULT figure file figure_ms baseline baseline_ms ratio target peak_bytes
//  file_bytes peak_target" (a target of 0 and a peak of -1 print as "-").
void PrintResult(const Result& result);

}  // namespace cavel::bench
