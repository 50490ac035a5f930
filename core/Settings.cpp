#include "core/Settings.h"

#include <algorithm>
#include <cerrno>

#include "core/IniFile.h"
#include "core/System.h"
#include "core/Text.h"

namespace cavel {

namespace {

// The windows whose placement the file keeps, in the order of the file.
struct WindowSection {
  int k;
  std::string_view section;
};
constexpr WindowSection kWindowSections[] = {
    {kWinMain, "FormMain"},         {kWinView, "FormView"},       {kWinItemset, "FormItemset"},
    {kWinCreate, "FormCreate"},     {kWinExchange, "FormExchange"}, {kWinInport, "FormInport"},
    {kWinConvert, "FormConvert"},
};

constexpr std::string_view kOpenFileName = "OpenFileName";
constexpr std::string_view kOpenFileNum = "OpenFileNum";
constexpr std::string_view kGridSet = "GridSet";
constexpr std::string_view kCloseDialogDisp = "CloseDialogDisp";
constexpr std::string_view kResumeFileName = "ResumeFileName";
constexpr std::string_view kResumeColumNum = "ResumeColumNum";

bool ValidWindow(int k) { return k >= 1 && k <= 16; }

// Loads slots 1..64 of the column-width memory from `ini`.
void LoadColumnMemory(const IniFile& ini, HeldSettings& s) {
  for (int i = 1; i <= kResumeSlots; ++i) {
    s.ResumeFileName[i] = ini.ReadString(kResumeFileName, Dec(i), "");
    s.ResumeColumNum[i] = ini.ReadString(kResumeColumNum, Dec(i), "");
  }
}

int FirstMatchingSlot(std::string_view fileName, const HeldSettings& s) {
  for (int i = 1; i <= kResumeSlots; ++i)
    if (StoredNameMatches(s.ResumeFileName[i], fileName)) return i;
  return 0;
}

std::string Folder(std::string_view path) {
  auto slash = path.rfind('/');
  if (slash == std::string_view::npos) return ".";
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

}  // namespace

HeldSettings::HeldSettings() {
  FormPosMem.fill(true);
  FormLeft.fill(-1);
  FormTop.fill(-1);
  FormWidth.fill(-1);
  FormHeight.fill(-1);
  for (int i = 1; i <= kHistorySlots; ++i) OpenFileName[i] = kNone;
}

std::string SettingsFileName(std::string_view programPath) {
  // The scan steps over whole characters so that no byte inside a character
  // is taken for "/" or ".". File names here are UTF-8; a Shift-JIS stepper
  // would pair bytes of UTF-8 characters wrongly, so Utf8CharLength it is.
  std::size_t dot = std::string_view::npos;
  for (std::size_t pos = 0; pos < programPath.size(); pos += Utf8CharLength(programPath, pos)) {
    if (programPath[pos] == '/') dot = std::string_view::npos;
    else if (programPath[pos] == '.') dot = pos;
  }
  return std::string(programPath.substr(0, dot)) + ".INI";
}

std::string SettingsFilePath(std::string_view programPath) {
  std::string beside = SettingsFileName(programPath);
  if (FolderWritable(Folder(programPath))) return beside;

  const std::string dir = XdgFolder("XDG_CONFIG_HOME", ".config");
  if (dir.empty()) return beside;
  MakeFolders(dir);
  return dir + "/" + beside.substr(beside.rfind('/') + 1);
}

void ReadIniFileValue(const std::string& iniPath, HeldSettings& s) {
  IniFile ini(iniPath);
  ini.Load();
  for (const WindowSection& w : kWindowSections) {
    s.FormPosMem[w.k] = ini.ReadBool(w.section, "Mem", true);
    s.FormLeft[w.k] = ini.ReadInteger(w.section, "Left", -1);
    s.FormTop[w.k] = ini.ReadInteger(w.section, "Top", -1);
    s.FormWidth[w.k] = ini.ReadInteger(w.section, "Width", -1);
    s.FormHeight[w.k] = ini.ReadInteger(w.section, "Height", -1);
  }
  for (int i = 1; i <= kHistorySlots; ++i) s.OpenFileName[i] = ini.ReadString(kOpenFileName, Dec(i), kNone);
  // The recent-file code indexes slots 1..OpenFileNum.
  s.OpenFileNum = std::clamp(ini.ReadInteger(kOpenFileNum, "Max", 9), 0, kHistorySlots);
  s.GridDisp = ini.ReadBool(kGridSet, "Disp", true);
  s.GridResum = ini.ReadBool(kGridSet, "Resum", true);
  s.GridWidthSave = ini.ReadBool(kGridSet, "WidthSave", false);
  s.ColWidth = ini.ReadInteger(kGridSet, "ColWidth", 84);
  s.CloseDialogDisp = ini.ReadBool(kCloseDialogDisp, "Set", false);
}

WriteOutcome WriteIniFileValue(const std::string& iniPath, const HeldSettings& s) {
  IniFile ini(iniPath);
  ini.Load();
  for (const WindowSection& w : kWindowSections) {
    ini.WriteBool(w.section, "Mem", s.FormPosMem[w.k]);
    ini.WriteInteger(w.section, "Left", s.FormLeft[w.k]);
    ini.WriteInteger(w.section, "Top", s.FormTop[w.k]);
    ini.WriteInteger(w.section, "Width", s.FormWidth[w.k]);
    ini.WriteInteger(w.section, "Height", s.FormHeight[w.k]);
  }
  for (int i = 1; i <= kHistorySlots; ++i) ini.WriteString(kOpenFileName, Dec(i), s.OpenFileName[i]);
  ini.WriteInteger(kOpenFileNum, "Max", s.OpenFileNum);
  ini.WriteBool(kGridSet, "Disp", s.GridDisp);
  ini.WriteBool(kGridSet, "Resum", s.GridResum);
  ini.WriteBool(kGridSet, "WidthSave", s.GridWidthSave);
  ini.WriteInteger(kGridSet, "ColWidth", s.ColWidth);
  ini.WriteBool(kCloseDialogDisp, "Set", s.CloseDialogDisp);
  return ini.Save();
}

// ---- placement ---------------------------------------------------------------

Rect PlaceWindow(const HeldSettings& s, int k, int designWidth, int designHeight, int screenWidth,
                 int screenHeight) {
  if (ValidWindow(k) && s.FormPosMem[k] && s.FormLeft[k] != -1 && s.FormTop[k] != -1 && s.FormWidth[k] != -1 &&
      s.FormHeight[k] != -1) {
    // A size of zero or less (a hand-edited file) would give a window that
    // cannot be seen or grabbed; such bounds count as unknown.
    if (s.FormWidth[k] > 0 && s.FormHeight[k] > 0) return {s.FormLeft[k], s.FormTop[k], s.FormWidth[k], s.FormHeight[k]};
  }
  return CentreWindow(designWidth, designHeight, screenWidth, screenHeight);
}

Rect CentreWindow(int designWidth, int designHeight, int screenWidth, int screenHeight) {
  return {(screenWidth - designWidth) / 2, (screenHeight - designHeight) / 2, designWidth, designHeight};
}

void CaptureWindowBounds(HeldSettings& s, int k, const Rect& bounds, WindowState state) {
  if (!ValidWindow(k) || state != WindowState::Normal) return;
  s.FormLeft[k] = bounds.left;
  s.FormTop[k] = bounds.top;
  s.FormWidth[k] = bounds.width;
  s.FormHeight[k] = bounds.height;
}

namespace {

struct Span {
  long long from = 0, to = 0;  // [from, to)
};

long long Overlap(Span a, Span b) { return std::max(0LL, std::min(a.to, b.to) - std::max(a.from, b.from)); }
long long Gap(Span a, Span b) { return std::max({0LL, b.from - a.to, a.from - b.to}); }
Span Across(const Rect& r) { return {r.left, static_cast<long long>(r.left) + r.width}; }
Span Down(const Rect& r) { return {r.top, static_cast<long long>(r.top) + r.height}; }

// The screen a frame is on: the one it overlaps most, else the nearest (the
// first of equals).
const Rect& ScreenOf(const Rect& outer, const std::vector<Rect>& screens) {
  const Rect* best = &screens.front();
  long long bestArea = -1, bestGap = 0;
  for (const Rect& s : screens) {
    const long long area = Overlap(Across(outer), Across(s)) * Overlap(Down(outer), Down(s));
    const long long gx = Gap(Across(outer), Across(s)), gy = Gap(Down(outer), Down(s));
    const long long gap = gx * gx + gy * gy;
    if (area > bestArea || (area == 0 && bestArea == 0 && gap < bestGap)) {
      best = &s;
      bestArea = area;
      bestGap = gap;
    }
  }
  return *best;
}

bool TitleBarOn(const Rect& outer, int titleHeight, const Rect& screen) {
  const Span down = Down(screen);
  const long long top = outer.top, bottom = top + std::max(titleHeight, 1);
  if (top < down.from || bottom > down.to) return false;
  return Overlap(Across(outer), Across(screen)) >= std::min<long long>(kTitleGrip, outer.width);
}

int Inside(int pos, int size, int from, int length) {
  return size >= length ? from : std::clamp(pos, from, from + length - size);
}

}  // namespace

Rect ReachableBounds(const Rect& bounds, const std::vector<Rect>& screens, const FrameMargins& frame) {
  if (screens.empty()) return bounds;
  const int extraWidth = frame.left + frame.right, extraHeight = frame.top + frame.bottom;
  const Rect outer{bounds.left, bounds.top, bounds.width + extraWidth, bounds.height + extraHeight};
  const Rect& screen = ScreenOf(outer, screens);
  const bool tooLarge = outer.width > screen.width || outer.height > screen.height;
  const bool reachable =
      std::any_of(screens.begin(), screens.end(), [&](const Rect& s) { return TitleBarOn(outer, frame.top, s); });
  if (reachable && !tooLarge) return bounds;
  Rect r = bounds;
  r.width = std::max(1, std::min(bounds.width, screen.width - extraWidth));
  r.height = std::max(1, std::min(bounds.height, screen.height - extraHeight));
  r.left = Inside(bounds.left, r.width + extraWidth, screen.left, screen.width);
  r.top = Inside(bounds.top, r.height + extraHeight, screen.top, screen.height);
  return r;
}

void CapturePlacedBounds(HeldSettings& s, int k, const Placement& placed, const Rect& bounds, WindowState state) {
  if (placed.applied != placed.wanted && bounds == placed.applied) return;
  CaptureWindowBounds(s, k, bounds, state);
}

// ---- column-width memory ---------------------------------------------------------

bool StoredNameMatches(std::string_view stored, std::string_view name) {
  return !name.empty() && stored == name;
}

int FindColumnWidths(const std::string& iniPath, std::string_view fileName, HeldSettings& s) {
  IniFile ini(iniPath);
  ini.Load();
  LoadColumnMemory(ini, s);
  return FirstMatchingSlot(fileName, s);
}

WriteOutcome StoreColumnWidths(const std::string& iniPath, std::string_view fileName,
                               const std::vector<int>& widths, HeldSettings& s) {
  // No file, nothing to remember: an entry without a name would never be
  // found and would only push the oldest entry out.
  if (fileName.empty()) return {};
  IniFile ini(iniPath);
  ini.Load();
  LoadColumnMemory(ini, s);
  const int p = FirstMatchingSlot(fileName, s);

  s.ResumeFileName[0] = std::string(fileName);
  s.ResumeColumNum[0] = WidthListText(widths);
  // Slot 0 becomes slot 1: with no match (or the match in the last slot)
  // every entry moves down and the last drops out; a match in slot p is
  // overwritten by the entries above it moving down.
  const int last = (p == 0 || p == kResumeSlots) ? kResumeSlots : p;
  for (int n = last; n >= 1; --n) {
    s.ResumeFileName[n] = s.ResumeFileName[n - 1];
    s.ResumeColumNum[n] = s.ResumeColumNum[n - 1];
  }

  for (int i = 1; i <= kResumeSlots; ++i) ini.WriteString(kResumeFileName, Dec(i), s.ResumeFileName[i]);
  for (int i = 1; i <= kResumeSlots; ++i) ini.WriteString(kResumeColumNum, Dec(i), s.ResumeColumNum[i]);
  return ini.Save();
}

std::string WidthListText(const std::vector<int>& widths) {
  std::string text;
  for (std::size_t i = 0; i < widths.size(); ++i) {
    if (i > 0) text += ',';
    text += Dec(widths[i]);
  }
  return text;
}

std::vector<int> ParseWidthList(std::string_view text, std::size_t maxCount) {
  std::vector<int> widths;
  std::size_t pos = 0;
  while (widths.size() < maxCount && pos <= text.size()) {
    std::size_t comma = text.find(',', pos);
    std::string_view part = text.substr(pos, comma == std::string_view::npos ? std::string_view::npos : comma - pos);
    // Digits only: a sign, a blank or an empty part ends the list, and so
    // does a width no screen could show.
    if (part.empty() || part.size() > 5 ||
        !std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; }))
      break;
    int width = 0;
    if (!ParseInt(part, width) || width > kMaxColumnWidth) break;
    widths.push_back(width);
    if (comma == std::string_view::npos) break;
    pos = comma + 1;
  }
  return widths;
}

}  // namespace cavel
