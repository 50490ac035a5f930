#include "core/SettingsDialogs.h"

#include "core/Messages.h"
#include "core/Text.h"

namespace cavel {

FormPosChecks FormPosDialogFill(const HeldSettings& settings) {
  FormPosChecks checks{};
  for (std::size_t i = 0; i < kFormPosWindows.size(); ++i) checks[i] = settings.FormPosMem[kFormPosWindows[i]];
  return checks;
}

void FormPosDialogSave(HeldSettings& settings, const FormPosChecks& checks) {
  for (std::size_t i = 0; i < kFormPosWindows.size(); ++i) settings.FormPosMem[kFormPosWindows[i]] = checks[i];
}

std::string FileHistoryDialogFill(const HeldSettings& settings) { return Dec(settings.OpenFileNum); }

bool FileHistoryDialogSave(HeldSettings& settings, std::string_view text) {
  int value = 0;
  if (!ParseInt(text, value) || value < 0 || value > kHistorySlots) return false;
  bool changed = value != settings.OpenFileNum;
  settings.OpenFileNum = value;
  return changed;
}

GridDialogValues GridDialogFill(const HeldSettings& settings) {
  return GridDialogValues{settings.GridDisp, settings.GridResum, settings.GridWidthSave, Dec(settings.ColWidth)};
}

GridDialogSaved GridDialogSave(MainState& state, Dialogs& dialogs, const GridDialogValues& values, bool gridVisible) {
  GridDialogSaved saved;
  int width = 0;
  if (!ParseInt(values.ColWidthText, width)) {
    ErrorReport(dialogs, msg::NotAnInteger(values.ColWidthText));
    return saved;
  }
  if (width < kColWidthMin || width > kColWidthMax) {
    Refuse(dialogs, std::string(msg::kColWidthOutOfRange));
    return saved;
  }
  state.ColWidth = width;
  state.GridDisp = values.GridDisp;
  state.GridResum = values.GridResum;
  state.GridWidthSave = values.GridWidthSave;
  state.GridBuilt = 0;
  if (state.GridDisp) {
    saved.refill = gridVisible;
  } else {
    saved.resetWidths = true;
    if (!state.Document.empty()) saved.blankRows = static_cast<int>(state.Document.size()) + 2;
  }
  if (!state.GridResum) saved.resetWidths = true;
  saved.close = true;
  return saved;
}

bool OptionDialogFill(const HeldSettings& settings) { return settings.CloseDialogDisp; }

void OptionDialogSave(HeldSettings& settings, bool closeDialogDisp) { settings.CloseDialogDisp = closeDialogDisp; }

std::string ReadLimitDialogFill(const HeldSettings& settings) { return Dec(settings.ReadLimitLines); }

bool ReadLimitDialogSave(HeldSettings& settings, Dialogs& dialogs, std::string_view text) {
  int lines = 0;
  if (!ParseInt(text, lines)) {
    ErrorReport(dialogs, msg::NotAnInteger(text));
    return false;
  }
  if (!IsLineLimit(lines)) {
    Refuse(dialogs, std::string(msg::kReadLimitOutOfRange));
    return false;
  }
  settings.ReadLimitLines = lines;
  return true;
}

}  // namespace cavel
