// The Document: the lines of the open file, each exactly as read (Shift-JIS
// bytes, without its line end), and the rule that cuts a line into items.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cavel {

// An ordered list of lines. Line 0 is the title line.
using Lines = std::vector<std::string>;

// The limits every line and file is held to.
inline constexpr std::size_t kMaxLineBytes = 8192;
inline constexpr std::size_t kMaxLines = 30000;
inline constexpr std::size_t kMaxItemBytes = 4096;
inline constexpr int kMaxItems = 64;

// Positions of the item separators of a line: every comma that has an even
// number of double quotes before it in the line.
std::vector<std::size_t> ItemSeparators(std::string_view line);

// The items of a line, in order, exactly as they stand (quotes and blanks
// kept). A line with k separators has k + 1 items; an empty line has one
// empty item. The views point into `line`.
std::vector<std::string_view> SplitItems(std::string_view line);

// The items of a line given its separators (as returned by ItemSeparators
// or by the line scan).
std::vector<std::string_view> ItemsAt(std::string_view line, const std::vector<std::size_t>& separators);

}  // namespace cavel
