// The main window's command table: one entry per menu, menu item,
// separator and tool button, in the order the window shows them, each with
// the handler it runs and its enabled state in each control state. The
// window makes its controls from it (windows/CommandTable.h); adding a
// command is adding an entry.
#pragma once

#include <span>
#include <string_view>

#include "windows/CommandTable.h"

namespace cavel {

class TForm1;

struct MainCommand {
  CommandKind kind;
  const char* name;
  std::string_view caption = {};
  const char* shortcut = nullptr;  // portable text, "Ctrl+O"; more than one as "Ctrl+C; Ctrl+Ins"
  void (TForm1::*run)() = nullptr;
  Enablement enabled = kAlways;
};

std::span<const MainCommand> MainCommands();

}  // namespace cavel
