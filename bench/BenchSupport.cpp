#include "BenchSupport.h"

#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "core/Cp932.h"
#include "core/CsvLoader.h"
#include "core/Dialogs.h"

#ifndef CAVEL_SOURCE_DIR
#define CAVEL_SOURCE_DIR "."
#endif

namespace cavel::bench {

namespace fs = std::filesystem;

void Fail(const std::string& what) {
  std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, what.c_str());
  std::exit(1);
}

namespace {

// A small deterministic generator (64-bit LCG, upper bits used).
class Lcg {
 public:
  explicit Lcg(std::uint64_t seed) : state_(seed * 6364136223846793005ull + 1442695040888963407ull) {}
  std::uint32_t Next() {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::uint32_t>(state_ >> 33);
  }
  std::uint32_t Below(std::uint32_t n) { return Next() % n; }

 private:
  std::uint64_t state_;
};

// One level-1 kanji of Shift-JIS: lead 0x89-0x97, any valid trail byte
// (0x40-0x7E, 0x80-0xFC; 0x5C among them, as in real text).
void AppendKanji(std::string& s, Lcg& rng) {
  s += static_cast<char>(0x89 + rng.Below(15));
  std::uint32_t t = rng.Below(188);
  s += static_cast<char>(t < 63 ? 0x40 + t : 0x80 + (t - 63));
}

void AppendAscii(std::string& s, Lcg& rng, std::size_t n) {
  static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_ ";
  for (std::size_t i = 0; i < n; ++i) s += kChars[rng.Below(sizeof kChars - 1)];
}

bool Readable(const std::string& path) { return !path.empty() && ::access(path.c_str(), R_OK) == 0; }

// Writes a file in large blocks built by `next` (which appends one line,
// line end included, and returns false when done).
std::size_t WriteBlocks(const std::string& path, const std::function<bool(std::string&)>& next) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::string block;
  std::size_t total = 0;
  bool more = true;
  bool ok = true;
  while (more && ok) {
    block.clear();
    while (block.size() < (1u << 20) && (more = next(block))) {
    }
    ok = std::fwrite(block.data(), 1, block.size(), f) == block.size();
    total += block.size();
  }
  ok = std::fclose(f) == 0 && ok;
  return ok ? total : 0;
}

long StatusKb(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  std::size_t n = std::strlen(field);
  while (std::getline(in, line))
    if (line.compare(0, n, field) == 0 && line.size() > n && line[n] == ':') return std::atol(line.c_str() + n + 1);
  return -1;
}

long long NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

// ---- files ---------------------------------------------------------------

BenchDir::BenchDir() {
  if (const char* dir = std::getenv("CAVEL_BENCH_DIR"); dir && *dir) {
    path_ = dir;
    std::error_code ec;
    fs::create_directories(path_, ec);
    return;
  }
  std::string tmpl = (fs::temp_directory_path() / "cavel-bench-XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) {
    std::perror("cavel bench: mkdtemp");
    std::exit(1);
  }
  path_ = tmpl;
  owned_ = true;
}

