#include <sys/stat.h>

#include "core/CsvLoader.h"
#include "core/Merge.h"
#include "core/Messages.h"

namespace cavel {

MergeReadResult ReadMergeFile(const std::string& path, Dialogs& dialogs, Lines& mergeLines) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    Refuse(dialogs, std::string(msg::kFileMissing));
    return MergeReadResult::Missing;
  }
  mergeLines.clear();
  LoadOutcome outcome = CsvLoader(path, kItemLimitNarrow, dialogs, mergeLines);
  switch (outcome.result) {
    case LoadResult::Loaded:
      return MergeReadResult::Loaded;
    case LoadResult::Refused:
      mergeLines.clear();
      return MergeReadResult::Refused;
    case LoadResult::Unreadable:
      break;
  }
  mergeLines.clear();
  ErrorReport(dialogs, msg::FileError(path, outcome.error));
  return MergeReadResult::Unreadable;
}

}  // namespace cavel
