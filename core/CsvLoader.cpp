#include "core/CsvLoader.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

#include "core/Cp932.h"
#include "core/Encoding.h"
#include "core/LineCheck.h"
#include "core/Messages.h"
#include "core/Posix.h"

namespace cavel {

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr char kEOF = '\x1A';

// The most bytes a load ever reads under a line limit: that many lines of
// 8192 bytes with CR LF, then enough of one more line to tell whether it is
// too long (8193 bytes) or only one line too many. Any load stops before it
// runs past this, so whatever a file holds beyond it is never read.
constexpr std::size_t MostBytesRead(std::size_t lineLimit) {
  return lineLimit * (kMaxLineBytes + 2) + kMaxLineBytes + 1;
}
// The same for a file read as UTF-8, where a character of one or two bytes
// in Shift-JIS takes up to three: the byte-order mark, then lines of up to
// three times as many bytes.
constexpr std::size_t MostUtf8BytesRead(std::size_t lineLimit) {
  return kByteOrderMark.size() + lineLimit * (3 * kMaxLineBytes + 2) + 3 * kMaxLineBytes + 1;
}

// Bytes asked of each read(2): small enough that the bytes just read are
// still in the processor's cache when they are converted and their lines
// checked (a larger piece loads the largest file a sixth slower), and that
// a file refused at its start is not read much further; a file of 250 MB
// still takes only about a thousand calls.
constexpr std::size_t kPiece = 256 << 10;
constexpr std::size_t kAheadFrom = 16 << 20;
constexpr std::size_t kAheadStep = 2 << 20;

LoadOutcome Unreadable(int err) { return LoadOutcome{LoadResult::Unreadable, std::strerror(err), {}}; }

// Answers every message with 中止(&A) and shows nothing: a line taken
// before the file's format is known must show nothing.
class SilentDialogs : public Dialogs {
 public:
  MsgButton ShowMessageDlg(const std::string&, MsgKind, MsgButtons) override { return mbAbort; }
};

enum class Step {
  Taken,   // the line passed (or failed and the load reads on)
  Stop,    // the load stops at once
  Unsure,  // a line taken on trust would show a message: it waits
};

// The per-line steps of one load: length, line count, the shared scan,
// the title count, the item-count question, the final item limit, adding
// the line. Lines arrive complete, without their line end, as a place in
// the load's store.
class LineSteps {
 public:
  LineSteps(int itemLimit, std::size_t lineLimit, Dialogs& dialogs, const LineStore& store, Lines& lines)
      : options_{itemLimit, true, true}, lineLimit_(lineLimit), dialogs_(dialogs), store_(store), lines_(lines) {}

  // Runs the steps on the `size` bytes at `offset`. A line has at most
  // kMaxLineBytes bytes: a longer one is reported through TooLong before
  // it is complete. `onTrust`: the file's format is not known yet, so the
  // line is taken only when it passes every step without a message;
  // otherwise nothing is shown or changed and the answer is Unsure.
  Step Take(std::size_t offset, std::size_t size, bool onTrust) {
    if (lineNo_ > static_cast<long>(lineLimit_)) {
      if (onTrust) return Step::Unsure;
      Refuse(dialogs_, msg::TooManyLines(lineLimit_));
      failed_ = true;
      return Step::Stop;
    }
    const std::string_view line(store_.data() + offset, size);
    const long shown = lineNo_ - 1;  // messages count the title line as 0
    if (onTrust) {
      SilentDialogs silent;
      bool faulted = false;
      ScanLine(line, shown, options_, silent, faulted, scan_);
      const int title = lineNo_ == 1 ? scan_.itemCount : titleItemCount_;
      if (faulted || scan_.itemCount != title || scan_.itemCount > kMaxItems) return Step::Unsure;
      titleItemCount_ = title;
      lines_.push_back(store_.Slice(offset, size));
      ++lineNo_;
      return Step::Taken;
    }
    ScanLine(line, shown, options_, dialogs_, failed_, scan_);
    if (scan_.lastItemTooLong) return Step::Stop;
    if (lineNo_ == 1) titleItemCount_ = scan_.itemCount;
    if (!failed_ && scan_.itemCount != titleItemCount_) {
      MsgButton answer = dialogs_.ShowMessageDlg(msg::ItemCountDiffers(shown, titleItemCount_, scan_.itemCount),
                                                 MsgKind::Warning, mbYes | mbAbort);
      if (answer == mbAbort) {
        failed_ = true;
        return Step::Stop;
      }
    }
    if (!failed_ && scan_.itemCount > kMaxItems) {
      Refuse(dialogs_, msg::FinalItemLimit(shown));
      failed_ = true;
      return Step::Stop;
    }
    // Once a line has failed the load ends refused and nothing read is
    // kept, so later lines are still checked but no longer stored.
    if (!failed_) lines_.push_back(store_.Slice(offset, size));
    ++lineNo_;
    return Step::Taken;
  }

