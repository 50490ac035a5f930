// A rectangle of the grid's cells, in the Document's terms: lines (0-based,
// the title line being line 0) and items (from 1), both ends included.
#pragma once

namespace cavel {

struct CellRange {
  int firstLine = 0;
  int lastLine = 0;
  int firstItem = 1;
  int lastItem = 1;

  static CellRange Cell(int line, int item) { return {line, line, item, item}; }

  int Rows() const { return lastLine - firstLine + 1; }
  int Cols() const { return lastItem - firstItem + 1; }
  bool SingleCell() const { return firstLine == lastLine && firstItem == lastItem; }
};

}  // namespace cavel
