#include "core/CsvWriter.h"

namespace cavel {

std::uint64_t CsvContent::Size() const {
  std::uint64_t size = 0;
  for (const Line& line : lines_) size += line.size() + 2;
  return size;
}

bool CsvContent::Pieces(const std::function<bool(std::string_view)>& take) const {
  // Lines that follow one another in one block with a CR LF between them
  // (a file as it was read, lines built by one command) go out as one run
  // of the block's bytes.
  const std::size_t n = lines_.size();
  for (std::size_t i = 0; i < n;) {
    const Line& first = lines_[i];
    const char* start = first.data();
    std::size_t size = first.size();
    std::size_t last = i;
    while (last + 1 < n && Line::Follows(lines_[last], lines_[last + 1], 2)) {
      const Line& line = lines_[last];
      if (line.data()[line.size()] != '\r' || line.data()[line.size() + 1] != '\n') break;
      size += 2 + lines_[last + 1].size();
      ++last;
    }
    if (!take(std::string_view(start, size)) || !take("\r\n")) return false;
    i = last + 1;
  }
  return true;
}

WriteOutcome WriteLines(const std::string& path, const Lines& lines) { return ReplaceFile(path, CsvContent(lines)); }

}  // namespace cavel