  // A line longer than the limit: reported, and the load stops at once.
  void TooLong() { Fault(std::string(msg::kLineTooLong)); }
  // A fault of the line being cut that no check of its own finds (its
  // bytes could not be converted): reported, and the load stops at once.
  void Fault(const std::string& text) {
    Refuse(dialogs_, text);
    failed_ = true;
  }
  // The number the messages give the line being cut.
  long ShownLine() const { return lineNo_ - 1; }
  // The lines from `line` (0-based) on are forgotten; the next is that
  // line again. Only lines taken on trust are ever forgotten, and those
  // showed nothing.
  void Rewind(long line) {
    if (lines_.size() > static_cast<std::size_t>(line)) lines_.resize(static_cast<std::size_t>(line));
    lineNo_ = line + 1;
    if (line == 0) titleItemCount_ = 1;
  }

  bool failed() const { return failed_; }

 private:
  ScanOptions options_;
  std::size_t lineLimit_;
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
  // The room to reserve for them when a load reads at most `most`.
  virtual std::size_t Capacity(std::size_t most) const = 0;
};

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  long long Read(char* at, std::size_t room, int&) override {
    const std::size_t n = std::min(room, bytes_.size());
    if (n > 0) std::memcpy(at, bytes_.data(), n);
    bytes_.remove_prefix(n);
    return static_cast<long long>(n);
  }
  std::size_t SizeHint() const override { return bytes_.size(); }
  std::size_t Capacity(std::size_t most) const override { return std::min(most, bytes_.size()); }

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
  std::size_t Capacity(std::size_t most) const override { return most; }

 private:
  int fd_;
  std::size_t sizeHint_;
};

// The one load: the source read piece by piece into one store, and the
// complete lines of each piece cut out and put through LineSteps. The lines
// the load keeps are slices of the store. A file read as UTF-8 is read into
// a small buffer instead and converted from there into the store, so that
// its bytes are converted while they are in the processor's cache and the
// store holds only the converted bytes.
//
// A file's format is known only from all of its bytes: a CR anywhere makes
// CR the line end, and a byte anywhere that is not UTF-8 makes it
// Shift-JIS. Until then, lines are cut as ending at LF, and read as UTF-8
// (converted; ASCII stays as it is). A line of ASCII reads the same either
// way and is checked as it comes once the line end is known; any other line
// is taken on trust: taken only when it would show no message, and else it
// waits. Once the format is known the lines wait no more; if it is not what
// they were taken as, the converted bytes go back to what they were and the
// lines taken on trust are cut again. A file in Shift-JIS is known as such
// at its first double-byte character and a file with CR line ends at its
// first line end, so what is cut again is rarely more than a line.
class Loader {
 public:
  Loader(ByteSource& source, const LoadRules& rules, Dialogs& dialogs)
      : source_(source),
        choice_(rules.choice),
        lineLimit_(rules.lineLimit),
        most_(std::min(MostUtf8BytesRead(lineLimit_), kMostBlockBytes)),
        fileSize_(std::min(source.SizeHint(), most_)),
        store_(source.Capacity(most_)),
        data_(store_.data()),
        steps_(rules.itemLimit, lineLimit_, dialogs, store_, lines_) {
    // A large file's pages are made on a second core, ahead of the reading,
    // which then finds them there instead of stopping for each one. Without
    // a thread (none to be had) the reading makes them itself.
    if (fileSize_ >= kAheadFrom) {
      try {
        ahead_ = std::jthread([this](std::stop_token stop) {
          for (std::size_t at = 0; at < fileSize_ && !stop.stop_requested(); at += kAheadStep)
            store_.Prefault(at, std::min(kAheadStep, fileSize_ - at));
        });
      } catch (const std::system_error&) {
      }
    }
  }

