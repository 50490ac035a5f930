#include "core/Settings.h"

#include <algorithm>

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
    {kWinMain, "FormMain"},       {kWinView, "FormView"},         {kWinItemset, "FormItemset"},
    {kWinCreate, "FormCreate"},   {kWinExchange, "FormExchange"}, {kWinInport, "FormInport"},
    {kWinConvert, "FormConvert"}, {kWinSort, "FormSort"},
};

constexpr std::string_view kOpenFileName = "OpenFileName";
constexpr std::string_view kOpenFileNum = "OpenFileNum";
constexpr std::string_view kGridSet = "GridSet";
constexpr std::string_view kCloseDialogDisp = "CloseDialogDisp";
constexpr std::string_view kReadLimit = "ReadLimit";
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
    if (programPath[pos] == '/')
      dot = std::string_view::npos;
    else if (programPath[pos] == '.')
      dot = pos;
  }
  return std::string(programPath.substr(0, dot)) + ".INI";
}

bool SettingsBesideProgram(std::string_view folder, bool ownedByUser, bool writable) {
  static constexpr std::string_view kSystemPrefixes[] = {"/usr",   "/opt",  "/bin", "/sbin", "/lib", "/lib32",
                                                         "/lib64", "/snap", "/app", "/nix",  "/gnu", "/etc"};
  for (std::string_view prefix : kSystemPrefixes)
    if (folder.starts_with(prefix) && (folder.size() == prefix.size() || folder[prefix.size()] == '/')) return false;
  return ownedByUser && writable;
}

std::string SettingsFilePath(std::string_view programPath) {
  std::string beside = SettingsFileName(programPath);
  const std::string folder = Folder(programPath);
  if (SettingsBesideProgram(folder, OwnedByUser(folder), FolderWritable(folder))) return beside;

  const std::string dir = XdgFolder("XDG_CONFIG_HOME", ".config");
  if (dir.empty()) return beside;
  MakeFolders(dir);
  return dir + "/" + beside.substr(beside.rfind('/') + 1);
}

int ReadLimitOf(long long stored) {
  return IsLineLimit(stored) ? static_cast<int>(stored) : static_cast<int>(kMaxLines);
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
  s.ReadLimitLines = ReadLimitOf(ini.ReadInteger(kReadLimit, "Lines", static_cast<int>(kMaxLines)));
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
  ini.WriteInteger(kReadLimit, "Lines", s.ReadLimitLines);
  return ini.Save();
}

}  // namespace cavel
