// Writing a Document as a CSV file: every line followed by CR LF, nothing
// else, through the one file-replacing module (core/AtomicFile.h).
#pragma once

#include <string>

#include "core/AtomicFile.h"
#include "core/Document.h"

namespace cavel {

// The bytes of a CSV file made of `lines`, handed over without a second
// copy of them: in runs of lines that lie one after another in a block.
class CsvContent : public FileContent {
 public:
  explicit CsvContent(const Lines& lines) : lines_(lines) {}
  std::uint64_t Size() const override;
  bool Pieces(const std::function<bool(std::string_view)>& take) const override;

 private:
  const Lines& lines_;
};

// Writes every line followed by CR LF, nothing else, to `path`, replacing
// the file so that a failure leaves it as it was (ReplaceFile).
WriteOutcome WriteLines(const std::string& path, const Lines& lines);

}  // namespace cavel
