#include "core/CsvLoader.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/LineCheck.h"
#include "core/Messages.h"
#include "core/Posix.h"

namespace cavel {

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr char kEOF = '\x1A';

// The most bytes a load ever reads: 30000 lines of 8192 bytes with CR LF,
// then enough of a 30001st line to tell whether it is too long (8193
// bytes) or only one line too many. Any load stops before it runs past
// this, so whatever a file holds beyond it is never read.
constexpr std::size_t kMostBytesRead = kMaxLines * (kMaxLineBytes + 2) + kMaxLineBytes + 1;

// Bytes asked of each read(2): large enough that a file of 250 MB takes
// about a hundred calls, small enough that the lines just read are still in
// the cache when they are checked, and that a file refused at its start is
// not read much further.
constexpr std::size_t kPiece = 2 << 20;

LoadOutcome Unreadable(int err) { return LoadOutcome{LoadResult::Unreadable, std::strerror(err)}; }

// The per-line steps of one load: length, line count, the shared scan,
// the title count, the item-count question, the final item limit, adding
// the line. Lines arrive complete, without their line end, as a place in
// the load's store.
class LineSteps {
 public:
  LineSteps(int itemLimit, Dialogs& dialogs, const LineStore& store, Lines& lines)
      : options_{itemLimit, true, true}, dialogs_(dialogs), store_(store), lines_(lines) {}

  // Runs the steps on the `size` bytes at `offset`; false when the load
  // must stop at once. A line has at most kMaxLineBytes bytes: a longer
  // one is reported through TooLong before it is complete.
  bool Take(std::size_t offset, std::size_t size) {
    if (lineNo_ > static_cast<long>(kMaxLines)) {
      Refuse(dialogs_, std::string(msg::kTooManyLines));
      failed_ = true;
      return false;
    }
    const std::string_view line(store_.data() + offset, size);
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
    if (!failed_) lines_.push_back(store_.Slice(offset, size));
    ++lineNo_;
    return true;
  }

  // A line longer than the limit: reported, and the load stops at once.
  void TooLong() {
    Refuse(dialogs_, std::string(msg::kLineTooLong));
    failed_ = true;
  }

  bool failed() const { return failed_; }

 private:
  ScanOptions options_;
  Dialogs& dialogs_;
  const LineStore& store_;
  Lines& lines_;
  LineScan scan_;
  long lineNo_ = 1;
  int titleItemCount_ = 1;
  bool failed_ = false;
};

// Where a load's bytes come from, read into the load's store in file order.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `room` bytes to `at`: how many (0 at the end), or -1 with
  // `err` set when reading failed.
  virtual long long Read(char* at, std::size_t room, int& err) = 0;
  // The number of bytes to expect, when known; 0 otherwise.
  virtual std::size_t SizeHint() const = 0;
  // The room to reserve for them: at most kMostBytesRead.
  virtual std::size_t Capacity() const = 0;
};

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes.substr(0, kMostBytesRead)) {}
  long long Read(char* at, std::size_t room, int&) override {
    const std::size_t n = std::min(room, bytes_.size());
    if (n > 0) std::memcpy(at, bytes_.data(), n);
    bytes_.remove_prefix(n);
    return static_cast<long long>(n);
  }
  std::size_t SizeHint() const override { return bytes_.size(); }
  std::size_t Capacity() const override { return bytes_.size(); }

 private:
  std::string_view bytes_;
};

class DescriptorSource : public ByteSource {
 public:
  DescriptorSource(int fd, std::size_t sizeHint) : fd_(fd), sizeHint_(sizeHint) {}
  long long Read(char* at, std::size_t room, int& err) override {
    ssize_t n = ReadSome(fd_, at, room);
    if (n < 0) err = errno;
    return n;
  }
  std::size_t SizeHint() const override { return sizeHint_; }
  // A file may grow while it is read, and a pipe tells nothing of its
  // size: room for all a load may read is reserved, of which only the
  // pages read into become memory.
  std::size_t Capacity() const override { return kMostBytesRead; }

