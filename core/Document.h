// The Document: the lines of the open file, each exactly as read (Shift-JIS
// bytes, without its line end), and the rule that cuts a line into items.
//
// A comma separates items when an even number of double quotes stands
// before it in the line. One scan finds the separators (FindSeparators);
// SplitItems and ItemSeparators are the rule's plain names over it, and
// every reader of "item k" asks the spans it fills (ItemSpans::Item).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/Lines.h"

namespace cavel {

// The Document is a Lines (core/Lines.h): line handles in order, line 0 the
// title line.

// The limits every line and file is held to.
inline constexpr std::size_t kMaxLineBytes = 8192;
inline constexpr std::size_t kMaxLines = 30000;  // the line limit unless the user raises it
// The most lines the line limit can be raised to (the ReadLimit setting):
// the rows a spreadsheet holds.
inline constexpr std::size_t kMostLines = 1048576;
// Whether `lines` may be the line limit: kMaxLines .. kMostLines.
constexpr bool IsLineLimit(long long lines) {
  return lines >= static_cast<long long>(kMaxLines) && lines <= static_cast<long long>(kMostLines);
}
inline constexpr std::size_t kMaxItemBytes = 4096;
inline constexpr int kMaxItems = 64;
inline constexpr int kMaxCommas = 510;  // the 511th comma is refused
inline constexpr int kMaxQuotes = 254;  // the 255th double quote is refused

// The separators of one line and the items they cut it into.
struct ItemSpans {
  // Positions of the separating commas, in order.
  std::vector<std::size_t> separators;
  int itemCount = 1;  // separators.size() + 1

  // Item k (1-based) of `line`, the line these spans were found in, exactly
  // as it stands; empty for a k outside 1..itemCount.
  std::string_view Item(std::string_view line, int k) const {
    if (k < 1 || k > itemCount) return {};
    const auto i = static_cast<std::size_t>(k);
    const std::size_t start = i == 1 ? 0 : separators[i - 2] + 1;
    const std::size_t end = i <= separators.size() ? separators[i - 1] : line.size();
    return {line.data() + start, end - start};
  }
};

// What the checked scan counted besides the separators.
struct MarkCounts {
  std::size_t commas = 0;  // at most kMaxCommas + 1
  std::size_t quotes = 0;  // at most kMaxQuotes + 1
  bool itemsCut = false;   // the item limit ended the search
};

// The one scan of a line for commas and double quotes: fills `out` with the
// separators it finds (its storage is reused).
// - Plain, the rule itself: every comma and quote counts.
void FindSeparators(std::string_view line, ItemSpans& out);
// - Checked, as the line checks count: commas past the 511th are neither
//   counted nor separators; quotes past the 255th are not counted and no
//   longer change the parity; the separator that makes the items one more
//   than `itemLimit` is kept and ends the search.
MarkCounts FindSeparators(std::string_view line, int itemLimit, ItemSpans& out);

// Positions of the item separators of a line: every comma that has an even
// number of double quotes before it in the line.
std::vector<std::size_t> ItemSeparators(std::string_view line);

// How many items a line has: its separators and one.
int ItemCount(std::string_view line);

// The items of a line, in order, exactly as they stand (quotes and blanks
// kept). A line with k separators has k + 1 items; an empty line has one
// empty item. The views point into `line`.
std::vector<std::string_view> SplitItems(std::string_view line);

}  // namespace cavel