  LoadOutcome Run(Lines& destination) {
    while (!atEnd_ && !stopped_) {
      int err = 0;
      if (!ReadPiece(err)) return Unreadable(err);
    }
    StopAhead();
    FileFormat format;
    format.encoding = encoding_ != Encoding::Utf8 ? TextEncoding::ShiftJis
                      : bom_                      ? TextEncoding::Utf8Bom
                                                  : TextEncoding::Utf8;
    format.lineEnd = ends_ == Ends::Lf ? LineEnd::Lf : firstEnd_.value_or(LineEnd::CrLf);
    if (steps_.failed()) {
      destination.clear();
      return LoadOutcome{LoadResult::Refused, {}, format};
    }
    store_.Trim(TextEnd());
    if (lines_.capacity() > lines_.size() + lines_.size() / 16 + 16) lines_.shrink_to_fit();
    destination = std::move(lines_);
    return LoadOutcome{LoadResult::Loaded, {}, format};
  }

 private:
  enum class Encoding { Unknown, ShiftJis, Utf8 };
  enum class Ends { Unknown, Cr, Lf };

  // The bytes that lines are cut from: the bytes read, or in UTF-8 the
  // converted part of them.
  std::size_t TextEnd() const { return encoding_ == Encoding::ShiftJis ? filled_ : text_; }
  // Whether a line that ends at `end` is taken on trust: while the line end
  // is not known, or the encoding is not and the line reaches past the first
  // character past ASCII (ASCII is the same in both).
  bool OnTrust(std::size_t end) const {
    return ends_ == Ends::Unknown || (encoding_ == Encoding::Unknown && end > pastAsciiAt_);
  }
  // Whether the bytes read go through the conversion buffer: while they may
  // be UTF-8 and the conversion has not stopped.
  bool Converting() const {
    return encoding_ != Encoding::ShiftJis && (stop_ == Utf8Stop::None || stop_ == Utf8Stop::Incomplete);
  }

