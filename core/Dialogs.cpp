#include "core/Dialogs.h"

namespace cavel {

std::string_view KindCaption(MsgKind kind) {
  switch (kind) {
    case MsgKind::Warning: return "警告";
    case MsgKind::Error: return "ｴﾗｰ";
    case MsgKind::Information: return "情報";
    case MsgKind::Confirmation: return "確認";
  }
  return "";
}

std::string_view KindName(MsgKind kind) {
  switch (kind) {
    case MsgKind::Warning: return "warning";
    case MsgKind::Error: return "error";
    case MsgKind::Information: return "information";
    case MsgKind::Confirmation: return "confirmation";
  }
  return "";
}

std::string_view ButtonCaption(MsgButton button) {
  switch (button) {
    case mbYes: return "はい(&Y)";
    case mbNo: return "いいえ(&N)";
    case mbOK: return "OK";
    case mbCancel: return "ｷｬﾝｾﾙ";
    case mbAbort: return "中止(&A)";
    case mbRetry: return "再試行(&R)";
    case mbIgnore: return "無視(&I)";
    case mbAll: return "すべて";
    case mbHelp: return "ﾍﾙﾌﾟ";
    default: return "";
  }
}

std::vector<MsgButton> ButtonsInOrder(MsgButtons buttons) {
  std::vector<MsgButton> out;
  for (MsgButton b : kAllButtons)
    if (buttons & b) out.push_back(b);
  return out;
}

MsgButton EscapeButton(MsgButtons buttons) {
  for (MsgButton b : {mbCancel, mbNo, mbAbort})
    if (buttons & b) return b;
  auto order = ButtonsInOrder(buttons);
  return order.empty() ? mbNone : order.front();
}

void Refuse(Dialogs& dialogs, const std::string& text) { dialogs.ShowMessageDlg(text, MsgKind::Warning, mbAbort); }

bool Ask(Dialogs& dialogs, const std::string& text) {
  return dialogs.ShowMessageDlg(text, MsgKind::Information, mbYes | mbNo) == mbYes;
}

void Notice(Dialogs& dialogs, const std::string& text) { dialogs.ShowMessageDlg(text, MsgKind::Information, mbOK); }

void ErrorReport(Dialogs& dialogs, const std::string& text) { dialogs.ShowMessageDlg(text, MsgKind::Error, mbOK); }

MsgButton ScriptedDialogs::ShowMessageDlg(const std::string& text, MsgKind kind, MsgButtons buttons) {
  MsgButton answer;
  if (!script_.empty()) {
    answer = script_.front();
    script_.pop_front();
  } else if (buttons & fallback_) {
    answer = fallback_;
  } else {
    auto order = ButtonsInOrder(buttons);
    answer = order.empty() ? mbNone : order.front();
  }
  shown_.push_back(Shown{text, kind, buttons, answer});
  return answer;
}

std::vector<std::string> ScriptedDialogs::texts() const {
  std::vector<std::string> out;
  out.reserve(shown_.size());
  for (const auto& s : shown_) out.push_back(s.text);
  return out;
}

}  // namespace cavel
