// The held settings and the settings file that keeps them between runs.
// The placement rule is in core/WindowPlacement.h, the memory of grid column
// widths per file in core/ColumnWidths.h.
#pragma once

#include <string>
#include <string_view>

#include "core/AtomicFile.h"
#include "core/Document.h"
#include "core/OneBased.h"

namespace cavel {

// Window numbers whose placement is remembered.
inline constexpr int kWinMain = 1, kWinView = 2, kWinItemset = 3, kWinCreate = 7, kWinExchange = 8, kWinInport = 9,
                     kWinConvert = 10, kWinSort = 15;
inline constexpr int kResumeSlots = 64;
inline constexpr int kHistorySlots = 9;
inline constexpr std::string_view kNone = "none";

struct HeldSettings {
  // By window number (1..16).
  OneBased<bool, 16> FormPosMem{};
  OneBased<int, 16> FormLeft{}, FormTop{}, FormWidth{}, FormHeight{};
  // Slots 1..9; "none" marks an empty slot.
  OneBased<std::string, kHistorySlots> OpenFileName{};
  int OpenFileNum = 9;
  bool GridDisp = true;
  bool GridResum = true;
  bool GridWidthSave = false;
  int ColWidth = 84;
  bool CloseDialogDisp = false;
  // The most lines a file may have (kMaxLines .. kMostLines).
  int ReadLimitLines = static_cast<int>(kMaxLines);
  // Working copy of the column-width memory: 1..64 mirror the file, 0 is scratch.
  OneBased<std::string, kResumeSlots> ResumeFileName{}, ResumeColumNum{};

  HeldSettings();  // the defaults of a missing settings file
};

// The settings-file name for a program path: the extension (what follows the
// last "." after the last "/") replaced by ".INI", or ".INI" appended.
std::string SettingsFileName(std::string_view programPath);
// Whether a program in `folder` keeps its settings file beside it: a copy
// in a folder of the user's own that they may write does; a program
// installed in a folder of another user's, or under one of the system's
// prefixes (/usr, /usr/local, /opt, ...), does not, whoever runs it.
bool SettingsBesideProgram(std::string_view folder, bool ownedByUser, bool writable);
// Where the settings file lives: beside the program (SettingsBesideProgram),
// otherwise the same file name under $XDG_CONFIG_HOME/cavel (or
// ~/.config/cavel), which is created when missing.
std::string SettingsFilePath(std::string_view programPath);

// The line limit a stored value gives: the value when it lies in
// kMaxLines..kMostLines, otherwise kMaxLines.
int ReadLimitOf(long long stored);

// Reads every held value but the column-width memory, in the table order.
// A missing file or key gives the defaults; "Max" is clamped into 0..9; a
// line limit that is missing, no number or out of range is 30000.
void ReadIniFileValue(const std::string& iniPath, HeldSettings& s);
// Writes every held value but the column-width memory, in the same order,
// keeping whatever else the file holds.
WriteOutcome WriteIniFileValue(const std::string& iniPath, const HeldSettings& s);

}  // namespace cavel