  // Reads the next piece and does all it allows; false when reading failed.
  bool ReadPiece(int& err) {
    const bool converting = Converting();
    // While every byte so far was ASCII, which converts to itself, the
    // bytes go straight into the store and are converted there.
    const bool inStore = !converting || (!ConvertedPastAscii() && carried_ == 0 && filled_ == text_);
    char* at;
    std::size_t room;
    if (!inStore) {
      if (!buffer_) buffer_ = std::make_unique<char[]>(kPiece + 8);
      at = buffer_.get() + carried_;
      room = std::min(kPiece, limit_ - read_);
    } else {
      at = data_ + filled_;
      room = std::min({kPiece, store_.capacity() - filled_, limit_ - read_});
      store_.Prefault(filled_, room);
    }
    long long n = 0;
    if (room > 0) {
      n = source_.Read(at, room, err);
      if (n < 0) return false;
    } else if (read_ >= limit_ && limit_ == kMostBlockBytes) {
      // The most one load can hold was read before the line limit came:
      // a file that goes on is too large to hold, and no part of it is taken.
      char probe;
      if (source_.Read(&probe, 1, err) > 0) err = EFBIG;
      if (err != 0) return false;
    }
    std::size_t got = static_cast<std::size_t>(n);
    if (n == 0) atEnd_ = true;
    if (const void* eof = std::memchr(at, kEOF, got)) {
      got = static_cast<std::size_t>(static_cast<const char*>(eof) - at);
      atEnd_ = true;
    }
    read_ += got;
    if (!crSeen_) {
      crSeen_ = std::memchr(at, kCR, got) != nullptr;
      if (!crSeen_ && !lfSeen_) lfSeen_ = std::memchr(at, kLF, got) != nullptr;
    }
    if (!estimated_ && fileSize_ > 0 && got > 0) {
      // Room for the lines the file will likely hold, judged from the line
      // ends of the first piece, so that the list is not regrown. A
      // sixteenth more allows for lines a little shorter than those seen.
      estimated_ = true;
      unsigned long long ends = static_cast<unsigned long long>(std::count(at, at + got, kCR));
      if (ends == 0) ends = static_cast<unsigned long long>(std::count(at, at + got, kLF));
      const unsigned long long guess = ends * fileSize_ / got * 17 / 16 + 16;
      lines_.reserve(static_cast<std::size_t>(std::min<unsigned long long>(guess, lineLimit_ + 1)));
    }
    if (converting) {
      ConvertPiece(inStore ? at : buffer_.get(), inStore ? got : carried_ + got);
    } else {
      filled_ += got;
      if (encoding_ == Encoding::Unknown) {
        judge_.Feed(std::string_view(at, got));
        Validate();
      }
    }
    Decide();
    Cut();
    return true;
  }

  // Converts the `have` bytes at `in` (in the store where the text ends,
  // or in the buffer: a sequence the last piece cut short, then the bytes
  // just read) into the store: the byte-order mark looked for, the bytes
  // judged, and converted. Where the conversion stops at a fault, the rest
  // stays in the store as read.
  void ConvertPiece(char* in, std::size_t have) {
    std::size_t from = 0;          // the bytes to convert start here
    std::size_t fresh = carried_;  // the bytes not yet judged start here
    if (!markChecked_) {
      if (have < kByteOrderMark.size() && !atEnd_) {
        // Too few to tell: they wait in the buffer.
        if (!buffer_) buffer_ = std::make_unique<char[]>(kPiece + 8);
        std::memmove(buffer_.get(), in, have);
        carried_ = have;
        filled_ = text_;
        return;
      }
      CheckByteOrderMark(std::string_view(in, have));
      if (encoding_ == Encoding::ShiftJis) {
        // Chosen, and no mark: the bytes stand as read from here on.
        if (in != data_ + filled_) std::memmove(data_ + filled_, in, have);
        filled_ += have;
        carried_ = 0;
        limit_ = std::min(MostBytesRead(lineLimit_), kMostBlockBytes);
        return;
      }
      from = fresh = bom_ ? kByteOrderMark.size() : 0;
    }
    if (in == data_ + text_ && from == 0 && AsciiPrefix(std::string_view(in, have)) == have) {
      text_ = filled_ = text_ + have;  // ASCII as read
      return;
    }
    // Before converting, which writes over the bytes when they are in the
    // store.
    if (encoding_ == Encoding::Unknown) judge_.Feed(std::string_view(in + fresh, have - fresh));
    const Utf8Converted c = Utf8ToCp932(in + from, have - from, data_ + text_);
    if (c.nonAscii && !ConvertedPastAscii())
      pastAsciiAt_ = text_ + AsciiPrefix(std::string_view(data_ + text_, c.written));
    text_ += c.written;
    filled_ = text_;
    const char* const rest = in + from + c.read;
    const std::size_t restSize = have - from - c.read;
    stop_ = c.stop;
    carried_ = 0;
    if (stop_ == Utf8Stop::Incomplete && !atEnd_) {
      if (!buffer_) buffer_ = std::make_unique<char[]>(kPiece + 8);
      std::memmove(buffer_.get(), rest, restSize);
      carried_ = restSize;
    } else if (stop_ != Utf8Stop::None) {
      // A fault (a sequence cut short by the end of the file is one): the
      // bytes from it on stay as read, after the converted ones.
      if (stop_ == Utf8Stop::Incomplete) stop_ = Utf8Stop::Invalid;
      character_ = c.character;
      std::memmove(data_ + text_, rest, restSize);
      filled_ = text_ + restSize;
      validated_ = text_;
      if (stop_ == Utf8Stop::Invalid) utf8Valid_ = false;
      Validate();
    }
  }

