#include "core/Clipboard.h"

#include <algorithm>

namespace cavel {

namespace {

constexpr std::size_t kNoCloser = std::string_view::npos;

// Appends the item as a value for other programs: enclosing quotes taken
// off and doubled quotes undone; an item that is not enclosed stands as it is.
void AppendItemValue(std::string& out, std::string_view item) {
  if (!IsEnclosedItem(item)) {
    out += item;
    return;
  }
  const std::string_view inner = item.substr(1, item.size() - 2);
  for (std::size_t from = 0; from < inner.size();) {
    std::size_t quote = std::min(inner.find('"', from), inner.size());
    out.append(inner.substr(from, quote - from));
    if (quote < inner.size()) {
      out += '"';
      if (quote + 1 < inner.size() && inner[quote + 1] == '"') ++quote;
    }
    from = quote + 1;
  }
}

// True when a spreadsheet would read `value` as more than one cell, or take
// its quotes away: it holds a tab or a line break, or begins with a quote.
bool ValueNeedsQuotes(std::string_view value) {
  if (!value.empty() && value[0] == '"') return true;
  for (const char c : value)
    if (c == '\t' || c == '\n' || c == '\r') return true;
  return false;
}

// Appends item `item` to tab-separated text as its value, enclosed where
// ValueNeedsQuotes; `value` is room for the value on its way.
void AppendTextValue(std::string& out, std::string_view item, std::string& value) {
  value.clear();
  AppendItemValue(value, item);
  if (!ValueNeedsQuotes(value)) {
    out += value;
    return;
  }
  out += '"';
  for (char c : value) {
    out += c;
    if (c == '"') out += '"';
  }
  out += '"';
}

// The lines of `range` that `document` holds; `out` is given room for
// about what they copy to.
bool LinesIn(const Lines& document, const CellRange& range, std::size_t& first, std::size_t& last,
             std::string& out) {
  if (document.empty() || range.lastLine < 0 || range.firstLine > range.lastLine) return false;
  first = static_cast<std::size_t>(std::max(range.firstLine, 0));
  last = std::min(static_cast<std::size_t>(range.lastLine), document.size() - 1);
  if (first > last) return false;
  std::size_t bytes = 0;
  for (std::size_t i = first; i <= last; ++i) bytes += document[i].size();
  out.reserve(bytes + (last - first + 1) * static_cast<std::size_t>(std::max(range.Cols(), 0) + 1));
  return true;
}

// Where the value opened by the double quote at `open` closes: the first
// quote after it that is not one of a pair. Each search goes on from where
// the value is read on, so the text is walked once; a search that finds no
// closing quote is remembered, since every quote after it stands in a pair.
class QuoteCloser {
 public:
  explicit QuoteCloser(std::string_view text) : text_(text) {}

  std::size_t Find(std::size_t open) {
    if (unclosedFrom_ != kNoCloser && open > unclosedFrom_) {
      // A value opens at the start of a run of quotes; after a failed search
      // every run has an even length, the last quote closing the value.
      std::size_t end = open;
      while (end < text_.size() && text_[end] == '"') ++end;
      return (end - open) % 2 == 0 ? end - 1 : kNoCloser;
    }
    for (std::size_t p = open + 1;;) {
      const std::size_t q = text_.find('"', p);
      if (q == std::string_view::npos) {
        unclosedFrom_ = open;
        return kNoCloser;
      }
      if (q + 1 < text_.size() && text_[q + 1] == '"') {
        p = q + 2;
        continue;
      }
      return q;
    }
  }

