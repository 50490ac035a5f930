// Reading a CSV file into a list of lines, checking every line.
#pragma once

#include <string>
#include <string_view>

#include "core/Dialogs.h"
#include "core/Document.h"
#include "core/FileFormat.h"

namespace cavel {

// Scan-stage item limits of the open paths.
inline constexpr int kItemLimitWide = 128;   // command line, open dialog
inline constexpr int kItemLimitNarrow = 64;  // recent file, drop, merge

enum class LoadResult {
  Loaded,      // every line passed; the destination holds the file
  Refused,     // a check failed (its messages were shown); the destination is empty
  Unreadable,  // the file could not be opened or read; the destination is untouched
};

struct LoadOutcome {
  LoadResult result = LoadResult::Loaded;
  std::string error;  // the operating system's reason, when Unreadable
  // The file's format as its bytes showed it: what an overwrite save
  // writes back (meaningful when Loaded).
  FileFormat format;
};

// What a load holds a file to: the scan-stage item limit, the encoding (found
// from the bytes unless chosen) and the line limit (kMaxLines unless the
// user raised it). An item limit alone gives a plain load's rules.
struct LoadRules {
  LoadRules(int items, EncodingChoice encoding = EncodingChoice::Detect, std::size_t lines = kMaxLines)
      : itemLimit(items), choice(encoding), lineLimit(lines) {}
  int itemLimit;
  EncodingChoice choice;
  std::size_t lineLimit;
};

// Reads `path` by `rules` into `destination`, as Shift-JIS lines. A file of
// more lines than the line limit is refused with the limit named.
//
// The encoding is found from the bytes (core/Encoding.h) unless the rules
// name one; a file in UTF-8 is converted to code page 932 (core/Cp932.h),
// and every check holds for the converted bytes. A character that the code
// page lacks, or a byte that is not UTF-8 in a file read as UTF-8, refuses
// the load naming its line.
//
// A file that holds no CR at all and at least one LF ends its lines at LF.
// Any other ends a line at CR, an LF right after it belonging to the line
// end (a lone LF is a byte of its line). 0x1A ends the file. Every message
// goes through `dialogs`. The file is always closed on return.
LoadOutcome CsvLoader(const std::string& path, const LoadRules& rules, Dialogs& dialogs, Lines& destination);
// The same load over an open descriptor, read from where it stands to its
// end (it stays open), and over bytes in memory (never Unreadable). All
// three cut and check lines with the same code.
LoadOutcome CsvLoaderFromDescriptor(int fd, const LoadRules& rules, Dialogs& dialogs, Lines& destination);
LoadOutcome CsvLoaderFromBytes(std::string_view bytes, const LoadRules& rules, Dialogs& dialogs, Lines& destination);

}  // namespace cavel
