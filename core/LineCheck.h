// The one per-line scan behind every check of a line: the loader, the grid
// fill, the record window, the editors and the quote conversion each run it
// with the steps they need.
//
// The scan records the commas of the line (every comma, quoted or not; the
// 511th is a fault and later ones are ignored), the double quotes (the 255th
// is a fault, later ones ignored), finds the item separators among the
// recorded commas (a comma with an even number of recorded quotes before
// it), counts the items against an item limit (exceeding it is a fault that
// ends the separator walk), and optionally tests item lengths against 4096
// bytes. Each fault is reported through the Dialogs port, in the order of
// those steps, as a warning with the single button 中止(&A).
#pragma once

#include <cstddef>
#include <string_view>

#include "core/Dialogs.h"
#include "core/Document.h"

namespace cavel {

struct ScanOptions {
  // Items allowed at the scan stage (128 or 64); one more is a fault.
  int itemLimit = 64;
  // Walk the separator-ended items and report the first longer than 4096 bytes.
  bool walkItemLengths = false;
  // After the walk, and only while `failed` is still clear, test the last
  // item the same way; a fault there means "stop at once".
  bool testLastItem = false;
};

// The separators and items of the scanned line (ItemSpans), and what the
// checks found.
struct LineScan : ItemSpans {
  // Separators are those found up to the one that went past the item limit.
  // Commas and double quotes recorded (at most 511 and 255).
  int commas = 0;
  int quotes = 0;
  bool commaFault = false;
  bool quoteFault = false;
  bool itemFault = false;
  // Number (from 1) of the first separator-ended item over 4096 bytes, 0 if none.
  int longItem = 0;
  // The last item was over 4096 bytes (only tested when asked and no fault before).
  bool lastItemTooLong = false;

  bool faulted() const { return commaFault || quoteFault || itemFault || longItem != 0 || lastItemTooLong; }
};

// The number (from 1) of the first separator-ended item longer than 4096
// bytes, 0 if none: the walk of the item lengths, without its message.
int FirstLongItem(const ItemSpans& spans);

// Scans `line` (number `lineIndex`, 0-based, as the messages show it).
// Every fault is reported through `dialogs` and sets `failed`; `failed` is
// never cleared here, so one flag can serve a whole file.
void ScanLine(std::string_view line, long lineIndex, const ScanOptions& options, Dialogs& dialogs, bool& failed,
              LineScan& out);

// The three structural checks (commas, quotes, item limit 64) that the
// record window and the editors run on one line. Returns true when the line
// passed; `out` receives the separators found either way.
bool CheckLine(std::string_view line, long lineIndex, Dialogs& dialogs, LineScan& out);

}  // namespace cavel
