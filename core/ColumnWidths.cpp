#include "core/ColumnWidths.h"

#include <algorithm>

#include "core/IniFile.h"
#include "core/Text.h"

namespace cavel {

namespace {

constexpr std::string_view kResumeFileName = "ResumeFileName";
constexpr std::string_view kResumeColumNum = "ResumeColumNum";

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

}  // namespace

bool StoredNameMatches(std::string_view stored, std::string_view name) { return !name.empty() && stored == name; }

int FindColumnWidths(const std::string& iniPath, std::string_view fileName, HeldSettings& s) {
  IniFile ini(iniPath);
  ini.Load();
  LoadColumnMemory(ini, s);
  return FirstMatchingSlot(fileName, s);
}

WriteOutcome StoreColumnWidths(const std::string& iniPath, std::string_view fileName, const std::vector<int>& widths,
                               HeldSettings& s) {
  // No file, nothing to remember: an entry without a name would never be
  // found and would only push the oldest entry out; nor would one whose name
  // the settings file cannot hold on its line.
  if (fileName.empty() || !FitsOneLine(fileName)) return {};
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
