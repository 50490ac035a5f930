#include "core/Document.h"

#include <cstring>

namespace cavel {

std::vector<std::size_t> ItemSeparators(std::string_view line) {
  std::vector<std::size_t> out;
  bool inside = false;  // an odd number of quotes so far
  const char* p = line.data();
  const char* end = p + line.size();
  while (p < end) {
    // Jump to the next comma or quote; both are single bytes that no
    // Shift-JIS trail byte can take.
    const char* q = p;
    while (q < end && *q != ',' && *q != '"') ++q;
    if (q == end) break;
    if (*q == '"')
      inside = !inside;
    else if (!inside)
      out.push_back(static_cast<std::size_t>(q - line.data()));
    p = q + 1;
  }
  return out;
}

std::vector<std::string_view> ItemsAt(std::string_view line, const std::vector<std::size_t>& separators) {
  std::vector<std::string_view> items;
  items.reserve(separators.size() + 1);
  std::size_t start = 0;
  for (std::size_t sep : separators) {
    items.push_back(line.substr(start, sep - start));
    start = sep + 1;
  }
  items.push_back(line.substr(start));
  return items;
}

std::vector<std::string_view> SplitItems(std::string_view line) { return ItemsAt(line, ItemSeparators(line)); }

}  // namespace cavel
