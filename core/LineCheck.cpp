#include "core/LineCheck.h"

#include "core/Messages.h"

namespace cavel {

int FirstLongItem(const ItemSpans& spans) {
  std::size_t start = 0;
  for (std::size_t k = 0; k < spans.separators.size(); ++k) {
    if (spans.separators[k] - start > kMaxItemBytes) return static_cast<int>(k) + 1;
    start = spans.separators[k] + 1;
  }
  return 0;
}

void ScanLine(std::string_view line, long lineIndex, const ScanOptions& options, Dialogs& dialogs, bool& failed,
              LineScan& out) {
  out.commaFault = out.quoteFault = out.itemFault = out.lastItemTooLong = false;
  out.longItem = 0;

  // One pass records commas and quotes. A comma counts toward the 511 limit
  // whether quoted or not; it is a separator when the recorded quotes before
  // it are even. Past the 511th comma nothing more is a separator; past the
  // 255th quote the parity no longer changes.
  const MarkCounts counts = FindSeparators(line, options.itemLimit, out);
  out.commas = static_cast<int>(counts.commas);
  out.quotes = static_cast<int>(counts.quotes);

  if (out.commas > kMaxCommas) {
    out.commaFault = true;
    failed = true;
    Refuse(dialogs, msg::CommaCount(lineIndex));
  }
  if (out.quotes > kMaxQuotes) {
    out.quoteFault = true;
    failed = true;
    Refuse(dialogs, msg::QuoteCount(lineIndex));
  }
  if (counts.itemsCut) {
    out.itemFault = true;
    failed = true;
    Refuse(dialogs, msg::ItemCount(lineIndex, options.itemLimit + 1));
  }

  // The item lengths, from the separators found (this walk runs on every
  // line of a load).
  if (options.walkItemLengths) {
    out.longItem = FirstLongItem(out);
    if (out.longItem != 0) {
      failed = true;
      Refuse(dialogs, msg::ItemLength(lineIndex, out.longItem));
    }
  }
  if (options.testLastItem && !failed && out.Item(line, out.itemCount).size() > kMaxItemBytes) {
    out.lastItemTooLong = true;
    failed = true;
    Refuse(dialogs, msg::ItemLength(lineIndex, out.itemCount));
  }
}

bool CheckLine(std::string_view line, long lineIndex, Dialogs& dialogs, LineScan& out) {
  bool failed = false;
  ScanLine(line, lineIndex, ScanOptions{kMaxItems, false, false}, dialogs, failed, out);
  return !failed;
}

}  // namespace cavel
