#include "core/History.h"

#include "core/Cp932.h"
#include "core/IniFile.h"

namespace cavel {

// File names are compared byte for byte. The file systems here are
// case-sensitive: "/data/A.csv" and "/data/a.csv" are two different files,
// so taking them as one entry would open the wrong file from the list.
bool SameFileName(std::string_view a, std::string_view b) { return a == b; }

void HistoryMoveToTop(HeldSettings& s, int i) {
  if (i < 1 || i > kHistorySlots) return;
  std::string entry = std::move(s.OpenFileName[i]);
  for (int n = i; n > 1; --n) s.OpenFileName[n] = std::move(s.OpenFileName[n - 1]);
  s.OpenFileName[1] = std::move(entry);
}

void HistoryAddFile(HeldSettings& s, std::string_view name) {
  if (!FitsOneLine(name)) return;
  // The shift runs over all nine slots whatever OpenFileNum says;
  // HistoryTrim empties the slots above it afterwards.
  for (int k = 1; k <= kHistorySlots; ++k) {
    if (SameFileName(s.OpenFileName[k], name)) {
      HistoryMoveToTop(s, k);
      return;
    }
  }
  for (int n = kHistorySlots; n > 1; --n) s.OpenFileName[n] = std::move(s.OpenFileName[n - 1]);
  s.OpenFileName[1] = std::string(name);
}

void HistoryTrim(HeldSettings& s) {
  for (int i = kHistorySlots; i > s.OpenFileNum && i >= 1; --i) s.OpenFileName[i] = kNone;
}

std::vector<HistoryMenuItem> HistoryMenuItems(const HeldSettings& s) {
  std::vector<HistoryMenuItem> items(kHistorySlots);
  for (int i = 1; i <= kHistorySlots; ++i) {
    items[i - 1].visible = s.OpenFileName[i] != kNone;
    if (items[i - 1].visible) items[i - 1].caption = ReadableFileName(s.OpenFileName[i]);
  }
  return items;
}

}  // namespace cavel
