// The quote conversion on any Document.
//
// Input: a control byte (bit 0: remove instead of add), then the lines of
// the Document, each ended by CR.
//
// Checked:
// - a refused conversion changes nothing (Document, CurrentLine,
//   DocumentChanged) and showed a refusal;
// - a conversion that goes through keeps the number of lines, sets
//   DocumentChanged, and every line splits into as many items as before,
//   each the old item's text enclosed in quotes (add) or bare, enclosed only
//   when it holds a comma (remove); the converted lines pass the loader's
//   checks;
// - converting the result again the same way changes nothing, and the other
//   way gives what the other way gives on the original.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "core/LineCheck.h"
#include "core/QuoteConvert.h"

using namespace cavel;
using namespace cavel::fuzz;

namespace {

std::string_view Bare(std::string_view item) {
  if (item.empty() || item[0] != '"') return item;
  return item.size() == 1 ? item.substr(1) : item.substr(1, item.size() - 2);
}

bool Convert(const Lines& in, QuoteMode mode, Lines& out) {
  RecordingDialogs dialogs;
  bool ok = ConvertLines(in, mode, dialogs, out);
  FUZZ_CHECK(ok == (dialogs.shown.empty()));
  return ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in(data, size);
  const QuoteMode mode = in.Byte() & 1 ? QuoteMode::Remove : QuoteMode::Add;
  const QuoteMode other = mode == QuoteMode::Add ? QuoteMode::Remove : QuoteMode::Add;
  const Lines lines = SplitAtCR(in.Rest());

  MainState state;
  state.Document = lines;
  state.CurrentLine = static_cast<int>(lines.size() / 2);
  RecordingDialogs dialogs;
  if (!ConvertQuotes(state, mode, dialogs)) {
    FUZZ_CHECK(state.Document == lines);
    FUZZ_CHECK(state.DocumentChanged == 0);
    FUZZ_CHECK(state.CurrentLine == static_cast<int>(lines.size() / 2));
    FUZZ_CHECK(dialogs.Refusals() >= 1);
    return 0;
  }
  FUZZ_CHECK(dialogs.shown.empty());
  FUZZ_CHECK(state.DocumentChanged == 1);
  FUZZ_CHECK(state.CurrentLine == static_cast<int>(lines.size() / 2));
  const Lines& converted = state.Document;
  FUZZ_CHECK(converted.size() == lines.size());

  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto before = SplitItems(lines[i].view());
    auto after = SplitItems(converted[i].view());
    FUZZ_CHECK(before.size() == after.size());
    for (std::size_t k = 0; k < before.size(); ++k) {
      std::string_view text = Bare(before[k]);
      bool quoted = mode == QuoteMode::Add || text.find(',') != std::string_view::npos;
      FUZZ_CHECK(after[k] == (quoted ? "\"" + std::string(text) + "\"" : std::string(text)));
      FUZZ_CHECK(after[k].size() <= kMaxItemBytes);
    }
    FUZZ_CHECK(converted[i].size() <= kMaxLineBytes);
    RecordingDialogs quiet;
    LineScan scan;
    bool failed = false;
    ScanLine(converted[i].view(), static_cast<long>(i), ScanOptions{kMaxItems, true, true}, quiet, failed, scan);
    FUZZ_CHECK(!failed);
  }

  Lines twice;
  FUZZ_CHECK(Convert(converted, mode, twice));
  FUZZ_CHECK(twice == converted);

  Lines otherOnOriginal, otherOnConverted;
  bool direct = Convert(lines, other, otherOnOriginal);
  bool viaConverted = Convert(converted, other, otherOnConverted);
  if (mode == QuoteMode::Add) FUZZ_CHECK(direct && viaConverted);
  FUZZ_CHECK(direct == viaConverted);
  if (direct) FUZZ_CHECK(otherOnOriginal == otherOnConverted);
  return 0;
}
