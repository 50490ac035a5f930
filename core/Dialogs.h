// The one port through which the program reports and asks.
//
// Core code never shows anything itself: it hands a text, a kind and a set
// of buttons to a Dialogs implementation and goes on with the button that
// came back. The desktop shell implements the port with a message box; tests
// and cavel-check use ScriptedDialogs, which answers from a script and
// records every message.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace cavel {

enum class MsgKind { Warning, Error, Information, Confirmation };

// The nine buttons, in the order of their bits from 1 upward.
enum MsgButton : unsigned {
  mbNone = 0,
  mbYes = 1u << 0,
  mbNo = 1u << 1,
  mbOK = 1u << 2,
  mbCancel = 1u << 3,
  mbAbort = 1u << 4,
  mbRetry = 1u << 5,
  mbIgnore = 1u << 6,
  mbAll = 1u << 7,
  mbHelp = 1u << 8,
};
using MsgButtons = unsigned;

inline constexpr MsgButton kAllButtons[] = {mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbHelp};

// "警告", "ｴﾗｰ", "情報", "確認" (UTF-8).
std::string_view KindCaption(MsgKind kind);
// Short English name of the kind: "warning", "error", "information", "confirmation".
std::string_view KindName(MsgKind kind);
// "はい(&Y)", "いいえ(&N)", "OK", ... (UTF-8); empty for mbNone or a mixed set.
std::string_view ButtonCaption(MsgButton button);
// The buttons of a set, in bit order.
std::vector<MsgButton> ButtonsInOrder(MsgButtons buttons);

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Shows `text` (UTF-8; a line break is LF CR) modally and returns the
  // button pressed. A box closed without a button returns the set's
  // cancelling button (Cancel, No, Abort, or the only button).
  virtual MsgButton ShowMessageDlg(const std::string& text, MsgKind kind, MsgButtons buttons) = 0;
};

// The five combinations the program uses.
// Warning with the single button 中止(&A): every refused action.
void Refuse(Dialogs& dialogs, const std::string& text);
// Information with はい(&Y) and いいえ(&N); true only on はい(&Y).
bool Ask(Dialogs& dialogs, const std::string& text);
// Information with OK: nothing found, select a line first.
void Notice(Dialogs& dialogs, const std::string& text);
// Error with OK: the report of a failure of the platform (a file that
// cannot be read or written, a text that is not a number).
void ErrorReport(Dialogs& dialogs, const std::string& text);

// The button a box returns when it is closed without choosing: the set's
// cancelling button, else its only or first button.
MsgButton EscapeButton(MsgButtons buttons);

// Answers from a script and records every message shown. With the script
// empty it answers `fallback` when that button is in the set, otherwise the
// first button of the set.
class ScriptedDialogs : public Dialogs {
 public:
  struct Shown {
    std::string text;
    MsgKind kind;
    MsgButtons buttons;
    MsgButton answer;
  };

  explicit ScriptedDialogs(MsgButton fallback = mbYes) : fallback_(fallback) {}

  MsgButton ShowMessageDlg(const std::string& text, MsgKind kind, MsgButtons buttons) override;

  void Answer(MsgButton button) { script_.push_back(button); }
  void SetFallback(MsgButton button) { fallback_ = button; }

  const std::vector<Shown>& shown() const { return shown_; }
  std::vector<std::string> texts() const;
  void Clear() {
    shown_.clear();
    script_.clear();
  }

 private:
  MsgButton fallback_;
  std::deque<MsgButton> script_;
  std::vector<Shown> shown_;
};

}  // namespace cavel
