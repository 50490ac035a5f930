// What the tests look at inside lines and lists of lines, beside what the
// program asks of them: how many handles hold a line's block, whether two
// lists are one, and a list compared with the texts it should hold.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "core/Lines.h"

namespace cavel {

struct LinesProbe {
  // How many handles hold the block `line` lies in (0 for an empty line,
  // which holds none).
  static std::size_t BlockHolders(const Line& line) { return line.block_ ? line.block_->holders : 0; }
  // True when `a` and `b` share one list.
  static bool SharesList(const Lines& a, const Lines& b) { return a.list_ && a.list_ == b.list_; }
};

inline bool operator==(const Lines& lines, const std::vector<std::string>& texts) {
  return lines.size() == texts.size() &&
         std::equal(lines.begin(), lines.end(), texts.begin(),
                    [](const Line& line, const std::string& text) { return line.view() == text; });
}

}  // namespace cavel