BenchDir::~BenchDir() {
  if (!owned_) return;
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string LargestLine(std::size_t index) {
  // Items 2, 4, ..., 64: a quote, 63 kanji, a quote (128 bytes). Items
  // 3, 5, ..., 63: 126 ASCII bytes; item 1: 127. With the 63 commas that is
  // 32 * 128 + 31 * 126 + 127 + 63 = 8192 bytes.
  Lcg rng(index + 1);
  std::string line;
  line.reserve(kMaxLineBytes);
  for (int k = 1; k <= kMaxItems; ++k) {
    if (k > 1) line += ',';
    if (k % 2 == 0) {
      line += '"';
      for (int c = 0; c < 63; ++c) AppendKanji(line, rng);
      line += '"';
    } else {
      AppendAscii(line, rng, k == 1 ? 127 : 126);
    }
  }
  return line;
}

std::size_t WriteLargestFile(const std::string& path, FileFormat format) {
  std::size_t i = 0;
  return WriteBlocks(path, [&](std::string& block) {
    if (i == kLargestLines) return false;
    if (i == 0 && format.encoding == TextEncoding::Utf8Bom) block += kByteOrderMark;
    block += format.Utf8() ? Cp932ToUtf8(LargestLine(i++)) : LargestLine(i++);
    block += LineEndBytes(format.lineEnd);
    return true;
  });
}

std::string QuotedLine(std::size_t index) {
  // Item 1: 126 ASCII bytes; items 3, 5, ..., 63: 125; items 2, 4, ..., 64:
  // 62 kanji and a letter (125 bytes); each enclosed in quotes. With the
  // 63 commas that is 8192 bytes, 8064 without the quotes.
  Lcg rng(index + 7919);
  std::string line;
  line.reserve(kMaxLineBytes);
  for (int k = 1; k <= kMaxItems; ++k) {
    if (k > 1) line += ',';
    line += '"';
    if (k % 2 == 0) {
      for (int c = 0; c < 62; ++c) AppendKanji(line, rng);
      AppendAscii(line, rng, 1);
    } else {
      AppendAscii(line, rng, k == 1 ? 126 : 125);
    }
    line += '"';
  }
  return line;
}

std::size_t WriteQuotedFile(const std::string& path) {
  std::size_t i = 0;
  return WriteBlocks(path, [&](std::string& block) {
    if (i == kLargestLines) return false;
    block += QuotedLine(i++);
    block += "\r\n";
    return true;
  });
}

std::string FindDataFile(const std::string& name) {
  std::vector<std::string> candidates;
  if (const char* data = std::getenv("CAVEL_DATA"); data && *data) candidates.push_back(std::string(data) + "/" + name);
  candidates.push_back(std::string(CAVEL_SOURCE_DIR) + "/../shared/data/" + name);
  candidates.push_back(std::string(CAVEL_SOURCE_DIR) + "/../../shared/data/" + name);
  for (const auto& c : candidates)
    if (Readable(c)) return fs::weakly_canonical(c).string();
  return {};
}

Lines LoadDocument(const std::string& path) {
  ScriptedDialogs dialogs(mbYes);
  Lines lines;
  LoadOutcome outcome = CsvLoader(path, kItemLimitWide, dialogs, lines);
  if (outcome.result != LoadResult::Loaded) {
    std::fprintf(stderr, "cavel bench: %s does not load (%s)\n", path.c_str(),
                 outcome.result == LoadResult::Refused ? "refused" : outcome.error.c_str());
    for (const auto& m : dialogs.shown()) std::fprintf(stderr, "%s\n", m.text.c_str());
    std::exit(1);
  }
  return lines;
}

std::size_t WriteAddressFile(const std::string& path, std::size_t lines, std::string* source) {
  std::string from = FindDataFile("addresses-1000.csv");
  if (from.empty() && Readable(std::string(CAVEL_SOURCE_DIR) + "/samples/addresses.csv"))
    from = std::string(CAVEL_SOURCE_DIR) + "/samples/addresses.csv";
  Lines data;
  if (!from.empty()) data = LoadDocument(from);
  if (data.size() >= 2) {
    if (source) *source = from;
    std::size_t i = 0;
    return WriteBlocks(path, [&](std::string& block) {
      if (i == lines) return false;
      block += (i == 0 ? data[0] : data[1 + (i - 1) % (data.size() - 1)]).view();
      block += "\r\n";
      ++i;
      return true;
    });
  }

  // No data at hand: lines of the same shape, six quoted items, made up.
  if (source) *source = "made-up address-like lines";
  Lcg rng(42);
  std::size_t i = 0;
  return WriteBlocks(path, [&](std::string& block) {
    if (i == lines) return false;
    char code[16];
    std::snprintf(code, sizeof code, "%07u", static_cast<unsigned>(rng.Below(10000000)));
    block += "\"";
    block += code;
    block += "\",\"";
    std::snprintf(code, sizeof code, "%02u", 1 + static_cast<unsigned>(rng.Below(47)));
    block += code;
    block += "\"";
    for (int item = 0; item < 4; ++item) {
      block += ",\"";
      std::uint32_t n = item == 3 ? rng.Below(3) * 3 : 2 + rng.Below(6);
      for (std::uint32_t c = 0; c < n; ++c) AppendKanji(block, rng);
      block += "\"";
    }
    block += "\r\n";
    ++i;
    return true;
  });
}

// ---- baselines -----------------------------------------------------------

std::size_t CountByte(const std::string& path, char byte, std::size_t chunk) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  std::unique_ptr<char[]> buffer(new char[chunk]);
  std::size_t count = 0;
  for (;;) {
    ssize_t n = ::read(fd, buffer.get(), chunk);
    if (n <= 0) break;
    const char* p = buffer.get();
    const char* end = p + n;
    while ((p = static_cast<const char*>(std::memchr(p, byte, static_cast<std::size_t>(end - p))))) {
      ++count;
      ++p;
    }
  }
  ::close(fd);
  return count;
}

std::unique_ptr<char[]> ReadIntoNewBuffer(const std::string& path, std::size_t size) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  std::unique_ptr<char[]> buffer(new char[size]);
  std::size_t got = 0;
  while (got < size) {
    ssize_t n = ::read(fd, buffer.get() + got, size - got);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (got != size) return nullptr;
  return buffer;
}

bool PlainWrite(const std::string& path, const std::string& bytes, bool sync) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  bool ok = true;
  while (left > 0 && ok) {
    ssize_t n = ::write(fd, p, std::min<std::size_t>(left, 1u << 20));
    ok = n > 0;
    if (ok) p += n, left -= static_cast<std::size_t>(n);
  }
  if (ok && sync) ok = ::fsync(fd) == 0;
  return ::close(fd) == 0 && ok;
}

