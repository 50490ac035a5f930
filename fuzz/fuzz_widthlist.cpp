// The column-width lists of the settings file.
//
// Input: a count byte, then the text of a list. The same bytes, read as
// pairs, also make a list of widths.
//
// Checked:
// - ParseWidthList takes the leading parts of the text that are numbers of
//   one to five digits up to 32767, no more than the count, and stops at
//   the first other part;
// - its result written with WidthListText and parsed again is the same;
// - any widths of 0..32767 written and parsed give themselves, and a
//   smaller count gives their first ones;
// - ApplyWidthList sets the first columns and leaves the others alone.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "core/ColumnWidths.h"
#include "core/GridFill.h"

using namespace cavel;
using namespace cavel::fuzz;

namespace {

std::vector<int> PlainParse(std::string_view text, std::size_t maxCount) {
  std::vector<int> out;
  std::size_t pos = 0;
  while (out.size() < maxCount) {
    std::size_t comma = text.find(',', pos);
    std::string_view part = text.substr(pos, comma == std::string_view::npos ? text.size() - pos : comma - pos);
    if (part.empty() || part.size() > 5) break;
    long value = 0;
    bool digits = true;
    for (char c : part) {
      if (c < '0' || c > '9') digits = false;
      value = value * 10 + (c - '0');
    }
    if (!digits || value > kMaxColumnWidth) break;
    out.push_back(static_cast<int>(value));
    if (comma == std::string_view::npos) break;
    pos = comma + 1;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in(data, size);
  const std::size_t maxCount = in.Byte();
  const std::string text = in.Rest();

  std::vector<int> parsed = ParseWidthList(text, maxCount);
  FUZZ_CHECK(parsed == PlainParse(text, maxCount));
  FUZZ_CHECK(parsed.size() <= maxCount);
  std::string written = WidthListText(parsed);
  FUZZ_CHECK(ParseWidthList(written, maxCount) == parsed);
  FUZZ_CHECK(ParseWidthList(written, SIZE_MAX) == parsed);
  FUZZ_CHECK(written.find_first_not_of("0123456789,") == std::string::npos);

  std::vector<int> widths;
  for (std::size_t i = 0; i + 1 < text.size(); i += 2)
    widths.push_back((static_cast<unsigned char>(text[i]) | static_cast<unsigned char>(text[i + 1]) << 8) %
                     (kMaxColumnWidth + 1));
  std::string list = WidthListText(widths);
  FUZZ_CHECK(ParseWidthList(list, widths.size()) == widths);
  std::vector<int> first = ParseWidthList(list, maxCount);
  FUZZ_CHECK(first.size() == std::min(maxCount, widths.size()));
  FUZZ_CHECK(std::equal(first.begin(), first.end(), widths.begin()));

  std::vector<int> columns(maxCount, -7);
  ApplyWidthList(text, columns);
  for (std::size_t c = 0; c < columns.size(); ++c) FUZZ_CHECK(columns[c] == (c < parsed.size() ? parsed[c] : -7));
  return 0;
}
