#include "core/CsvWriter.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "core/Cp932.h"
#include "core/Messages.h"

namespace cavel {

namespace {

// UTF-8 is handed over in pieces of about this size.
constexpr std::size_t kUtf8Piece = 1 << 20;

}  // namespace

std::uint64_t CsvContent::Size() const {
  if (size_) return *size_;
  const std::size_t lineEnd = LineEndBytes(format_.lineEnd).size();
  std::uint64_t size = format_.encoding == TextEncoding::Utf8Bom ? kByteOrderMark.size() : 0;
  for (const Line& line : lines_) size += (format_.Utf8() ? MeasureCp932(line.view()).utf8Size : line.size()) + lineEnd;
  size_ = size;
  return size;
}

std::optional<UnwritableLine> CsvContent::Unwritable() const {
  if (!format_.Utf8()) return std::nullopt;
  const std::size_t lineEnd = LineEndBytes(format_.lineEnd).size();
  std::uint64_t size = format_.encoding == TextEncoding::Utf8Bom ? kByteOrderMark.size() : 0;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::string_view line = lines_[i].view();
    const Cp932Measured measured = MeasureCp932(line);
    if (measured.bad != std::string_view::npos) {
      ItemSpans spans;
      FindSeparators(line.substr(0, measured.bad), spans);
      return UnwritableLine{i, spans.itemCount};
    }
    size += measured.utf8Size + lineEnd;
  }
  size_ = size;
  return std::nullopt;
}

bool CsvContent::Pieces(const std::function<bool(std::string_view)>& take) const {
  return format_.Utf8() ? Utf8Pieces(take) : ShiftJisPieces(take);
}

bool CsvContent::ShiftJisPieces(const std::function<bool(std::string_view)>& take) const {
  // Lines that follow one another in one block with the line end between
  // them (a file as it was read, lines built by one command) go out as one
  // run of the block's bytes.
  const std::string_view lineEnd = LineEndBytes(format_.lineEnd);
  LineRuns runs(lines_, lineEnd);
  while (const std::optional<std::string_view> run = runs.Next())
    if (!take(*run) || !take(lineEnd)) return false;
  return true;
}

bool CsvContent::Utf8Pieces(const std::function<bool(std::string_view)>& take) const {
  const std::string_view lineEnd = LineEndBytes(format_.lineEnd);
  if (format_.encoding == TextEncoding::Utf8Bom && !take(kByteOrderMark)) return false;
  // A line of 8192 bytes is at most three times as many in UTF-8.
  std::vector<char> buffer(std::max(kUtf8Piece, 3 * kMaxLineBytes) + 3 * kMaxLineBytes + lineEnd.size());
  std::size_t used = 0;
  for (const Line& line : lines_) {
    if (used + 3 * line.size() + lineEnd.size() > buffer.size()) {
      if (used > 0 && !take(std::string_view(buffer.data(), used))) return false;
      used = 0;
      if (3 * line.size() + lineEnd.size() > buffer.size()) buffer.resize(3 * line.size() + lineEnd.size());
    }
    char* end = Cp932ToUtf8(line.view(), buffer.data() + used);
    std::copy(lineEnd.begin(), lineEnd.end(), end);
    used = static_cast<std::size_t>(end - buffer.data()) + lineEnd.size();
  }
  return used == 0 || take(std::string_view(buffer.data(), used));
}

std::optional<UnwritableLine> FindUnwritable(const Lines& lines, FileFormat format) {
  return CsvContent(lines, format).Unwritable();
}

WriteOutcome WriteLines(const std::string& path, const Lines& lines) { return ReplaceFile(path, CsvContent(lines)); }

bool SaveLines(const std::string& path, const Lines& lines, FileFormat format, Dialogs& dialogs) {
  const CsvContent content(lines, format);
  if (const std::optional<UnwritableLine> bad = content.Unwritable()) {
    Refuse(dialogs, msg::NotShiftJisBytes(static_cast<long>(bad->line), bad->item));
    return false;
  }
  const WriteOutcome written = ReplaceFile(path, content);
  if (!written.ok) ErrorReport(dialogs, msg::SaveError(path, written.error, written.keptCopy));
  return written.ok;
}

}  // namespace cavel
