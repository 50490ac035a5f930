#include "core/Undo.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "core/MainState.h"

namespace cavel {

namespace {

// The common start and end of two ranges of lines, the end never reaching
// back into the start.
template <class It1, class It2>
LinesDiff DiffRanges(It1 first1, It1 last1, It2 first2, It2 last2) {
  const auto n1 = static_cast<std::size_t>(std::distance(first1, last1));
  const auto n2 = static_cast<std::size_t>(std::distance(first2, last2));
  const std::size_t shorter = std::min(n1, n2);
  std::size_t start = 0;
  while (start < shorter && *first1 == *first2) ++start, ++first1, ++first2;
  std::size_t end = 0;
  while (start + end < shorter && *std::prev(last1) == *std::prev(last2)) ++end, --last1, --last2;
  return {start, n1 - start - end, n2 - start - end};
}

template <class It>
auto Moved(It it) {
  return std::make_move_iterator(it);
}

Lines TakeLines(Lines& lines, std::size_t at, std::size_t count) {
  const auto first = lines.begin() + static_cast<std::ptrdiff_t>(at);
  return Lines(Moved(first), Moved(first + static_cast<std::ptrdiff_t>(count)));
}

}  // namespace

LinesDiff DiffLines(const Lines& before, const Lines& after) {
  return DiffRanges(before.begin(), before.end(), after.begin(), after.end());
}

Lines SpliceLines(Lines& document, std::size_t at, std::size_t count, Lines lines) {
  const auto first = document.begin() + static_cast<std::ptrdiff_t>(at);
  const auto last = first + static_cast<std::ptrdiff_t>(count);
  Lines replaced;
  replaced.reserve(count);
  Lines out;
  out.reserve(document.size() - count + lines.size());
  // Room is made first: from here on lines are only moved, so that a
  // failure leaves the Document whole.
  replaced.insert(replaced.end(), Moved(first), Moved(last));
  out.insert(out.end(), Moved(document.begin()), Moved(first));
  out.insert(out.end(), Moved(lines.begin()), Moved(lines.end()));
  out.insert(out.end(), Moved(last), Moved(document.end()));
  document = std::move(out);
  return replaced;
}

// ---- the history --------------------------------------------------------------

void UndoHistory::Record(std::size_t at, Lines replaced, std::size_t inserted, int lineBefore, int lineAfter) {
  steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(done_), steps_.end());
  steps_.push_back(Step{at, std::move(replaced), inserted, lineBefore, lineAfter});
  if (steps_.size() > kMaxSteps) steps_.pop_front();
  done_ = steps_.size();
}

bool UndoHistory::Swap(Lines& document, Step& step) {
  if (step.at > document.size() || step.shown > document.size() - step.at) return false;
  const std::size_t count = step.held.size();
  step.held = SpliceLines(document, step.at, step.shown, std::move(step.held));
  step.shown = count;
  return true;
}

std::optional<int> UndoHistory::Undo(Lines& document) {
  if (!CanUndo()) return std::nullopt;
  Step& step = steps_[done_ - 1];
  // A Document that no longer fits the steps was replaced behind the
  // history's back: its steps would damage it.
  if (!Swap(document, step)) {
    Clear();
    return std::nullopt;
  }
  --done_;
  return step.lineBefore;
}

std::optional<int> UndoHistory::Redo(Lines& document) {
  if (!CanRedo()) return std::nullopt;
  Step& step = steps_[done_];
  if (!Swap(document, step)) {
    Clear();
    return std::nullopt;
  }
  ++done_;
  return step.lineAfter;
}

void UndoHistory::Clear() {
  std::deque<Step>().swap(steps_);
  done_ = 0;
}

std::size_t UndoHistory::MemoryBytes() const {
  std::size_t bytes = 0;
  for (const Step& step : steps_) {
    bytes += sizeof(Step) + step.held.capacity() * sizeof(Lines::value_type);
    for (const auto& line : step.held) bytes += line.size();
  }
  return bytes;
}

// ---- the Document's changes ----------------------------------------------------------

void CommitDocument(MainState& state, Lines lines, int currentLine) {
  const LinesDiff diff = DiffLines(state.Document, lines);
  if (!diff.Empty())
    state.Undo.Record(diff.at, TakeLines(state.Document, diff.at, diff.removed), diff.inserted, state.CurrentLine,
                      currentLine);
  state.Document = std::move(lines);
  state.CurrentLine = currentLine;
  state.DocumentChanged = 1;
}

void CommitLines(MainState& state, std::size_t at, std::size_t count, Lines lines, int currentLine) {
  const auto first = state.Document.begin() + static_cast<std::ptrdiff_t>(at);
  const LinesDiff diff = DiffRanges(first, first + static_cast<std::ptrdiff_t>(count), lines.begin(), lines.end());
  Lines replaced = SpliceLines(state.Document, at, count, std::move(lines));
  if (!diff.Empty())
    state.Undo.Record(at + diff.at, TakeLines(replaced, diff.at, diff.removed), diff.inserted, state.CurrentLine,
                      currentLine);
  state.CurrentLine = currentLine;
  state.DocumentChanged = 1;
}

namespace {

bool TakeStep(MainState& state, std::optional<int> line) {
  if (!line) return false;
  state.CurrentLine = *line;
  state.DocumentChanged = 1;
  return true;
}

}  // namespace

bool UndoChange(MainState& state) { return TakeStep(state, state.Undo.Undo(state.Document)); }

bool RedoChange(MainState& state) { return TakeStep(state, state.Undo.Redo(state.Document)); }

}  // namespace cavel
