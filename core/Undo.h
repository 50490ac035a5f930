// Undo and redo of the changes made to the Document.
//
// A step keeps only the part of the Document that one change replaced:
// where it starts, the lines that the Document does not hold now, and how
// many lines of the Document stand in their place, with CurrentLine before
// and after the change. Undoing a step swaps its lines back into the
// Document and keeps the ones it took out, so that redoing it is the same
// swap again. The rest of the Document is never copied: a record save keeps
// one old line.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <utility>

#include "core/Document.h"

namespace cavel {

// Where two lists of lines differ once their common start and common end
// are taken away: `removed` lines of the first list from `at` stand where
// `inserted` lines of the second stand.
struct LinesDiff {
  std::size_t at = 0;
  std::size_t removed = 0;
  std::size_t inserted = 0;
  bool Empty() const { return removed == 0 && inserted == 0; }
};
LinesDiff DiffLines(const Lines& before, const Lines& after);
// The same between the `count` lines of `before` from `at` and `after`;
// `at` of the result counts from there.
LinesDiff DiffLines(const Lines& before, std::size_t at, std::size_t count, const Lines& after);
// The `count` lines of `lines` from `at`, as a list of their own.
Lines LinesAt(const Lines& lines, std::size_t at, std::size_t count);

// Replaces the `count` lines of `document` from `at` by `lines` and returns
// the lines it replaced. Only handles are copied, never line bytes.
Lines SpliceLines(Lines& document, std::size_t at, std::size_t count, Lines lines);

class UndoHistory {
 public:
  static constexpr std::size_t kMaxSteps = 100;
  // What the steps may hold together before the oldest are dropped: a
  // change of every line keeps the whole old Document, and a few of them on
  // a large file would otherwise fill the memory. The newest step is always
  // kept, whatever its size.
  static constexpr std::size_t kMaxBytes = std::size_t(256) << 20;

  explicit UndoHistory(std::size_t maxBytes = kMaxBytes) : maxBytes_(maxBytes) {}

  // Records one change: from line `at`, the lines `replaced` gave way to the
  // `inserted` lines the Document now holds there; CurrentLine went from
  // `lineBefore` to `lineAfter`. The steps that could have been redone are
  // dropped, and the oldest steps beyond kMaxSteps or the byte bound.
  void Record(std::size_t at, Lines replaced, std::size_t inserted, int lineBefore, int lineAfter);

  bool CanUndo() const { return done_ > 0; }
  bool CanRedo() const { return done_ < steps_.size(); }
  std::size_t UndoCount() const { return done_; }
  std::size_t RedoCount() const { return steps_.size() - done_; }

  // Takes the last step back on `document` and returns CurrentLine as it was
  // before the step; with no step to take, nothing changes.
  std::optional<int> Undo(Lines& document);
  // Takes the next undone step again and returns CurrentLine as it was after
  // the step; with no step to take, nothing changes.
  std::optional<int> Redo(Lines& document);

  void Clear();

  // Where the last Undo or Redo changed the Document: from `at`, `removed`
  // lines gave way to `inserted` others.
  const LinesDiff& Swapped() const { return swapped_; }

  // Whether older steps were dropped for the bounds since the user was last
  // told so. Asking to undo past the oldest kept step tells them, once.
  bool DroppedUntold() const { return dropped_ && !told_; }
  void ToldDropped() {
    told_ = true;
    Changed();
  }
  // `changed` is called after every change of what can be undone or redone
  // (a step recorded, undone or redone, the history cleared).
  void OnChange(std::function<void()> changed) { changed_ = std::move(changed); }

  // What the steps hold beyond the Document: their lines' bytes and the
  // steps' own storage.
  std::size_t MemoryBytes() const;

 private:
  struct Step {
    std::size_t at = 0;
    Lines held;             // the lines of this step that the Document does not hold now
    std::size_t shown = 0;  // how many lines from `at` the Document holds in their place
    int lineBefore = 0;
    int lineAfter = 0;
    std::size_t bytes = 0;  // what `held` holds, with the step's own storage
  };
  static std::size_t StepBytes(const Step& step);
  // Swaps the step's lines with the ones the Document holds in their place.
  // False when the Document is too short for them: it is left alone and the
  // history cleared.
  bool Swap(Lines& document, Step& step);

  void Changed() const {
    if (changed_) changed_();
  }

  std::deque<Step> steps_;
  std::size_t done_ = 0;   // steps_[0, done_) can be undone, the rest redone
  std::size_t bytes_ = 0;  // the steps' bytes together
  std::size_t maxBytes_;
  bool dropped_ = false;
  bool told_ = false;
  std::function<void()> changed_;
  LinesDiff swapped_;
};

}  // namespace cavel
