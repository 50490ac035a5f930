// The grid's cells as text for other programs, and text from other programs
// as cells. Everything here is Shift-JIS bytes; the window converts to and
// from the clipboard's Unicode.
//
// Copying gives two forms of a rectangle of cells:
//  - CopyCellsText, for spreadsheets and text editors: the rows one after
//    another, each ended by LF, the values of a row separated by tabs. A
//    value is the item with its enclosing double quotes taken off and its
//    doubled quotes undone. A value that holds a tab or a line break, or
//    that begins with a double quote, is written in the spreadsheets' way:
//    enclosed in double quotes, with the quotes inside doubled, so that it
//    reads back as one cell.
//  - CopyCellsCsv (text/csv): the items as they stand, joined by commas,
//    each row ended by CR LF.
// A line with fewer items than the rectangle gives empty values.
//
// Pasted text is read as the spreadsheets write it (ParsePasted):
//  - Rows end at CR LF, LF or CR; one line break at the very end of the text
//    ends the last row and makes no row of its own. An empty text has no
//    rows; any other has at least one, and every row at least one value.
//  - The separator: a text in which a tab separates two values of a row is
//    tab-separated; any other text is comma-separated. (A single column
//    copied from a spreadsheet, whose values hold commas, therefore reads as
//    several columns: the window passes the separator when it knows it.)
//  - A value that begins with a double quote and has a closing one runs to
//    it: separators and line breaks inside are the value's, "" inside is one
//    quote, and what follows the closing quote up to the separator is
//    added as it stands. A value with no closing quote is taken as it
//    stands up to its separator, like any other value.
//  - Line breaks inside a value come out as a single LF each (CR LF and CR
//    included).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/CellRange.h"
#include "core/Document.h"

namespace cavel {

// True when the item is enclosed in double quotes: at least two bytes, the
// first and the last a double quote.
bool IsEnclosedItem(std::string_view item);

// The rectangle's lines that lie in `document` (the others are left out);
// items are cut as the grid cuts them.
std::string CopyCellsText(const Lines& document, const CellRange& range);
std::string CopyCellsCsv(const Lines& document, const CellRange& range);

enum class PasteSeparator {
  Auto,  // tab-separated when a tab separates two values, else comma-separated
  Tab,
  Comma,
};

// The values of a pasted text, row by row. Rows may differ in length.
// Values are kept for the first kMostLines rows and the first kMaxItems
// values of a row, the most a paste can write; the counts are the text's.
class PastedCells {
 public:
  // Rows of the text, and values of its longest row.
  int Rows() const { return rows_; }
  int Cols() const { return cols_; }
  bool Empty() const { return rows_ == 0; }
  // One value alone.
  bool Single() const { return rows_ == 1 && cols_ == 1; }
  // Values of row r (0-based); 0 for a row that is not kept.
  int RowSize(int r) const {
    return r >= 0 && static_cast<std::size_t>(r) < rowSize_.size() ? rowSize_[static_cast<std::size_t>(r)] : 0;
  }
  // Value c (0-based) of row r; empty for a value that is not kept.
  std::string_view Value(int r, int c) const;

 private:
  friend PastedCells ParsePasted(std::string_view text, PasteSeparator separator);
  // The rows of `text` (its final line break taken off already).
  static PastedCells Read(std::string_view text, char separator);

  struct Span {
    std::size_t start = 0;
    std::size_t size = 0;
  };
  std::string bytes_;
  std::vector<Span> cells_;
  std::vector<std::size_t> rowFirst_;  // the first span of each kept row
  std::vector<int> rowSize_;           // the values of each kept row
  int rows_ = 0;
  int cols_ = 0;
};

PastedCells ParsePasted(std::string_view text, PasteSeparator separator = PasteSeparator::Auto);

}  // namespace cavel