  void CheckByteOrderMark(std::string_view first) {
    markChecked_ = true;
    const bool mark = first.substr(0, kByteOrderMark.size()) == kByteOrderMark;
    // The mark is UTF-8's whatever was chosen: its first two bytes are no
    // character of code page 932.
    encoding_ = choice_ == EncodingChoice::Utf8 || mark ? Encoding::Utf8
                : choice_ == EncodingChoice::ShiftJis   ? Encoding::ShiftJis
                                                        : Encoding::Unknown;
    bom_ = mark;
  }

  // Past a character that has no code the conversion stops; whether the
  // rest is UTF-8 still decides the encoding.
  void Validate() {
    while (encoding_ == Encoding::Unknown && stop_ == Utf8Stop::Unmappable && utf8Valid_ && validated_ < filled_) {
      validated_ += AsciiPrefix(std::string_view(data_ + validated_, filled_ - validated_));
      if (validated_ == filled_) break;
      char32_t c;
      const int n = Utf8Sequence(std::string_view(data_ + validated_, filled_ - validated_), c);
      if (n < 0 && !atEnd_) break;  // the next piece finishes it
      if (n <= 0) utf8Valid_ = false;
      validated_ += static_cast<std::size_t>(std::max(n, 0));
    }
  }

  // The format as far as the bytes read tell it.
  void Decide() {
    if (!markChecked_) return;
    if (encoding_ == Encoding::Unknown) {
      if (!utf8Valid_)
        TakeAsShiftJis();
      else if (atEnd_ && judge_.Verdict(true) == TextEncoding::Utf8)
        encoding_ = Encoding::Utf8;
      else if (atEnd_)
        TakeAsShiftJis();
    }
    if (ends_ == Ends::Unknown) {
      if (crSeen_) {
        ends_ = Ends::Cr;
        if (cutAtLf_) Rewind();
      } else if (atEnd_) {
        ends_ = lfSeen_ ? Ends::Lf : Ends::Cr;
      }
    }
  }

  // The file is Shift-JIS after all: the converted bytes go back to what
  // was read (the conversion is exact both ways), before the bytes that
  // stayed as read, and the lines taken as UTF-8 are cut again.
  void TakeAsShiftJis() {
    encoding_ = Encoding::ShiftJis;
    if (ConvertedPastAscii()) {
      // Up to the first character past ASCII the text stays as it is, and
      // so do the lines that end before it.
      const std::string read = Cp932ToUtf8(std::string_view(data_, text_));
      const std::size_t rest = filled_ - text_;
      std::memmove(data_ + read.size(), data_ + text_, rest);
      std::memcpy(data_, read.data(), read.size());
      filled_ = read.size() + rest;
      Rewind();
      searched_ = lineStart_;
    }
    // (Otherwise all that was converted is ASCII, which stands as read.)
    text_ = 0;
    limit_ = std::min(MostBytesRead(lineLimit_), kMostBlockBytes);
    if (filled_ >= limit_) {
      filled_ = limit_;
      atEnd_ = true;
      lineStart_ = std::min(lineStart_, filled_);
      searched_ = std::min(searched_, filled_);
    }
  }

