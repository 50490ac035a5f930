#include "core/Record.h"

#include <algorithm>

#include "core/LineCheck.h"
#include "core/Messages.h"
#include "core/Text.h"

namespace cavel {

std::string ItemNumberText(int n) { return Dec2(n) + " : "; }

bool TitleKoumokuSet(MainState& state, Dialogs& dialogs) {
  std::string_view title = state.Document.empty() ? std::string_view() : state.Document[0].view();
  LineScan scan;
  if (!CheckLine(title, 0, dialogs, scan)) {
    state.RecordSetupFailed = 1;
    return false;
  }
  for (int n = 1; n <= kMaxItems; ++n) {
    std::string text = ItemNumberText(n);
    if (n <= scan.itemCount) text += SjisPrefix(scan.Item(title, n), kTitleLabelBytes);
    state.TitleItems[n] = std::move(text);
  }
  return true;
}

bool EditKoumokuSet(MainState& state, Dialogs& dialogs, int line) {
  if (line < 0 || static_cast<std::size_t>(line) >= state.Document.size()) {
    Notice(dialogs, std::string(msg::kSelectLineFirst));
    state.RecordSetupFailed = 1;
    return false;
  }
  std::string_view text = state.Document[static_cast<std::size_t>(line)].view();
  LineScan scan;
  if (!CheckLine(text, line, dialogs, scan)) {
    state.RecordSetupFailed = 1;
    return false;
  }
  state.CurrentLine = line;
  for (int n = 1; n <= kMaxItems; ++n)
    state.LineItems[n] = n <= scan.itemCount ? std::string(scan.Item(text, n)) : ItemNumberText(n);
  state.LineItemCount = scan.itemCount;
  return true;
}

// ---- the window's state ------------------------------------------------------------

bool RecordWindow::Open(Dialogs& dialogs, RecordMode mode, int listSelection, int line) {
  if (listSelection < 0) {
    Notice(dialogs, std::string(msg::kSelectLineFirst));
    return false;
  }
  mode_ = mode;
  editableRows_ = 0;
  state_.RecordSetupFailed = 0;
  if (!TitleKoumokuSet(state_, dialogs)) return false;
  state_.CurrentLine = line;
  if (!EditKoumokuSet(state_, dialogs, line)) return false;
  editableRows_ = mode_ == RecordMode::Edit ? state_.LineItemCount : 0;
  visibleRows_ = state_.LineItemCount;
  return true;
}

std::string RecordWindow::ModeLabel() const {
  return std::string(mode_ == RecordMode::Edit ? msg::kModeEdit : msg::kModeView);
}

std::string RecordWindow::PositionCaption() const {
  return msg::PositionCaption(msg::kCaptionView, state_.CurrentFileName, state_.CurrentLine);
}

void RecordWindow::SwitchToEdit() {
  mode_ = RecordMode::Edit;
  editableRows_ = std::max(editableRows_, state_.LineItemCount);
}

RecordWindow::Step RecordWindow::Show(Dialogs& dialogs, int line) {
  Step step;
  step.titlesSet = TitleKoumokuSet(state_, dialogs);
  step.valuesSet = EditKoumokuSet(state_, dialogs, line);
  return step;
}

RecordWindow::Step RecordWindow::Prev(Dialogs& dialogs) { return Show(dialogs, std::max(state_.CurrentLine - 1, 0)); }

RecordWindow::Step RecordWindow::Next(Dialogs& dialogs) {
  int last = std::max(static_cast<int>(state_.Document.size()) - 1, 0);
  return Show(dialogs, std::min(state_.CurrentLine + 1, last));
}

bool RecordWindow::ConfirmSave(Dialogs& dialogs) const {
  return mode_ == RecordMode::Edit && Ask(dialogs, std::string(msg::kAskSaveRecord));
}

std::string RecordWindow::Join(const std::vector<BoxValue>& boxes) const {
  std::string line;
  for (int n = 1; n <= state_.LineItemCount; ++n) {
    if (n > 1) line += ',';
    std::size_t i = static_cast<std::size_t>(n) - 1;
    if (i < boxes.size() && boxes[i])
      line += *boxes[i];
    else
      line += state_.LineItems[n];
  }
  return line;
}

bool RecordWindow::Save(Dialogs& dialogs, const std::vector<BoxValue>& boxes) {
  if (mode_ != RecordMode::Edit) return false;
  if (state_.CurrentLine < 0 || static_cast<std::size_t>(state_.CurrentLine) >= state_.Document.size()) return false;
  std::string line = Join(boxes);
  if (line.size() > kMaxLineBytes) {
    Refuse(dialogs, std::string(msg::kRecordTooLong));
    return false;
  }
  // Only the one line is replaced: the rest of the Document is not compared.
  Lines joined;
  joined.push_back(Line(line));
  CommitLines(state_, static_cast<std::size_t>(state_.CurrentLine), 1, std::move(joined), state_.CurrentLine);
  return true;
}

}  // namespace cavel