// ---- time ----------------------------------------------------------------

Timer::Timer() : start_(NowNs()) {}
void Timer::Restart() { start_ = NowNs(); }
double Timer::Seconds() const { return static_cast<double>(NowNs() - start_) / 1e9; }

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

bool FreshProcess() {
  static const bool fresh = [] {
    const char* value = std::getenv("CAVEL_BENCH_FRESH");
    return value && std::strcmp(value, "1") == 0;
  }();
  return fresh;
}

int RunsFor(std::size_t fileBytes, int large) {
  if (FreshProcess()) return 1;
  return fileBytes >= (16u << 20) ? large : std::max(large, 51);
}

std::vector<double> TimeTurns(int runs, const std::vector<std::function<void()>>& operations,
                              const std::function<void()>& between) {
  std::vector<std::vector<double>> times(operations.size());
  for (int i = 0; i < runs; ++i) {
    for (std::size_t k = 0; k < operations.size(); ++k) {
      if (FreshProcess()) ReturnFreedMemory();
      Timer t;
      operations[k]();
      times[k].push_back(t.Seconds());
      if (between) between();
    }
  }
  std::vector<double> medians;
  for (auto& t : times) medians.push_back(Median(t));
  return medians;
}

Pair TimeAgainst(int runs, const std::function<void()>& measured, const std::function<void()>& baseline,
                 const std::function<void()>& between) {
  auto m = TimeTurns(runs, {baseline, measured}, between);
  return Pair{m[1], m[0]};
}

// ---- memory --------------------------------------------------------------

long long PeakMemory(const std::function<void()>& operation) {
  int fds[2];
  if (::pipe(fds) != 0) return -1;
  std::fflush(nullptr);
  pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    ::close(fds[0]);
    ::malloc_trim(0);
    bool reset = false;
    if (int fd = ::open("/proc/self/clear_refs", O_WRONLY); fd >= 0) {
      reset = ::write(fd, "5", 1) == 1;
      ::close(fd);
    }
    long before = StatusKb("VmRSS");
    operation();
    long peak;
    if (reset) {
      peak = StatusKb("VmHWM");
    } else {
      struct rusage usage;
      ::getrusage(RUSAGE_SELF, &usage);
      peak = usage.ru_maxrss;
    }
    long long result = before < 0 || peak < 0 ? -1 : (static_cast<long long>(peak) - before) * 1024;
    ssize_t w = ::write(fds[1], &result, sizeof result);
    ::_exit(w == sizeof result ? 0 : 1);
  }
  ::close(fds[1]);
  long long result = -1;
  ssize_t r = ::read(fds[0], &result, sizeof result);
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (r != sizeof result || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return result;
}

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

void KeepFreedMemory() {
  ::mallopt(M_TRIM_THRESHOLD, 1 << 30);
  ::mallopt(M_MMAP_THRESHOLD, 32 << 20);
}

void ReturnFreedMemory() { ::malloc_trim(0); }

// ---- printing ------------------------------------------------------------

std::string Ms(double seconds) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%9.1f ms", seconds * 1e3);
  return buf;
}

std::string Mb(double bytes) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%9.1f MB", bytes / 1e6);
  return buf;
}

void PrintLine(const std::string& label, const std::string& value) {
  std::printf("  %-34s %s\n", label.c_str(), value.c_str());
}

void PrintRatio(const std::string& label, double ratio, double limit) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%9.2f x    (target <= %.2f)  %s", ratio, limit, ratio <= limit ? "ok" : "OVER");
  PrintLine(label, buf);
}

void PrintPair(const std::string& measured, const std::string& baseline, const std::string& ratio, const Pair& pair,
               double limit) {
  PrintLine(measured, Ms(pair.measured));
  PrintLine(baseline, Ms(pair.baseline));
  PrintRatio(ratio, pair.measured / pair.baseline, limit);
}

void PrintResult(const Result& r) {
  auto fixed = [](double value, int decimals) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    return std::string(buf);
  };
  auto target = [&](double value) { return value > 0 ? fixed(value, 2) : std::string("-"); };
  const double ratio = r.baselineSeconds > 0 ? r.seconds / r.baselineSeconds : 0;
  const std::string line = "RESULT " + r.figure + " " + r.file + " " + fixed(r.seconds * 1e3, 2) + " " + r.baseline +
                           " " + fixed(r.baselineSeconds * 1e3, 2) + " " + fixed(ratio, 3) + " " + target(r.target) +
                           " " + (r.peakBytes >= 0 ? std::to_string(r.peakBytes) : std::string("-")) + " " +
                           std::to_string(r.fileBytes) + " " + target(r.peakTarget);
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

}  // namespace cavel::bench
