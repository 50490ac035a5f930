#include "core/NewFile.h"

#include "core/CsvWriter.h"
#include "core/Document.h"
#include "core/LineCheck.h"
#include "core/Messages.h"

namespace cavel {

TitleLineResult BuildTitleLine(std::span<const std::string> titles, Dialogs& dialogs, std::string& line) {
  line.clear();
  if (titles.empty() || titles[0].empty()) {
    Refuse(dialogs, std::string(msg::kNothingSet));
    return TitleLineResult::NothingSet;
  }
  std::size_t n = 0;
  std::size_t size = 0;
  while (n < titles.size() && n < static_cast<std::size_t>(kTitleBoxes) && !titles[n].empty())
    size += titles[n++].size();
  line.reserve(size + n - 1);
  for (std::size_t i = 0; i < n; ++i) {
    if (i) line += ',';
    line += titles[i];
  }
  if (line.size() > kMaxLineBytes) {
    Refuse(dialogs, std::string(msg::kRecordTooLong));
    return TitleLineResult::TooLong;
  }
  // Titles go in as typed, commas and quotes included; but a line the loader
  // would refuse would make a file that cannot be opened again.
  bool failed = false;
  LineScan scan;
  ScanLine(line, 0, ScanOptions{kMaxItems, true, true}, dialogs, failed, scan);
  return failed ? TitleLineResult::Faulty : TitleLineResult::Built;
}

bool CreateNewFile(MainState& state, const std::string& path, const std::string& titleLine, Dialogs& dialogs) {
  Lines lines{titleLine};
  WriteOutcome written = WriteLines(path, lines);
  if (!written.ok) {
    ErrorReport(dialogs, msg::SaveError(path, written.error, written.keptCopy));
    return false;
  }
  CommitDocument(state, std::move(lines), 0);
  // A new file starts a history of its own: nothing before it can be undone.
  state.Undo.Clear();
  state.CurrentFileName = path;
  state.DocumentFileName = path;
  state.DocumentFormat = kShiftJisCrLf;
  state.NewFileMade = 1;
  return true;
}

}  // namespace cavel
