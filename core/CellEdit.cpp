#include "core/CellEdit.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "core/Messages.h"

namespace cavel {

namespace {

// What a value holds, in one look at its bytes: the first byte a line
// cannot hold (its code, 0 when none), and what makes a pasted value need
// enclosing quotes.
struct ValueBytes {
  char32_t notHeld = 0;
  bool needsQuotes = false;  // a comma, a double quote or an LF
  std::size_t quotes = 0;

  ValueBytes(std::string_view value, ItemLineBreaks lineBreaks) {
    for (const char c : value) {
      switch (c) {
        case '"':
          ++quotes;
          needsQuotes = true;
          break;
        case ',': needsQuotes = true; break;
        case '\n':
          needsQuotes = true;
          if (lineBreaks == ItemLineBreaks::Refused && notHeld == 0) notHeld = U'\n';
          break;
        case '\r':
        case '\x1A':
          if (notHeld == 0) notHeld = static_cast<unsigned char>(c);
          break;
        default: break;
      }
    }
  }
};

// Where item k of `line` starts and ends.
std::size_t ItemStart(std::string_view line, const ItemSpans& spans, int k) {
  return static_cast<std::size_t>(spans.Item(line, k).data() - line.data());
}
std::size_t ItemEnd(std::string_view line, const ItemSpans& spans, int k) {
  return ItemStart(line, spans, k) + spans.Item(line, k).size();
}

// Writes `value` enclosed in double quotes, the quotes inside doubled.
char* WriteEnclosed(std::string_view value, char* at) {
  *at++ = '"';
  for (std::size_t from = 0; from < value.size();) {
    const std::size_t quote = std::min(value.find('"', from), value.size());
    at = std::copy(value.begin() + static_cast<std::ptrdiff_t>(from),
                   value.begin() + static_cast<std::ptrdiff_t>(quote), at);
    if (quote < value.size()) at = std::copy_n("\"\"", 2, at);
    from = quote + 1;
  }
  *at++ = '"';
  return at;
}

// What the first look at a pasted row found: the new line's length, the
// bytes it keeps before and after the values, and which values go in
// enclosed (bit c for value c).
struct PastedRow {
  std::size_t size = 0;
  std::size_t before = 0;
  std::size_t after = 0;
  std::uint64_t enclosed = 0;
};

}  // namespace

bool CheckChangedLine(std::string_view line, long lineIndex, Dialogs& dialogs, LineScan& scan) {
  if (!line.empty() && line.front() == '\n') {
    Refuse(dialogs, msg::CharNotHeld(lineIndex, 1, U'\n'));
    return false;
  }
  bool failed = false;
  ScanLine(line, lineIndex, ScanOptions{kMaxItems, true, true}, dialogs, failed, scan);
  return !failed;
}

bool EditCell(MainState& state, Dialogs& dialogs, int line, int item, std::string_view bytes,
              ItemLineBreaks lineBreaks) {
  if (line < 0 || static_cast<std::size_t>(line) >= state.Document.size()) {
    Notice(dialogs, std::string(msg::kSelectLineFirst));
    return false;
  }
  const Line old = state.Document[static_cast<std::size_t>(line)];
  ItemSpans spans;
  FindSeparators(old.view(), kMaxItems, spans);
  if (item < 1 || item > spans.itemCount) {
    Refuse(dialogs, msg::PastLastItem(line, spans.itemCount));
    return false;
  }
  if (const char32_t code = ValueBytes(bytes, lineBreaks).notHeld) {
    Refuse(dialogs, msg::CharNotHeld(line, item, code));
    return false;
  }
  const std::size_t start = ItemStart(old.view(), spans, item);
  const std::size_t end = ItemEnd(old.view(), spans, item);
  std::string text;
  text.reserve(old.size() - (end - start) + bytes.size());
  text.append(old.view().substr(0, start)).append(bytes).append(old.view().substr(end));
  if (text.size() > kMaxLineBytes) {
    Refuse(dialogs, std::string(msg::kRecordTooLong));
    return false;
  }
  LineScan scan;
  if (!CheckChangedLine(text, line, dialogs, scan)) return false;
  // The items before it are the same, so the item starts where it did; it
  // must also end where the value does.
  if (scan.Item(text, item).size() != bytes.size()) {
    Refuse(dialogs, msg::ItemBoundsChanged(line, item));
    return false;
  }
  Lines edited;
  edited.push_back(Line(text));
  CommitLines(state, static_cast<std::size_t>(line), 1, std::move(edited), line);
  return true;
}

CellRange PasteTarget(const PastedCells& cells, const CellRange& selection) {
  if (cells.Single() && !selection.SingleCell()) return selection;
  return {selection.firstLine, selection.firstLine + cells.Rows() - 1, selection.firstItem,
          selection.firstItem + cells.Cols() - 1};
}

bool PasteCells(MainState& state, Dialogs& dialogs, const PastedCells& cells, const CellRange& selection,
                ItemLineBreaks lineBreaks) {
  if (cells.Empty()) {
    Refuse(dialogs, std::string(msg::kNothingToPaste));
    return false;
  }
  const Lines& document = state.Document;
  if (selection.firstLine < 0 || static_cast<std::size_t>(selection.firstLine) >= document.size() ||
      selection.firstItem < 1) {
    Notice(dialogs, std::string(msg::kSelectLineFirst));
    return false;
  }
  const bool fill = cells.Single() && !selection.SingleCell();
  const CellRange target = PasteTarget(cells, selection);
  const int rows = target.Rows();
  const int cols = target.Cols();
  const int top = selection.firstLine;
  const int left = selection.firstItem;
  const long lastLine = static_cast<long>(document.size()) - 1;
  // (PastedCells keeps the values of as many rows as a Document can hold.)
  if (top + static_cast<long>(rows) - 1 > lastLine || (!fill && rows > static_cast<int>(kMostLines))) {
    Refuse(dialogs, msg::PastePastLastLine(rows, cols, lastLine));
    return false;
  }
  const auto valuesOf = [&](int r) { return fill ? cols : cells.RowSize(r); };
  const auto valueAt = [&](int r, int c) { return fill ? cells.Value(0, 0) : cells.Value(r, c); };

  // Everything that can be told before a line is built: where each row
  // reaches, what its values hold, how long its line becomes.
  ItemSpans spans;
  std::vector<PastedRow> plan(static_cast<std::size_t>(rows));
  std::size_t total = 0;
  for (int r = 0; r < rows; ++r) {
    const long L = top + r;
    const std::string_view line = document[static_cast<std::size_t>(L)].view();
    FindSeparators(line, kMaxItems, spans);
    const int n = valuesOf(r);
    if (n > kMaxItems || left + n - 1 > spans.itemCount) {
      Refuse(dialogs, msg::PastePastLastItem(rows, cols, L, spans.itemCount));
      return false;
    }
    PastedRow& row = plan[static_cast<std::size_t>(r)];
    row.before = ItemStart(line, spans, left);
    row.after = ItemEnd(line, spans, left + n - 1);
    row.size = row.before + (line.size() - row.after) + static_cast<std::size_t>(n - 1);
    for (int c = 0; c < n; ++c) {
      const std::string_view value = valueAt(r, c);
      const ValueBytes bytes(value, lineBreaks);
      if (bytes.notHeld != 0) {
        Refuse(dialogs, msg::CharNotHeld(L, left + c, bytes.notHeld));
        return false;
      }
      const bool enclosed = bytes.needsQuotes || IsEnclosedItem(spans.Item(line, left + c));
      if (enclosed) row.enclosed |= std::uint64_t{1} << c;
      row.size += value.size() + (enclosed ? bytes.quotes + 2 : 0);
    }
    if (row.size > kMaxLineBytes) {
      Refuse(dialogs, msg::ConvertedLineTooLong(L));
      return false;
    }
    total += row.size;
  }

  // The lines, in one block (each followed by its line end), each checked as
  // it is made.
  const std::size_t room = total + 2 * static_cast<std::size_t>(rows);
  LineBuilder builder(room, room);
  Lines pasted;
  pasted.reserve(static_cast<std::size_t>(rows));
  LineScan scan;
  for (int r = 0; r < rows; ++r) {
    const long L = top + r;
    const PastedRow& row = plan[static_cast<std::size_t>(r)];
    const Line& old = document[static_cast<std::size_t>(L)];
    const std::string_view line = old.view();
    char* at = std::copy_n(line.data(), row.before, builder.Room(row.size));
    for (int c = 0, n = valuesOf(r); c < n; ++c) {
      if (c > 0) *at++ = ',';
      const std::string_view value = valueAt(r, c);
      at = (row.enclosed >> c) & 1 ? WriteEnclosed(value, at) : std::copy(value.begin(), value.end(), at);
    }
    std::copy(line.begin() + static_cast<std::ptrdiff_t>(row.after), line.end(), at);
    Line made = builder.Take(row.size);
    if (!CheckChangedLine(made.view(), L, dialogs, scan)) return false;
    pasted.push_back(made == old ? old : std::move(made));
  }
  CommitLines(state, static_cast<std::size_t>(top), static_cast<std::size_t>(rows), std::move(pasted), top);
  return true;
}

bool DeleteCells(MainState& state, const CellRange& selection) {
  const Lines& document = state.Document;
  if (document.empty() || selection.lastLine < 0 || selection.firstLine > selection.lastLine) return false;
  const std::size_t first = static_cast<std::size_t>(std::max(selection.firstLine, 0));
  const std::size_t last = std::min(static_cast<std::size_t>(selection.lastLine), document.size() - 1);
  if (first > last) return false;

  std::size_t bytes = 0;  // the most the emptied lines take, with their line ends
  for (std::size_t i = first; i <= last; ++i) bytes += document[i].size() + 2;
  LineBuilder builder(bytes, bytes);
  Lines emptied;
  emptied.reserve(last - first + 1);
  ItemSpans spans;
  bool changed = false;
  for (std::size_t i = first; i <= last; ++i) {
    const Line& old = document[i];
    const std::string_view line = old.view();
    FindSeparators(line, kMaxItems, spans);
    const int from = std::max(selection.firstItem, 1);
    const int to = std::min({selection.lastItem, spans.itemCount, kMaxItems});
    std::size_t size = line.size();
    for (int k = from; k <= to; ++k) {
      const std::string_view item = spans.Item(line, k);
      size -= item.size() - (IsEnclosedItem(item) ? 2 : 0);
    }
    // Emptying never adds a byte: the same length is the same line.
    if (from > to || size == line.size()) {
      emptied.push_back(old);
      continue;
    }
    char* at = std::copy_n(line.data(), ItemStart(line, spans, from), builder.Room(size));
    for (int k = from; k <= to; ++k) {
      if (k > from) *at++ = ',';
      if (IsEnclosedItem(spans.Item(line, k))) at = std::copy_n("\"\"", 2, at);
    }
    const std::size_t rest = ItemEnd(line, spans, to);
    std::copy(line.begin() + static_cast<std::ptrdiff_t>(rest), line.end(), at);
    emptied.push_back(builder.Take(size));
    changed = true;
  }
  if (!changed) return false;
  CommitLines(state, first, last - first + 1, std::move(emptied), static_cast<int>(first));
  return true;
}

}  // namespace cavel
