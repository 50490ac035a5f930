// The line scan, SplitItems and ItemSeparators on any line.
//
// Input: two control bytes (the item limit, the scan's switches and whether
// the failure flag is already set), then the line.
//
// Checked:
// - SplitItems joined back with commas gives the line, and its items are
//   the items of the spans FindSeparators fills;
// - ItemSeparators holds exactly the commas with an even number of quotes
//   before them;
// - ScanLine agrees with a plain count of the line: a fault for the 511th
//   comma, the 255th quote, one item over the limit, the first
//   separator-ended item over 4096 bytes and (asked, and with no fault
//   before) a last item over 4096 bytes; one refusal per fault; the failure
//   flag set exactly when there was a fault or it was set before;
// - the separators are those of the first 511 commas with even recorded
//   quotes before them, up to the one past the item limit;
// - the scan's items joined back give the line, and its comma and quote
//   counts are the line's, up to 511 and 255;
// - a LineScan reused from an earlier scan gives the same result as a
//   fresh one, and CheckLine is the scan with limit 64 and no length checks.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "core/LineCheck.h"

using namespace cavel;
using namespace cavel::fuzz;

namespace {

struct Expected {
  std::vector<std::size_t> separators;
  int commas = 0, quotes = 0;
  bool commaFault = false, quoteFault = false, itemFault = false, lastItemTooLong = false;
  int longItem = 0;
};

Expected Count(std::string_view line, const ScanOptions& options, bool failedBefore) {
  Expected e;
  int commas = 0, quotes = 0, totalCommas = 0, totalQuotes = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') {
      ++totalQuotes;
      if (quotes < kMaxQuotes + 1) ++quotes;
    } else if (line[i] == ',') {
      ++totalCommas;
      if (commas == kMaxCommas + 1) continue;
      ++commas;
      if ((quotes & 1) || e.itemFault) continue;
      e.separators.push_back(i);
      if (static_cast<int>(e.separators.size()) + 1 > options.itemLimit) e.itemFault = true;
    }
  }
  e.commas = commas;
  e.quotes = quotes;
  e.commaFault = totalCommas > kMaxCommas;
  e.quoteFault = totalQuotes > kMaxQuotes;
  if (options.walkItemLengths) {
    std::size_t start = 0;
    for (std::size_t k = 0; k < e.separators.size(); ++k) {
      if (e.separators[k] - start > kMaxItemBytes) {
        e.longItem = static_cast<int>(k) + 1;
        break;
      }
      start = e.separators[k] + 1;
    }
  }
  bool failed = failedBefore || e.commaFault || e.quoteFault || e.itemFault || e.longItem;
  if (options.testLastItem && !failed) {
    std::size_t start = e.separators.empty() ? 0 : e.separators.back() + 1;
    e.lastItemTooLong = line.size() - start > kMaxItemBytes;
  }
  return e;
}

void CheckScan(std::string_view line, const ScanOptions& options, bool failedBefore, LineScan& scan) {
  RecordingDialogs dialogs;
  bool failed = failedBefore;
  ScanLine(line, 7, options, dialogs, failed, scan);
  Expected e = Count(line, options, failedBefore);
  FUZZ_CHECK(scan.separators == e.separators);
  FUZZ_CHECK(scan.itemCount == static_cast<int>(scan.separators.size()) + 1);
  FUZZ_CHECK(scan.commas == e.commas && scan.quotes == e.quotes);
  FUZZ_CHECK(scan.commaFault == e.commaFault);
  FUZZ_CHECK(scan.quoteFault == e.quoteFault);
  FUZZ_CHECK(scan.itemFault == e.itemFault);
  FUZZ_CHECK(scan.longItem == e.longItem);
  FUZZ_CHECK(scan.lastItemTooLong == e.lastItemTooLong);
  FUZZ_CHECK(failed == (failedBefore || scan.faulted()));
  std::size_t faults = scan.commaFault + scan.quoteFault + scan.itemFault + (scan.longItem != 0) + scan.lastItemTooLong;
  FUZZ_CHECK(dialogs.shown.size() == faults);
  FUZZ_CHECK(dialogs.Refusals() == faults);

  std::vector<std::string_view> items;
  for (int k = 1; k <= scan.itemCount; ++k) items.push_back(scan.Item(line, k));
  FUZZ_CHECK(Join(items) == line);
  // Without a quote fault the parity is the plain one of ItemSeparators.
  if (!scan.quoteFault && !scan.commaFault && !scan.itemFault) FUZZ_CHECK(scan.separators == ItemSeparators(line));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in(data, size);
  const std::uint8_t a = in.Byte();
  const std::uint8_t b = in.Byte();
  const std::string line = in.Rest();

  // SplitItems and ItemSeparators.
  std::vector<std::size_t> separators = ItemSeparators(line);
  std::size_t quotes = 0, next = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') ++quotes;
    if (line[i] != ',') continue;
    bool isSeparator = quotes % 2 == 0;
    FUZZ_CHECK(isSeparator == (next < separators.size() && separators[next] == i));
    next += isSeparator;
  }
  FUZZ_CHECK(next == separators.size());
  std::vector<std::string_view> items = SplitItems(line);
  FUZZ_CHECK(items.size() == separators.size() + 1);
  ItemSpans spans;
  FindSeparators(line, spans);
  FUZZ_CHECK(spans.separators == separators);
  for (int k = 1; k <= spans.itemCount; ++k) FUZZ_CHECK(items[static_cast<std::size_t>(k) - 1] == spans.Item(line, k));
  FUZZ_CHECK(Join(items) == line);

  // The scan, fresh and with a LineScan left from a scan of other options.
  static const int kLimits[] = {1, 2, 3, 63, 64, 65, 127, 128, 129, 512};
  ScanOptions options;
  options.itemLimit = a < 0xF0 ? kLimits[a % 10] : 1 + a % 16;
  options.walkItemLengths = b & 1;
  options.testLastItem = b & 2;
  const bool failedBefore = b & 4;
  LineScan fresh;
  CheckScan(line, options, failedBefore, fresh);

  static LineScan reused;
  CheckScan(line, options, failedBefore, reused);
  FUZZ_CHECK(reused.separators == fresh.separators);

  ScanOptions other{kMaxItems, !options.walkItemLengths, !options.testLastItem};
  CheckScan(line, other, !failedBefore, reused);

  RecordingDialogs d1, d2;
  LineScan viaCheck, viaScan;
  bool failed = false;
  bool passed = CheckLine(line, 3, d1, viaCheck);
  ScanLine(line, 3, ScanOptions{kMaxItems, false, false}, d2, failed, viaScan);
  FUZZ_CHECK(passed == !failed);
  FUZZ_CHECK(viaCheck.separators == viaScan.separators);
  FUZZ_CHECK(d1.shown.size() == d2.shown.size());
  for (std::size_t i = 0; i < d1.shown.size(); ++i) FUZZ_CHECK(d1.shown[i].text == d2.shown[i].text);
  return 0;
}
