#include "core/CsvLoader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "core/LineCheck.h"
#include "core/Messages.h"

namespace cavel {

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr char kEOF = '\x1A';

// Bytes asked of each read(2). Large enough that a file of 250 MB needs
// about a thousand calls, small enough to stay in the cache while its
// lines are checked and copied out.
constexpr std::size_t kChunk = 256 * 1024;

class FileCloser {
 public:
  explicit FileCloser(int fd) : fd_(fd) {}
  ~FileCloser() { ::close(fd_); }
  FileCloser(const FileCloser&) = delete;
  FileCloser& operator=(const FileCloser&) = delete;

 private:
  int fd_;
};

LoadOutcome Unreadable(int err) { return LoadOutcome{LoadResult::Unreadable, std::strerror(err)}; }

// Reads up to `size` bytes; 0 at the end of the file, -1 with errno set.
ssize_t ReadSome(int fd, char* buffer, std::size_t size) {
  for (;;) {
    ssize_t n = ::read(fd, buffer, size);
    if (n >= 0 || errno != EINTR) return n;
  }
}

// The per-line steps of one load: length, line count, the shared scan,
// the title count, the item-count question, the final item limit, adding
// the line. Lines arrive complete, without their line end.
class LineSteps {
 public:
  LineSteps(int itemLimit, Dialogs& dialogs, Lines& lines)
      : options_{itemLimit, true, true}, dialogs_(dialogs), lines_(lines) {}

  // Runs the steps on one line; false when the load must stop at once.
  // `line` has at most kMaxLineBytes bytes: a longer line is reported
  // through TooLong before its bytes are gathered.
  bool Take(std::string_view line) {
    if (lineNo_ > static_cast<long>(kMaxLines)) {
      Refuse(dialogs_, std::string(msg::kTooManyLines));
      failed_ = true;
      return false;
    }
    const long shown = lineNo_ - 1;  // messages count the title line as 0
    ScanLine(line, shown, options_, dialogs_, failed_, scan_);
    if (scan_.lastItemTooLong) return false;
    if (lineNo_ == 1) titleItemCount_ = scan_.itemCount;
    if (!failed_ && scan_.itemCount != titleItemCount_) {
      MsgButton answer = dialogs_.ShowMessageDlg(msg::ItemCountDiffers(shown, titleItemCount_, scan_.itemCount),
                                                 MsgKind::Warning, mbYes | mbAbort);
      if (answer == mbAbort) {
        failed_ = true;
        return false;
      }
    }
    if (!failed_ && scan_.itemCount > kMaxItems) {
      Refuse(dialogs_, msg::FinalItemLimit(shown));
      failed_ = true;
      return false;
    }
    // Once a line has failed the load ends refused and nothing read is
    // kept, so later lines are still checked but no longer stored.
    if (!failed_) lines_.emplace_back(line);
    ++lineNo_;
    return true;
  }

  // A line longer than the limit: reported, and the load stops at once.
  void TooLong() {
    Refuse(dialogs_, std::string(msg::kLineTooLong));
    failed_ = true;
  }

  bool failed() const { return failed_; }
  long linesTaken() const { return lineNo_ - 1; }

 private:
  ScanOptions options_;
  Dialogs& dialogs_;
  Lines& lines_;
  LineScan scan_;
  long lineNo_ = 1;
  int titleItemCount_ = 1;
  bool failed_ = false;
};

// Where a load's bytes come from: chunks in file order.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // The next chunk, empty at the end; false with `err` set when reading failed.
  virtual bool Next(std::string_view& chunk, int& err) = 0;
  // The number of bytes to expect, when known; 0 otherwise.
  virtual std::size_t SizeHint() const = 0;
};

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  bool Next(std::string_view& chunk, int&) override {
    chunk = bytes_;
    bytes_ = {};
    return true;
  }
  std::size_t SizeHint() const override { return bytes_.size(); }

 private:
  std::string_view bytes_;
};

class DescriptorSource : public ByteSource {
 public:
  DescriptorSource(int fd, std::size_t sizeHint) : fd_(fd), sizeHint_(sizeHint) {}
  bool Next(std::string_view& chunk, int& err) override {
    // Only the part of the buffer that a read fills becomes resident, so a
    // small file costs no more than its own size here.
    if (!buffer_) buffer_.reset(new char[kChunk]);
    ssize_t n = ReadSome(fd_, buffer_.get(), kChunk);
    if (n < 0) {
      err = errno;
      return false;
    }
    chunk = std::string_view(buffer_.get(), static_cast<std::size_t>(n));
    return true;
  }
  std::size_t SizeHint() const override { return sizeHint_; }