 private:
  std::string_view text_;
  std::size_t unclosedFrom_ = kNoCloser;
};

// Appends what stands between a value's enclosing quotes: each pair of
// quotes is one, each line break one LF.
void AppendEnclosed(std::string& out, std::string_view inner) {
  for (std::size_t i = 0; i < inner.size(); ++i) {
    char c = inner[i];
    if (c == '"') {
      ++i;
    } else if (c == '\r') {
      if (i + 1 < inner.size() && inner[i + 1] == '\n') ++i;
      c = '\n';
    }
    out += c;
  }
}

}  // namespace

bool IsEnclosedItem(std::string_view item) { return item.size() >= 2 && item.front() == '"' && item.back() == '"'; }

namespace {

// The rectangle's items line by line: `append` adds each item, `separator`
// stands between items and `lineEnd` after each line.
template <class Append>
std::string CopyCells(const Lines& document, const CellRange& range, char separator, std::string_view lineEnd,
                      Append&& append) {
  std::string out;
  std::size_t first = 0, last = 0;
  if (!LinesIn(document, range, first, last, out)) return out;
  ItemSpans spans;
  for (std::size_t i = first; i <= last; ++i) {
    const std::string_view line = document[i].view();
    FindSeparators(line, kMaxItems, spans);
    for (int k = range.firstItem; k <= range.lastItem; ++k) {
      if (k > range.firstItem) out += separator;
      append(out, spans.Item(line, k));
    }
    out += lineEnd;
  }
  return out;
}

}  // namespace

std::string CopyCellsText(const Lines& document, const CellRange& range) {
  std::string value;
  return CopyCells(document, range, '\t', "\n",
                   [&](std::string& out, std::string_view item) { AppendTextValue(out, item, value); });
}

std::string CopyCellsCsv(const Lines& document, const CellRange& range) {
  return CopyCells(document, range, ',', "\r\n", [](std::string& out, std::string_view item) { out += item; });
}

// ---- pasted text ---------------------------------------------------------------------

std::string_view PastedCells::Value(int r, int c) const {
  if (r < 0 || c < 0 || static_cast<std::size_t>(r) >= rowFirst_.size() || c >= std::min(RowSize(r), kMaxItems))
    return {};
  const Span& s = cells_[rowFirst_[static_cast<std::size_t>(r)] + static_cast<std::size_t>(c)];
  return std::string_view(bytes_).substr(s.start, s.size);
}

PastedCells PastedCells::Read(std::string_view text, char separator) {
  PastedCells out;
  out.bytes_.reserve(text.size());
  QuoteCloser closer(text);
  const std::size_t n = text.size();
  std::size_t pos = 0;
  bool keepRow = true;
  int values = 0;  // in the row being read
  out.rowFirst_.push_back(0);
  for (;;) {
    const bool keep = keepRow && values < kMaxItems;
    const std::size_t start = out.bytes_.size();
    if (pos < n && text[pos] == '"') {
      const std::size_t close = closer.Find(pos);
      if (close != kNoCloser) {
        if (keep) AppendEnclosed(out.bytes_, text.substr(pos + 1, close - pos - 1));
        pos = close + 1;
      }
    }
    std::size_t end = pos;
    while (end < n && text[end] != separator && text[end] != '\n' && text[end] != '\r') ++end;
    if (keep) {
      out.bytes_.append(text.substr(pos, end - pos));
      out.cells_.push_back({start, out.bytes_.size() - start});
    }
    ++values;
    pos = end;
    if (pos < n && text[pos] == separator) {
      ++pos;
      continue;
    }
    // The row ends here.
    if (keepRow) out.rowSize_.push_back(values);
    ++out.rows_;
    out.cols_ = std::max(out.cols_, values);
    if (pos == n) break;
    pos += text[pos] == '\r' && pos + 1 < n && text[pos + 1] == '\n' ? 2 : 1;
    values = 0;
    keepRow = out.rows_ < static_cast<int>(kMostLines);
    if (keepRow) out.rowFirst_.push_back(out.cells_.size());
  }
  return out;
}

PastedCells ParsePasted(std::string_view text, PasteSeparator separator) {
  if (text.empty()) return {};
  if (text.ends_with("\r\n"))
    text.remove_suffix(2);
  else if (text.ends_with('\n') || text.ends_with('\r'))
    text.remove_suffix(1);
  switch (separator) {
    case PasteSeparator::Tab: return PastedCells::Read(text, '\t');
    case PasteSeparator::Comma: return PastedCells::Read(text, ',');
    case PasteSeparator::Auto: break;
  }
  // Without a tab the text can only be comma-separated (or one column).
  if (text.find('\t') == std::string_view::npos) return PastedCells::Read(text, ',');
  PastedCells cells = PastedCells::Read(text, '\t');
  if (cells.Cols() > 1 || text.find(',') == std::string_view::npos) return cells;
  return PastedCells::Read(text, ',');
}

}  // namespace cavel
