#include "core/ItemOrder.h"

#include <algorithm>
#include <utility>

#include "core/Messages.h"
#include "core/Text.h"

namespace cavel {

namespace {

// The size and the bytes of a line rebuilt from the items numbered in
// `order`, joined by commas; a number beyond the line's items gives an
// empty item.
std::size_t RebuiltSize(std::string_view line, const ItemSpans& items, const std::vector<int>& order) {
  std::size_t size = order.empty() ? 0 : order.size() - 1;
  for (int k : order) size += items.Item(line, k).size();
  return size;
}

char* WriteRebuilt(std::string_view line, const ItemSpans& items, const std::vector<int>& order, char* out) {
  for (std::size_t p = 0; p < order.size(); ++p) {
    if (p) *out++ = ',';
    const std::string_view item = items.Item(line, order[p]);
    out = std::copy(item.begin(), item.end(), out);
  }
  return out;
}

}  // namespace

bool ItemOrder::Open(const MainState& state, Dialogs& dialogs) {
  entries_.clear();
  order_.clear();
  openingCount_ = 0;
  cursor_ = -1;
  int line = state.CurrentLine;
  if (line < 0 || static_cast<std::size_t>(line) >= state.Document.size()) return false;
  const std::string_view reference = state.Document[static_cast<std::size_t>(line)].view();
  if (!CheckLine(reference, line, dialogs, scan_)) return false;
  openingCount_ = scan_.itemCount;
  for (int k = 1; k <= openingCount_; ++k) {
    entries_.push_back(Dec2(k) + " : ");
    entries_.back() += scan_.Item(reference, k);
    order_.push_back(k);
  }
  cursor_ = 0;
  return true;
}

void ItemOrder::SwapRows(int a, int b) {
  std::swap(entries_[a], entries_[b]);
  std::swap(order_[a], order_[b]);
}

void ItemOrder::EraseRow(int row) {
  entries_.erase(entries_.begin() + row);
  order_.erase(order_.begin() + row);
}

bool ItemOrder::Save(MainState& state, Dialogs& dialogs) {
  if (order_.empty()) return false;
  const Lines& document = state.Document;
  Lines rebuilt;
  rebuilt.reserve(document.size());
  // The new lines in as few blocks as hold them: no line grows by more than
  // the commas of the empty items it may gain.
  LineBuilder builder(LineBytes(document), LineBytes(document) + document.size() * (order_.size() + 2));
  LineScan rebuiltScan;
  for (std::size_t i = 0; i < document.size(); ++i) {
    const std::string_view line = document[i].view();
    long L = static_cast<long>(i);
    if (!CheckLine(line, L, dialogs, scan_)) return false;
    // A line with fewer items than the table gains empty items, and with
    // them commas; it must still be a line the loader accepts.
    const std::size_t size = RebuiltSize(line, scan_, order_);
    if (size > kMaxLineBytes) {
      Refuse(dialogs, std::string(msg::kRecordTooLong));
      return false;
    }
    WriteRebuilt(line, scan_, order_, builder.Room(size));
    const Line built = builder.Take(size);
    // The last item may hold an odd number of quotes (the loader takes the
    // rest of such a line as one item). Moved before other items it would
    // swallow the separators after it and merge their columns.
    int last = scan_.itemCount;
    if (order_.back() != last && scan_.Item(line, last).find('"') != std::string_view::npos &&
        static_cast<std::size_t>(ItemCount(built.view())) != order_.size()) {
      Refuse(dialogs, msg::MissingClosingQuote(L, last));
      return false;
    }
    // The commas of the empty items a short line gains count toward the
    // comma limit: past it the saved file could not be opened again.
    if (order_.size() > static_cast<std::size_t>(last) && !CheckLine(built.view(), L, dialogs, rebuiltScan))
      return false;
    rebuilt.push_back(built);
  }
  CommitDocument(state, std::move(rebuilt), state.CurrentLine);
  return true;
}

bool ItemOrder::PrefixSave(MainState& state, Dialogs& dialogs, std::string_view question, std::string_view prefix) {
  if (openingCount_ >= kMaxItems) {
    dialogs.ShowMessageDlg(std::string(msg::kNoMoreThan64Items), MsgKind::Warning, mbYes);
    return false;
  }
  if (!Ask(dialogs, std::string(question))) return false;
  const Lines& document = state.Document;
  Lines prefixed;
  prefixed.reserve(document.size());
  const std::size_t prefixedBytes = LineBytes(document) + document.size() * prefix.size();
  LineBuilder builder(prefixedBytes, prefixedBytes + document.size() * 2);
  // The prefix brings a comma (and quotes) of its own: a line at the comma
  // or quote limit would become one the loader refuses.
  const int prefixCommas = static_cast<int>(std::count(prefix.begin(), prefix.end(), ','));
  const int prefixQuotes = static_cast<int>(std::count(prefix.begin(), prefix.end(), '"'));
  for (std::size_t i = 0; i < document.size(); ++i) {
    const std::string_view line = document[i].view();
    if (prefix.size() + line.size() > kMaxLineBytes) {
      Refuse(dialogs, std::string(msg::kRecordTooLong));
      return false;
    }
    // Every line gains an item, not only the reference line: a line that
    // already has 64 would become one the loader refuses.
    if (!CheckLine(line, static_cast<long>(i), dialogs, scan_)) return false;
    if (scan_.itemCount >= kMaxItems) {
      dialogs.ShowMessageDlg(std::string(msg::kNoMoreThan64Items), MsgKind::Warning, mbYes);
      return false;
    }
    if (scan_.commas + prefixCommas > kMaxCommas) {
      Refuse(dialogs, msg::CommaCount(static_cast<long>(i)));
      return false;
    }
    if (scan_.quotes + prefixQuotes > kMaxQuotes) {
      Refuse(dialogs, msg::QuoteCount(static_cast<long>(i)));
      return false;
    }
    char* out = builder.Room(prefix.size() + line.size());
    out = std::copy(prefix.begin(), prefix.end(), out);
    std::copy(line.begin(), line.end(), out);
    prefixed.push_back(builder.Take(prefix.size() + line.size()));
  }
  CommitDocument(state, std::move(prefixed), state.CurrentLine);
  return true;
}

bool ItemOrder::AddSave(MainState& state, Dialogs& dialogs) {
  return PrefixSave(state, dialogs, msg::kAskAddSave, ",");
}

bool ItemOrder::SpecialSave(MainState& state, Dialogs& dialogs) {
  return PrefixSave(state, dialogs, msg::kAskSpecialSave, "\"1\",");
}

}  // namespace cavel
