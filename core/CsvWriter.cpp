#include "core/CsvWriter.h"

#include <optional>

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
  LineRuns runs(lines_, "\r\n");
  while (const std::optional<std::string_view> run = runs.Next())
    if (!take(*run) || !take("\r\n")) return false;
  return true;
}

WriteOutcome WriteLines(const std::string& path, const Lines& lines) { return ReplaceFile(path, CsvContent(lines)); }

}  // namespace cavel