  // The lines taken on trust are cut again.
  void Rewind() {
    if (trustedFrom_) {
      steps_.Rewind(trustedFrom_->line);
      lineStart_ = searched_ = trustedFrom_->offset;
      pendingLF_ = false;
      if (trustedFrom_->line == 0) firstEnd_.reset();
      trustedFrom_.reset();
    }
    cutAtLf_ = false;
    unsure_ = false;
  }

  // The line being cut holds the place where the conversion stopped.
  bool AtConversionFault(std::size_t textEnd) const {
    return encoding_ != Encoding::ShiftJis && textEnd == text_ &&
           (stop_ == Utf8Stop::Invalid || stop_ == Utf8Stop::Unmappable);
  }

  void ReportConversionFault(std::size_t textEnd) {
    const long line = steps_.ShownLine();
    if (stop_ == Utf8Stop::Invalid) {
      steps_.Fault(msg::NotUtf8(line));
      return;
    }
    ItemSpans spans;
    FindSeparators(std::string_view(data_ + lineStart_, textEnd - lineStart_), spans);
    steps_.Fault(msg::NoShiftJisCharacter(line, spans.itemCount, character_));
  }

  // Cuts and takes the complete lines of the text so far (at the end, the
  // last line too).
  void Cut() {
    if (unsure_ && (encoding_ == Encoding::Unknown || ends_ == Ends::Unknown)) return;  // it waits on
    unsure_ = false;
    const std::size_t textEnd = TextEnd();
    const char lineEnd = ends_ == Ends::Cr ? kCR : kLF;
    if (pendingLF_ && lineStart_ < textEnd) {
      EndedAtCr(data_[lineStart_] == kLF);
      pendingLF_ = false;
    }
    while (!stopped_ && !unsure_) {
      const void* found = std::memchr(data_ + searched_, lineEnd, textEnd - searched_);
      const std::size_t end = found ? static_cast<std::size_t>(static_cast<const char*>(found) - data_) : textEnd;
      const bool onTrust = OnTrust(end);
      if (end - lineStart_ > kMaxLineBytes) {
        if (onTrust) {
          unsure_ = true;
        } else {
          steps_.TooLong();
          stopped_ = true;
        }
        return;
      }
      if (!found) {
        searched_ = textEnd;  // the line goes on in the next piece, or ends the file
        if (AtConversionFault(textEnd)) {
          if (encoding_ == Encoding::Unknown || ends_ == Ends::Unknown) {
            unsure_ = true;
          } else {
            ReportConversionFault(textEnd);
            stopped_ = true;
          }
        } else if (atEnd_ && lineStart_ < textEnd) {
          // A last line without a line end.
          Take(lineStart_, textEnd - lineStart_, onTrust);
          lineStart_ = searched_ = textEnd;
        } else if (atEnd_ && pendingLF_) {
          EndedAtCr(false);  // the file ends with a CR
          pendingLF_ = false;
        }
        return;
      }
      if (!Take(lineStart_, end - lineStart_, onTrust)) return;
      lineStart_ = end + 1;
      if (lineEnd == kLF) {
        cutAtLf_ = true;
      } else if (lineStart_ < textEnd) {
        EndedAtCr(data_[lineStart_] == kLF);
      } else {
        pendingLF_ = true;
      }
      searched_ = lineStart_;
    }
  }

  // A line ended at CR, with an LF after it or not: the LF belongs to the
  // line end, and the first line end is the file's.
  void EndedAtCr(bool lf) {
    if (!firstEnd_) firstEnd_ = lf ? LineEnd::CrLf : LineEnd::Cr;
    if (lf) ++lineStart_;
    searched_ = lineStart_;
  }

  bool Take(std::size_t offset, std::size_t size, bool onTrust) {
    if (onTrust && !trustedFrom_) trustedFrom_ = Place{steps_.ShownLine(), offset};
    switch (steps_.Take(offset, size, onTrust)) {
      case Step::Taken: return true;
      case Step::Stop: stopped_ = true; return false;
      case Step::Unsure: unsure_ = true; return false;
    }
    return false;
  }

