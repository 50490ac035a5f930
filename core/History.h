// The recent-file list: slots 1..9 of HeldSettings::OpenFileName, the most
// recent first, "none" marking an empty slot.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Settings.h"

namespace cavel {

// Names of files are compared exactly (byte for byte): on this platform two
// names that differ in case are two files.
bool SameFileName(std::string_view a, std::string_view b);

// Puts `name` at the top: an equal slot k moves to slot 1 (in its stored
// spelling) and slots 1..k-1 move down; with no equal slot every entry moves
// down one (slot 9 drops out) and slot 1 takes `name`. A name with a line
// break in it, which the settings file cannot hold, is left out.
void HistoryAddFile(HeldSettings& s, std::string_view name);
// Slots above OpenFileNum become "none".
void HistoryTrim(HeldSettings& s);
// Slot i (1..9) goes to slot 1; slots 1..i-1 move down by one.
void HistoryMoveToTop(HeldSettings& s, int i);

struct HistoryMenuItem {
  bool visible = false;
  std::string caption;  // the full path, readable (ReadableFileName), in UTF-8
};
// What the nine recent-file items show: hidden for "none", else the path.
std::vector<HistoryMenuItem> HistoryMenuItems(const HeldSettings& s);

}  // namespace cavel
