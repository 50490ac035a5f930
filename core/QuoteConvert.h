// Adding or removing the enclosing double quotes of every item of every
// line. Every line is checked first; the first line that fails ends the
// conversion and the Document is left as it was.
//
// The window's two buttons call ConvertQuotes and then close, whatever the
// outcome.
#pragma once

#include "core/Dialogs.h"
#include "core/Document.h"
#include "core/MainState.h"

namespace cavel {

enum class QuoteMode {
  Add,     // every item enclosed in double quotes
  Remove,  // every item stripped of them, except one that holds a comma
};

// Converts every line of `in` into `out` (overwritten). Per line, in order:
// the comma, quote and item-limit checks; each separator-ended item (at most
// 4096 bytes; an opening quote whose first closing quote is the item's last
// character; no quote anywhere else), then the last item the same way; then
// the converted line's 8192 bytes. An item of one lone quote is an empty
// enclosed item. Every fault is reported; false at the first failing line,
// with `out` then unspecified.
bool ConvertLines(const Lines& in, QuoteMode mode, Dialogs& dialogs, Lines& out);

// ConvertLines over the Document; on success the Document is replaced in one
// step and DocumentChanged := 1 (CurrentLine kept). On failure nothing
// changes.
bool ConvertQuotes(MainState& state, QuoteMode mode, Dialogs& dialogs);

}  // namespace cavel
