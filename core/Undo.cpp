#include "core/Undo.h"

#include <algorithm>
#include <iterator>
#include <utility>

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

}  // namespace

LinesDiff DiffLines(const Lines& before, const Lines& after) {
  return DiffRanges(before.begin(), before.end(), after.begin(), after.end());
}

LinesDiff DiffLines(const Lines& before, std::size_t at, std::size_t count, const Lines& after) {
  const auto first = before.begin() + static_cast<std::ptrdiff_t>(at);
  return DiffRanges(first, first + static_cast<std::ptrdiff_t>(count), after.begin(), after.end());
}

Lines LinesAt(const Lines& lines, std::size_t at, std::size_t count) {
  const auto first = lines.begin() + static_cast<std::ptrdiff_t>(at);
  return Lines(first, first + static_cast<std::ptrdiff_t>(count));
}

Lines SpliceLines(Lines& document, std::size_t at, std::size_t count, Lines lines) {
  const auto first = document.begin() + static_cast<std::ptrdiff_t>(at);
  const auto last = first + static_cast<std::ptrdiff_t>(count);
  Lines replaced;
  replaced.reserve(count);
  Lines out;
  out.reserve(document.size() - count + lines.size());
  // Room is made first: from here on only handles are copied, so that a
  // failure leaves the Document whole.
  replaced.insert(replaced.end(), first, last);
  out.insert(out.end(), document.begin(), first);
  out.insert(out.end(), lines.begin(), lines.end());
  out.insert(out.end(), last, document.end());
  document = std::move(out);
  return replaced;
}

// ---- the history --------------------------------------------------------------

std::size_t UndoHistory::StepBytes(const Step& step) {
  std::size_t bytes = sizeof(Step) + step.held.capacity() * sizeof(Lines::value_type);
  for (const auto& line : step.held) bytes += line.size();
  return bytes;
}

void UndoHistory::Record(std::size_t at, Lines replaced, std::size_t inserted, int lineBefore, int lineAfter) {
  while (steps_.size() > done_) {
    bytes_ -= steps_.back().bytes;
    steps_.pop_back();
  }
  Step step{at, std::move(replaced), inserted, lineBefore, lineAfter};
  step.bytes = StepBytes(step);
  bytes_ += step.bytes;
  steps_.push_back(std::move(step));
  while (steps_.size() > kMaxSteps || (bytes_ > maxBytes_ && steps_.size() > 1)) {
    bytes_ -= steps_.front().bytes;
    steps_.pop_front();
    dropped_ = true;
    told_ = false;
  }
  done_ = steps_.size();
  Changed();
}

bool UndoHistory::Swap(Lines& document, Step& step) {
  // A Document that no longer fits the step was replaced behind the
  // history's back: its steps would damage it.
  if (step.at > document.size() || step.shown > document.size() - step.at) {
    Clear();
    return false;
  }
  const std::size_t count = step.held.size();
  swapped_ = {step.at, step.shown, count};
  step.held = SpliceLines(document, step.at, step.shown, std::move(step.held));
  step.shown = count;
  bytes_ -= step.bytes;
  step.bytes = StepBytes(step);
  bytes_ += step.bytes;
  return true;
}

std::optional<int> UndoHistory::Undo(Lines& document) {
  if (!CanUndo() || !Swap(document, steps_[done_ - 1])) return std::nullopt;
  --done_;
  Changed();
  return steps_[done_].lineBefore;
}

std::optional<int> UndoHistory::Redo(Lines& document) {
  if (!CanRedo() || !Swap(document, steps_[done_])) return std::nullopt;
  ++done_;
  Changed();
  return steps_[done_ - 1].lineAfter;
}

void UndoHistory::Clear() {
  std::deque<Step>().swap(steps_);
  done_ = 0;
  bytes_ = 0;
  dropped_ = told_ = false;
  Changed();
}

std::size_t UndoHistory::MemoryBytes() const { return bytes_; }

}  // namespace cavel