  ByteSource& source_;
  const EncodingChoice choice_;
  const std::size_t lineLimit_;
  const std::size_t most_;
  const std::size_t fileSize_;
  LineStore store_;
  std::jthread ahead_;  // after the store, so that it stops before the store goes
  void StopAhead() {
    if (!ahead_.joinable()) return;
    ahead_.request_stop();
    ahead_.join();
  }
  char* const data_;
  Lines lines_;
  LineSteps steps_;

  std::size_t limit_ = most_;  // the most this load reads, once the encoding is known
  std::size_t read_ = 0;       // bytes of the file read so far
  std::size_t filled_ = 0;     // bytes in the store
  bool atEnd_ = false;         // end of file, a 0x1A, or the most a load reads
  bool estimated_ = false;

  // The encoding.
  Encoding encoding_ = Encoding::Unknown;
  bool markChecked_ = false;
  bool bom_ = false;
  EncodingJudge judge_;
  // The conversion from UTF-8: the bytes read into `buffer_`, converted
  // into the store (text_ bytes of code page 932); a sequence cut by the
  // buffer's end waits there for the next piece (carried_ bytes). Once it
  // stopped at a fault, the bytes from the fault on stand in the store as
  // read, up to filled_.
  std::unique_ptr<char[]> buffer_;
  std::size_t carried_ = 0;
  std::size_t text_ = 0;
  Utf8Stop stop_ = Utf8Stop::None;
  char32_t character_ = 0;
  std::size_t pastAsciiAt_ = SIZE_MAX;  // where the first character past ASCII stands in the text
  bool ConvertedPastAscii() const { return pastAsciiAt_ != SIZE_MAX; }
  bool utf8Valid_ = true;
  std::size_t validated_ = 0;

  // The line ends.
  Ends ends_ = Ends::Unknown;
  bool crSeen_ = false;
  bool lfSeen_ = false;
  std::optional<LineEnd> firstEnd_;

  // The cutting.
  std::size_t lineStart_ = 0;  // where the line being cut starts
  std::size_t searched_ = 0;   // where the search for its end goes on
  bool pendingLF_ = false;     // a CR ended the text so far: an LF may follow
  bool cutAtLf_ = false;       // a line was cut at LF before the line end was known
  bool unsure_ = false;        // a line waits until the format is known
  // The first line taken on trust: its number and where it starts.
  struct Place {
    long line;
    std::size_t offset;
  };
  std::optional<Place> trustedFrom_;
  bool stopped_ = false;  // a check ended the load
};

LoadOutcome Load(ByteSource& source, const LoadRules& rules, Dialogs& dialogs, Lines& destination) {
  // A file too large for the memory there is: nothing of it is kept, and
  // the destination stays as it was.
  try {
    Loader loader(source, rules, dialogs);
    return loader.Run(destination);
  } catch (const std::bad_alloc&) {
    return Unreadable(ENOMEM);
  }
}

}  // namespace

LoadOutcome CsvLoader(const std::string& path, const LoadRules& rules, Dialogs& dialogs, Lines& destination) {
  // O_NONBLOCK keeps a FIFO without a writer from hanging the open; the
  // descriptor's load clears it again before reading.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return Unreadable(errno);
  const Fd closer(fd);
  int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return CsvLoaderFromDescriptor(fd, rules, dialogs, destination);
}

LoadOutcome CsvLoaderFromDescriptor(int fd, const LoadRules& rules, Dialogs& dialogs, Lines& destination) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return Unreadable(errno);
  if (S_ISDIR(st.st_mode)) return Unreadable(EISDIR);
  DescriptorSource source(fd, S_ISREG(st.st_mode) && st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0);
  return Load(source, rules, dialogs, destination);
}

LoadOutcome CsvLoaderFromBytes(std::string_view bytes, const LoadRules& rules, Dialogs& dialogs, Lines& destination) {
  MemorySource source(bytes);
  return Load(source, rules, dialogs, destination);
}

}  // namespace cavel