 private:
  int fd_;
  std::size_t sizeHint_;
};

// The one load: the source read into one store, piece by piece, and the
// complete lines of each piece cut out and put through LineSteps. The
// lines the load keeps are slices of the store.
LoadOutcome Load(ByteSource& source, int itemLimit, Dialogs& dialogs, Lines& destination) {
  const std::size_t fileSize = std::min(source.SizeHint(), kMostBytesRead);
  LineStore store(source.Capacity(), fileSize);
  char* const data = store.data();
  Lines lines;
  LineSteps steps(itemLimit, dialogs, store, lines);

  std::size_t filled = 0;     // bytes read so far
  std::size_t lineStart = 0;  // where the line being cut starts
  std::size_t searched = 0;   // where the search for its CR goes on
  bool pendingLF = false;     // a CR ended the bytes read: an LF may follow
  bool estimated = false;
  bool stopped = false;  // a check ended the load
  bool atEnd = false;    // end of file, a 0x1A, or the most a load reads

  while (!atEnd && !stopped) {
    const std::size_t room = std::min(kPiece, store.capacity() - filled);
    long long n = 0;
    if (room > 0) {
      int err = 0;
      n = source.Read(data + filled, room, err);
      if (n < 0) return Unreadable(err);
    }
    if (n == 0) {
      atEnd = true;
    } else {
      const std::size_t got = static_cast<std::size_t>(n);
      if (const void* eof = std::memchr(data + filled, kEOF, got)) {
        filled = static_cast<std::size_t>(static_cast<const char*>(eof) - data);
        atEnd = true;
      } else {
        filled += got;
      }
    }
    if (!estimated && fileSize > 0) {
      // Room for the lines the file will likely hold, judged from the line
      // ends of the first piece, so that the list is not regrown. A
      // sixteenth more allows for lines a little shorter than those seen.
      estimated = true;
      const unsigned long long ends = static_cast<unsigned long long>(std::count(data, data + filled, kCR));
      const unsigned long long guess = filled > 0 ? ends * fileSize / filled * 17 / 16 + 16 : 16;
      lines.reserve(static_cast<std::size_t>(std::min<unsigned long long>(guess, kMaxLines + 1)));
    }
    if (pendingLF && lineStart < filled) {
      if (data[lineStart] == kLF) ++lineStart;
      searched = lineStart;
      pendingLF = false;
    }

    while (!stopped) {
      const void* found = std::memchr(data + searched, kCR, filled - searched);
      const std::size_t end = found ? static_cast<std::size_t>(static_cast<const char*>(found) - data) : filled;
      if (end - lineStart > kMaxLineBytes) {
        steps.TooLong();
        stopped = true;
        break;
      }
      if (!found) {
        searched = filled;  // the line goes on in the next piece, or ends the file
        break;
      }
      if (!steps.Take(lineStart, end - lineStart)) {
        stopped = true;
        break;
      }
      lineStart = end + 1;
      if (lineStart < filled) {
        if (data[lineStart] == kLF) ++lineStart;
      } else {
        pendingLF = true;
      }
      searched = lineStart;
    }
  }

  // A last line without a line end.
  if (!stopped && lineStart < filled) stopped = !steps.Take(lineStart, filled - lineStart);

  if (steps.failed()) {
    destination.clear();
    return LoadOutcome{LoadResult::Refused, {}};
  }
  store.Trim(filled);
  if (lines.capacity() > lines.size() + lines.size() / 16 + 16) lines.shrink_to_fit();
  destination = std::move(lines);
  return LoadOutcome{};
}

}  // namespace

LoadOutcome CsvLoader(const std::string& path, int itemLimit, Dialogs& dialogs, Lines& destination) {
  // O_NONBLOCK keeps a FIFO without a writer from hanging the open; the
  // descriptor's load clears it again before reading.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return Unreadable(errno);
  const Fd closer(fd);
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
