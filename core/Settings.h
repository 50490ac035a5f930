// The held settings, the settings file that keeps them between runs, the
// window placement rule and the memory of grid column widths per file.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/AtomicFile.h"

namespace cavel {

// Window numbers whose placement is remembered.
inline constexpr int kWinMain = 1, kWinView = 2, kWinItemset = 3, kWinCreate = 7, kWinExchange = 8,
                     kWinInport = 9, kWinConvert = 10;
inline constexpr int kResumeSlots = 64;
inline constexpr int kHistorySlots = 9;
inline constexpr std::string_view kNone = "none";

struct HeldSettings {
  // Index k = window number (1..16); index 0 unused.
  std::array<bool, 17> FormPosMem{};
  std::array<int, 17> FormLeft{}, FormTop{}, FormWidth{}, FormHeight{};
  // Index 1..9; index 0 unused. "none" marks an empty slot.
  std::array<std::string, 10> OpenFileName{};
  int OpenFileNum = 9;
  bool GridDisp = true;
  bool GridResum = true;
  bool GridWidthSave = false;
  int ColWidth = 84;
  bool CloseDialogDisp = false;
  // Working copy of the column-width memory: 1..64 mirror the file, 0 is scratch.
  std::array<std::string, 65> ResumeFileName{}, ResumeColumNum{};

  HeldSettings();  // the defaults of a missing settings file
};

// The settings-file name for a program path: the extension (what follows the
// last "." after the last "/") replaced by ".INI", or ".INI" appended.
std::string SettingsFileName(std::string_view programPath);
// Where the settings file lives: beside the program when its folder can be
// written, otherwise the same file name under $XDG_CONFIG_HOME/cavel (or
// ~/.config/cavel), which is created when missing.
std::string SettingsFilePath(std::string_view programPath);

// Reads every held value but the column-width memory, in the table order.
// A missing file or key gives the defaults; "Max" is clamped into 0..9.
void ReadIniFileValue(const std::string& iniPath, HeldSettings& s);
// Writes every held value but the column-width memory, in the same order,
// keeping whatever else the file holds.
WriteOutcome WriteIniFileValue(const std::string& iniPath, const HeldSettings& s);

// ---- placement ---------------------------------------------------------------
struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};
enum class WindowState { Normal, Minimized, Maximized };

// The saved bounds when FormPosMem[k] is set and none of them is -1, else
// the design size centred on the screen (division truncating toward zero).
Rect PlaceWindow(const HeldSettings& s, int k, int designWidth, int designHeight, int screenWidth,
                 int screenHeight);
// Centred on the screen with the design size.
Rect CentreWindow(int designWidth, int designHeight, int screenWidth, int screenHeight);
// Copies the bounds into the held values of window k when it is in the normal state.
void CaptureWindowBounds(HeldSettings& s, int k, const Rect& bounds, WindowState state);

// What a window's frame adds around its client area; `top` holds the title bar.
struct FrameMargins {
  int left = 0, top = 0, right = 0, bottom = 0;
};
// How much of a title bar's width must lie on a screen for it to be grabbed.
inline constexpr int kTitleGrip = 64;
// Bounds (frame position, client size) at which a window can be reached on
// `screens`, the available areas of the screens (task bars and panels left
// out):
//  - a window larger than its screen (the one it overlaps most, else the
//    nearest) is fitted to it and moved inside it;
//  - a window whose title bar lies on no screen (its top edge outside every
//    screen, or less than kTitleGrip pixels of its width on the screen that
//    holds its top edge) is moved inside its screen, whole;
//  - any other window keeps its bounds, even when part of it is off screen.
// With no screens the bounds stay as they are.
Rect ReachableBounds(const Rect& bounds, const std::vector<Rect>& screens, const FrameMargins& frame);

// Where a window was placed: the bounds the placement rule gave and the
// bounds it got once made reachable.
struct Placement {
  Rect wanted;
  Rect applied;
};
// CaptureWindowBounds, except that a window still at bounds that were made
// reachable leaves the held bounds as they were: moving a window onto the
// screen does not overwrite where the user last put it, only the user's own
// moving or resizing does.
void CapturePlacedBounds(HeldSettings& s, int k, const Placement& placed, const Rect& bounds, WindowState state);

// ---- column-width memory ---------------------------------------------------------
// Loads slots 1..64 from the file into s.ResumeFileName / s.ResumeColumNum and
// returns the first slot whose name contains `fileName` (0 when none).
int FindColumnWidths(const std::string& iniPath, std::string_view fileName, HeldSettings& s);
// Records `widths` (columns 0..n-1) for `fileName` as slot 1, moving the
// others as the memory's shift rules say, and writes all 128 keys.
WriteOutcome StoreColumnWidths(const std::string& iniPath, std::string_view fileName,
                               const std::vector<int>& widths, HeldSettings& s);
// "64,84,120": the widths joined by commas, no blanks, no trailing comma.
std::string WidthListText(const std::vector<int>& widths);
// The widest column a width list may give; a larger number ends the list.
inline constexpr int kMaxColumnWidth = 32767;
// The valid leading numbers of a width list: parsing ends at the first part
// that is not a decimal number (digits only: no sign, no blank), at a width
// above kMaxColumnWidth, and after `maxCount` numbers.
std::vector<int> ParseWidthList(std::string_view text, std::size_t maxCount);

// Whether a remembered name is the given file: the two names are equal, byte
// for byte; an empty name never matches. (A test for `name` occurring inside
// `stored` would hand the widths of /d/a.csv.bak to /d/a.csv and then
// overwrite that entry when a.csv's widths are stored.)
bool StoredNameMatches(std::string_view stored, std::string_view name);

}  // namespace cavel
