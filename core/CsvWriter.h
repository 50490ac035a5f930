// Writing a Document as a CSV file: every line followed by its line end,
// in the file's encoding, through the one file-replacing module
// (core/AtomicFile.h).
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "core/AtomicFile.h"
#include "core/Dialogs.h"
#include "core/Document.h"
#include "core/FileFormat.h"

namespace cavel {

// A line of code page 932 bytes that UTF-8 cannot write, and its item.
struct UnwritableLine {
  std::size_t line = 0;
  int item = 1;
};

// The bytes of a CSV file made of `lines` in `format`: in Shift-JIS handed
// over without a second copy of them, in runs of lines that lie one after
// another in a block with the line end between them; in UTF-8 converted a
// piece at a time, after the byte-order mark when the format has one. For
// UTF-8 every line must hold characters of code page 932 only
// (Unwritable).
class CsvContent : public FileContent {
 public:
  explicit CsvContent(const Lines& lines, FileFormat format = kShiftJisCrLf) : lines_(lines), format_(format) {}
  std::uint64_t Size() const override;
  // The first line holding bytes that are not characters of code page 932,
  // which UTF-8 cannot write; none for Shift-JIS. Measuring the lines for
  // it gives the size too, which Size then keeps.
  std::optional<UnwritableLine> Unwritable() const;
  bool Pieces(const std::function<bool(std::string_view)>& take) const override;

 private:
  bool ShiftJisPieces(const std::function<bool(std::string_view)>& take) const;
  bool Utf8Pieces(const std::function<bool(std::string_view)>& take) const;

  const Lines& lines_;
  FileFormat format_;
  mutable std::optional<std::uint64_t> size_;
};

// Where `lines` hold bytes that are not characters of code page 932 (the
// Document keeps whatever bytes a Shift-JIS file had), which `format`
// cannot write: none for Shift-JIS, else the first such line and item.
std::optional<UnwritableLine> FindUnwritable(const Lines& lines, FileFormat format);

// Writes every line followed by CR LF, in Shift-JIS, to `path`, replacing
// the file so that a failure leaves it as it was (ReplaceFile).
WriteOutcome WriteLines(const std::string& path, const Lines& lines);

// A save of the Document as the commands make it: lines that `format`
// cannot write are refused with a message naming the first (nothing is
// written); a file that cannot be written is reported. True when saved.
bool SaveLines(const std::string& path, const Lines& lines, FileFormat format, Dialogs& dialogs);

}  // namespace cavel
