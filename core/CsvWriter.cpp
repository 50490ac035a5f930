#include "core/CsvWriter.h"

namespace cavel {

std::uint64_t CsvContent::Size() const {
  std::uint64_t size = 0;
  for (const std::string& line : lines_) size += line.size() + 2;
  return size;
}

bool CsvContent::Pieces(const std::function<bool(std::string_view)>& take) const {
  for (const std::string& line : lines_)
    if (!take(line) || !take("\r\n")) return false;
  return true;
}

WriteOutcome WriteLines(const std::string& path, const Lines& lines) { return ReplaceFile(path, CsvContent(lines)); }

}  // namespace cavel
