// Changing the Document from the grid: one cell edited in place, a pasted
// block of values, and emptying the selected cells. Each change is checked
// whole before anything is written: a refusal is reported and leaves the
// Document as it was; a change that passes is one step of the undo history
// (CommitLines), with CurrentLine the first line it touched.
//
// Every line a change makes is checked as the record window checks a line,
// and for its length and its items' lengths (CheckChangedLine): at most 8192
// bytes, 510 commas, 254 double quotes, 64 items, 4096 bytes an item. A line cannot
// hold a CR (it would end the line when the file is read again) or a 0x1A
// (it would end the file), nor an LF at its very start (it would be read as
// part of the line end before it); an LF elsewhere only where the file's
// lines can hold one (ItemLineBreaks).
#pragma once

#include <string_view>

#include "core/CellRange.h"
#include "core/Clipboard.h"
#include "core/Dialogs.h"
#include "core/LineCheck.h"
#include "core/MainState.h"

namespace cavel {

// Whether an item may hold a line break. A file whose lines end in CR LF
// holds a bare LF inside a line (as spreadsheets write a break inside a
// quoted item); a file whose lines end in LF cannot.
enum class ItemLineBreaks { HeldAsLf, Refused };

// The in-place editor's save: item `item` of line `line` becomes `bytes`,
// exactly as typed (the cell shows and edits the item with its quotes).
// Refused, with its message:
//  - a line not in the Document (the select-a-line notice), an item past the
//    line's last (PastLastItem);
//  - a character the line cannot hold (CharNotHeld);
//  - a line over 8192 bytes (the record window's kRecordTooLong), and the
//    scan's comma, quote, item-count and item-length messages;
//  - a value that would not stand as item `item` of the new line, as an
//    unquoted comma or an odd number of double quotes in any but the last
//    item would not (ItemBoundsChanged): a cell is one item, and the cells
//    after it would move.
// True when the line was written (or stood unchanged): the editor closes.
bool EditCell(MainState& state, Dialogs& dialogs, int line, int item, std::string_view bytes,
              ItemLineBreaks lineBreaks = ItemLineBreaks::HeldAsLf);

// The paste into the grid's selection. The values go from the selection's
// first cell rightwards and downwards, row r of the text into line
// firstLine + r; a row shorter than others writes as far as it goes and the
// items after it stay. A single value pasted into a selection of more than
// one cell goes into every cell of the selection.
//
// A value replaces an item and is enclosed in double quotes when the item it
// replaces was, or when it holds a comma, a double quote or a line break;
// the quotes inside an enclosed value are doubled.
//
// Refused, with its message: an empty text (kNothingToPaste); values that
// would run past the last line (PastePastLastLine) or past the last item of
// a line they reach (PastePastLastItem), both naming the size rows x
// columns; then, line by line, a character a line cannot hold (CharNotHeld),
// a line over 8192 bytes (ConvertedLineTooLong) and the scan's messages.
// True when pasted.
bool PasteCells(MainState& state, Dialogs& dialogs, const PastedCells& cells, const CellRange& selection,
                ItemLineBreaks lineBreaks = ItemLineBreaks::HeldAsLf);

// The cells a paste writes: the whole selection when one value fills a
// selection of several cells, else the text's rows and columns from the
// selection's first cell.
CellRange PasteTarget(const PastedCells& cells, const CellRange& selection);

// Empties the items of the selected cells; an enclosed item keeps its
// quotes (""). Cells past a line's last item are empty already. True when a
// line changed.
bool DeleteCells(MainState& state, const CellRange& selection);

// The checks of a line a change has made, after its length: an LF at its
// start, then the scan's comma, quote, item-count and item-length checks,
// each fault reported naming line `lineIndex`. `scan` receives the
// separators found. True when the line passed.
bool CheckChangedLine(std::string_view line, long lineIndex, Dialogs& dialogs, LineScan& scan);

}  // namespace cavel
