// Reading a CSV file into a list of lines, checking every line.
#pragma once

#include <string>
#include <string_view>

#include "core/Dialogs.h"
#include "core/Document.h"

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
};

// Reads `path` with the given scan-stage item limit into `destination`.
// A line ends at CR, with an LF right after it belonging to the line end;
// 0x1A ends the file. Every message goes through `dialogs`. The file is
// always closed on return.
LoadOutcome CsvLoader(const std::string& path, int itemLimit, Dialogs& dialogs, Lines& destination);
// The same load over an open descriptor, read from where it stands to its
// end (it stays open), and over bytes in memory (never Unreadable). All
// three cut and check lines with the same code.
LoadOutcome CsvLoaderFromDescriptor(int fd, int itemLimit, Dialogs& dialogs, Lines& destination);
LoadOutcome CsvLoaderFromBytes(std::string_view bytes, int itemLimit, Dialogs& dialogs, Lines& destination);

}  // namespace cavel
