#include "core/MainState.h"

#include <utility>

#include "core/Messages.h"

namespace cavel {

// ---- the Document's lifecycle ----------------------------------------------------

int ItemLimitOf(OpenPath path) {
  return path == OpenPath::CommandLine || path == OpenPath::Dialog ? kItemLimitWide : kItemLimitNarrow;
}

void AdoptDocument(MainState& state, Lines lines, const std::string& path, Adoption how, FileFormat format) {
  state.Document = std::move(lines);
  state.DocumentFileName = path;
  state.DocumentFormat = format;
  state.LastChange = {};
  // Undo never reaches back past a Document's start.
  state.Undo.Clear();
  switch (how) {
    case Adoption::Start:
    case Adoption::Loaded: StartGridAfresh(state); break;
    case Adoption::Created:
      state.CurrentLine = 0;
      state.DocumentChanged = 1;
      break;
    case Adoption::Refused:
    case Adoption::Released: break;
  }
}

void StartGridAfresh(MainState& state) {
  state.GridBuilt = 0;
  state.GridWidthState = 0;
  state.DocumentChanged = 0;
  if (state.GridStartedAfresh) state.GridStartedAfresh();
}

void AbandonOpen(MainState& state) { state.CurrentFileName = state.DocumentFileName; }

LoadResult LoadDocument(MainState& state, OpenPath path, Dialogs& dialogs, EncodingChoice choice) {
  Lines loaded;
  const LoadRules rules(ItemLimitOf(path), choice, static_cast<std::size_t>(state.ReadLimitLines));
  const LoadOutcome outcome = CsvLoader(state.CurrentFileName, rules, dialogs, loaded);
  switch (outcome.result) {
    case LoadResult::Unreadable:
      ErrorReport(dialogs, msg::FileError(state.CurrentFileName, outcome.error));
      AbandonOpen(state);
      break;
    case LoadResult::Loaded: AdoptDocument(state, std::move(loaded), state.CurrentFileName, Adoption::Loaded, outcome.format);
      break;
    case LoadResult::Refused: AdoptDocument(state, Lines(), state.CurrentFileName, Adoption::Refused); break;
  }
  return outcome.result;
}

// ---- changes to the Document -------------------------------------------------------

void CommitDocument(MainState& state, Lines lines, int currentLine) {
  const LinesDiff diff = DiffLines(state.Document, lines);
  state.LastChange = diff;
  if (!diff.Empty())
    state.Undo.Record(diff.at, LinesAt(state.Document, diff.at, diff.removed), diff.inserted, state.CurrentLine,
                      currentLine);
  state.Document = std::move(lines);
  state.CurrentLine = currentLine;
  state.DocumentChanged = 1;
}

void CommitLines(MainState& state, std::size_t at, std::size_t count, Lines lines, int currentLine) {
  const LinesDiff diff = DiffLines(state.Document, at, count, lines);
  Lines replaced = SpliceLines(state.Document, at, count, std::move(lines));
  state.LastChange = {at + diff.at, diff.removed, diff.inserted};
  if (!diff.Empty())
    state.Undo.Record(at + diff.at, LinesAt(replaced, diff.at, diff.removed), diff.inserted, state.CurrentLine,
                      currentLine);
  state.CurrentLine = currentLine;
  state.DocumentChanged = 1;
}

namespace {

bool TakeStep(MainState& state, std::optional<int> line) {
  if (!line) return false;
  state.LastChange = state.Undo.Swapped();
  state.CurrentLine = *line;
  state.DocumentChanged = 1;
  return true;
}

}  // namespace

bool UndoChange(MainState& state) { return TakeStep(state, state.Undo.Undo(state.Document)); }

bool UndoChange(MainState& state, Dialogs& dialogs) {
  if (UndoChange(state)) return true;
  if (state.Undo.DroppedUntold()) {
    state.Undo.ToldDropped();
    Notice(dialogs, std::string(msg::kUndoStepsDropped));
  }
  return false;
}

bool RedoChange(MainState& state) { return TakeStep(state, state.Undo.Redo(state.Document)); }

}  // namespace cavel
