#include "core/Find.h"

#include <algorithm>
#include <utility>

#include "core/Messages.h"
#include "core/Text.h"

namespace cavel {

int FindLine(const Lines& lines, std::string_view text, int from) {
  if (text.empty()) return -1;
  for (std::size_t i = from < 0 ? 0 : static_cast<std::size_t>(from); i < lines.size(); ++i)
    if (SjisFind(lines[i].view(), text) != std::string_view::npos) return static_cast<int>(i);
  return -1;
}

void ShiftHistory(History3& history, const std::string& entry) {
  history[3] = std::move(history[2]);
  history[2] = std::move(history[1]);
  history[1] = entry;
}

namespace {

ComboSetup Combo(const History3& history) { return ComboSetup{history[1], {history[1], history[2], history[3]}}; }

}  // namespace

// ---- find -------------------------------------------------------------------------

ComboSetup FindJump::OpenFind() {
  state_.FindText = state_.FindHistory[1];
  encodable_ = true;
  return Combo(state_.FindHistory);
}

void FindJump::FindOk(std::string text, bool encodable) {
  state_.FindText = std::move(text);
  encodable_ = encodable;
}

void FindJump::FindCancel() {
  state_.FindText.clear();
  encodable_ = true;
}

std::optional<int> FindJump::Search(Dialogs& dialogs, int from) {
  int row = encodable_ ? FindLine(state_.Document, state_.FindText, from) : -1;
  if (row < 0) {
    Notice(dialogs, std::string(msg::kNotFound));
    return std::nullopt;
  }
  return row;
}

std::optional<int> FindJump::Find(Dialogs& dialogs, int selection) {
  if (state_.FindText.empty()) return std::nullopt;
  std::optional<int> row = Search(dialogs, selection < 0 ? 0 : selection);
  ShiftHistory(state_.FindHistory, state_.FindText);
  return row;
}

std::optional<int> FindJump::ReFind(Dialogs& dialogs, int selection) {
  if (state_.FindText.empty()) {
    Notice(dialogs, std::string(msg::kNotFound));
    return std::nullopt;
  }
  std::optional<int> row = Search(dialogs, selection < 0 ? 0 : selection + 1);
  ShiftHistory(state_.FindHistory, state_.FindText);
  return row;
}

// ---- jump -------------------------------------------------------------------------

ComboSetup FindJump::OpenJump() {
  state_.JumpText = state_.JumpHistory[1];
  return Combo(state_.JumpHistory);
}

int FindJump::JumpDialogMax() const {
  return std::clamp(state_.ReadLimitLines, static_cast<int>(kMaxLines), static_cast<int>(kMostLines)) - 1;
}

std::string FindJump::JumpRangeLabel() const { return "(0-" + Dec(JumpDialogMax()) + ")"; }

int FindJump::JumpTextLength() const {
  return std::max(kJumpTextChars, static_cast<int>(Dec(JumpDialogMax()).size()));
}

bool FindJump::JumpOk(Dialogs& dialogs, const std::string& text) {
  int value = 0;
  if (!ParseInt(text, value)) {
    ErrorReport(dialogs, msg::NotAnInteger(text));
    return false;
  }
  if (value < 0 || value > JumpDialogMax()) {
    Refuse(dialogs, std::string(msg::kJumpOutOfRange));
    return false;
  }
  state_.JumpText = text;
  return true;
}

void FindJump::JumpCancel() { state_.JumpText.clear(); }

std::optional<int> FindJump::Jump(int lineCount) {
  int value = 0;
  if (state_.JumpText.empty() || !ParseInt(state_.JumpText, value) || value < 0 ||
      value > std::max(kJumpMax, JumpDialogMax()))
    return std::nullopt;
  ShiftHistory(state_.JumpHistory, state_.JumpText);
  if (lineCount <= 0) return std::nullopt;
  return value < lineCount - 1 ? value : lineCount - 1;
}

}  // namespace cavel