 private:
  int fd_;
  std::size_t sizeHint_;
  std::unique_ptr<char[]> buffer_;
};

// The one load: lines cut from the source's chunks, each through LineSteps.
LoadOutcome Load(ByteSource& source, int itemLimit, Dialogs& dialogs, Lines& destination) {
  const std::size_t fileSize = source.SizeHint();
  Lines lines;
  LineSteps steps(itemLimit, dialogs, lines);

  // The bytes of a line that runs over the end of a chunk. Never more than
  // kMaxLineBytes: one byte more and the line is refused.
  std::string partial;
  bool skipLF = false;   // the last byte seen was a CR ending a line
  bool estimated = false;
  bool stopped = false;  // a check ended the load
  bool atEnd = false;    // end of file or a 0x1A

  while (!atEnd && !stopped) {
    std::string_view chunk;
    int err = 0;
    if (!source.Next(chunk, err)) return Unreadable(err);
    if (chunk.empty()) break;
    const char* p = chunk.data();
    const char* end = p + chunk.size();
    if (const void* eof = std::memchr(p, kEOF, chunk.size())) {
      end = static_cast<const char*>(eof);
      atEnd = true;
    }
    if (!estimated && fileSize > 0) {
      // Room for the lines the file will likely hold, judged from the
      // line ends of the first chunk, so that the list is not regrown.
      estimated = true;
      // A sixteenth more allows for lines a little shorter than those seen.
      const unsigned long long ends = static_cast<unsigned long long>(std::count(p, end, kCR));
      const unsigned long long seen = static_cast<unsigned long long>(end - p);
      const unsigned long long guess = seen > 0 ? ends * fileSize / seen * 17 / 16 + 16 : 16;
      lines.reserve(static_cast<std::size_t>(std::min<unsigned long long>(guess, kMaxLines + 1)));
    }

    if (skipLF && p < end) {
      if (*p == kLF) ++p;
      skipLF = false;
    }
    while (p < end) {
      const char* cr = static_cast<const char*>(std::memchr(p, kCR, static_cast<std::size_t>(end - p)));
      const char* stop = cr ? cr : end;
      const std::size_t piece = static_cast<std::size_t>(stop - p);
      if (partial.size() + piece > kMaxLineBytes) {
        steps.TooLong();
        stopped = true;
        break;
      }
      if (!cr) {
        // The line goes on in the next chunk (or ends the file).
        partial.append(p, piece);
        break;
      }
      bool go;
      if (partial.empty()) {
        go = steps.Take(std::string_view(p, piece));
      } else {
        partial.append(p, piece);
        go = steps.Take(partial);
        partial.clear();
      }
      if (!go) {
        stopped = true;
        break;
      }
      p = cr + 1;
      if (p == end) {
        skipLF = true;
      } else if (*p == kLF) {
        ++p;
      }
    }
  }

  // A last line without a line end.
  if (!stopped && !partial.empty()) stopped = !steps.Take(partial);

  if (steps.failed()) {
    destination.clear();
    return LoadOutcome{LoadResult::Refused, {}};
  }
  destination = std::move(lines);
  return LoadOutcome{};
}

}  // namespace

LoadOutcome CsvLoader(const std::string& path, int itemLimit, Dialogs& dialogs, Lines& destination) {
  // O_NONBLOCK keeps a FIFO without a writer from hanging the open; the
  // descriptor's load clears it again before reading.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return Unreadable(errno);
  FileCloser closer(fd);
  int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return CsvLoaderFromDescriptor(fd, itemLimit, dialogs, destination);
}

LoadOutcome CsvLoaderFromDescriptor(int fd, int itemLimit, Dialogs& dialogs, Lines& destination) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return Unreadable(errno);
  if (S_ISDIR(st.st_mode)) return Unreadable(EISDIR);
  DescriptorSource source(fd, S_ISREG(st.st_mode) && st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0);
  return Load(source, itemLimit, dialogs, destination);
}

LoadOutcome CsvLoaderFromBytes(std::string_view bytes, int itemLimit, Dialogs& dialogs, Lines& destination) {
  MemorySource source(bytes);
  return Load(source, itemLimit, dialogs, destination);
}

}  // namespace cavel
