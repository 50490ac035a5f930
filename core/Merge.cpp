#include "core/Merge.h"

#include "core/Messages.h"
#include "core/System.h"

namespace cavel {

namespace {

bool Insert(MainState& state, const Lines& mergeLines, Dialogs& dialogs, bool after) {
  const auto limit = static_cast<std::size_t>(state.ReadLimitLines);
  if (state.Document.size() + mergeLines.size() > limit) {
    Refuse(dialogs, msg::DocumentLineLimit(limit));
    return false;
  }
  if (state.Document.empty()) {
    CommitDocument(state, mergeLines, mergeLines.empty() ? -1 : 0);
    return true;
  }
  // A current line outside the Document (no selection) counts as its
  // nearest line, so the block never lands outside it.
  int last = static_cast<int>(state.Document.size()) - 1;
  int c = state.CurrentLine < 0 ? 0 : state.CurrentLine > last ? last : state.CurrentLine;
  int m = static_cast<int>(mergeLines.size());

  // The block goes in beside the Document's lines, which are moved, not
  // copied; the Document changes in one step.
  CommitLines(state, static_cast<std::size_t>(after ? c + 1 : c), 0, mergeLines, after ? c : c + m);
  return true;
}

}  // namespace

bool InsertBefore(MainState& state, const Lines& mergeLines, Dialogs& dialogs) {
  return Insert(state, mergeLines, dialogs, false);
}

bool InsertAfter(MainState& state, const Lines& mergeLines, Dialogs& dialogs) {
  return Insert(state, mergeLines, dialogs, true);
}

MergeReadResult ReadMergeFile(const std::string& path, std::size_t lineLimit, Dialogs& dialogs, Lines& mergeLines,
                              LoadFunction load) {
  if (KindOf(path) == PathKind::None) {
    Refuse(dialogs, std::string(msg::kFileMissing));
    return MergeReadResult::Missing;
  }
  mergeLines.clear();
  LoadOutcome outcome = load(path, {kItemLimitNarrow, EncodingChoice::Detect, lineLimit}, dialogs, mergeLines);
  switch (outcome.result) {
    case LoadResult::Loaded: return MergeReadResult::Loaded;
    case LoadResult::Refused: mergeLines.clear(); return MergeReadResult::Refused;
    case LoadResult::Unreadable: break;
  }
  mergeLines.clear();
  ErrorReport(dialogs, msg::FileError(path, outcome.error));
  return MergeReadResult::Unreadable;
}

}  // namespace cavel
