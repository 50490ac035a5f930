// The format of a CSV file on disk: the encoding of its bytes and the bytes
// that end its lines. The Document always holds Shift-JIS bytes without line
// ends; a file's format is what its load found and what a save writes.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace cavel {

enum class TextEncoding {
  ShiftJis,  // code page 932, as held
  Utf8,      // UTF-8 without a byte-order mark
  Utf8Bom,   // UTF-8 after the byte-order mark EF BB BF
};

enum class LineEnd { CrLf, Cr, Lf };

struct FileFormat {
  TextEncoding encoding = TextEncoding::ShiftJis;
  LineEnd lineEnd = LineEnd::CrLf;

  bool Utf8() const { return encoding != TextEncoding::ShiftJis; }
  friend bool operator==(const FileFormat&, const FileFormat&) = default;
};

// The format of a new file, and of a file whose bytes tell nothing else.
inline constexpr FileFormat kShiftJisCrLf{};

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// "\r\n", "\r" or "\n".
std::string_view LineEndBytes(LineEnd lineEnd);

// The names scripts read: "shift_jis", "utf-8", "utf-8-bom"; "crlf", "cr", "lf".
std::string_view EncodingKey(TextEncoding encoding);
std::string_view LineEndKey(LineEnd lineEnd);

// The encoding a load is told to read a file in: found from its bytes, or
// chosen by the user for a file that the rule reads wrongly. A file that
// starts with the byte-order mark is UTF-8 whatever the choice (no
// Shift-JIS text starts with those bytes).
enum class EncodingChoice { Detect, ShiftJis, Utf8 };

// The file types of the save-as dialog: the two plain ones first, which
// write the open file's own format (`format` empty), then one per format.
struct SaveType {
  std::string caption;   // e.g. "CSVﾌｧｲﾙ UTF-8 BOM付き CR LF(*.CSV)"
  std::string patterns;  // "*.CSV", or "*" for every name, names without a dot too
  std::optional<FileFormat> format;
};
std::array<SaveType, 11> SaveAsTypes();
// The format that save as writes when the user chose type `type` of
// SaveAsTypes: its own, or `own` (the open file's) for the plain types and
// for an index that names none.
FileFormat SaveAsFormat(std::size_t type, FileFormat own);

}  // namespace cavel
