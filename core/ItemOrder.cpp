#include "core/ItemOrder.h"

#include <algorithm>
#include <utility>

#include "core/Messages.h"
#include "core/Text.h"

namespace cavel {

void RebuildLine(std::string_view line, const ItemSpans& items, const std::vector<int>& order, std::string& out) {
  std::size_t size = order.empty() ? 0 : order.size() - 1;
  for (int k : order) size += items.Item(line, k).size();
  out.clear();
  out.reserve(size);
  for (std::size_t p = 0; p < order.size(); ++p) {
    if (p) out += ',';
    out += items.Item(line, order[p]);
  }
}

bool ItemOrder::Open(const MainState& state, Dialogs& dialogs) {
  entries_.clear();
  order_.clear();
  openingCount_ = 0;
  cursor_ = -1;
  int line = state.CurrentLine;
  if (line < 0 || static_cast<std::size_t>(line) >= state.Document.size()) return false;
  const std::string& reference = state.Document[static_cast<std::size_t>(line)];
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
  Lines rebuilt(document.size());
  LineScan rebuiltScan;
  for (std::size_t i = 0; i < document.size(); ++i) {
    long L = static_cast<long>(i);
    if (!CheckLine(document[i], L, dialogs, scan_)) return false;
    RebuildLine(document[i], scan_, order_, rebuilt[i]);
    // A line with fewer items than the table gains empty items, and with
    // them commas; it must still be a line the loader accepts.
    if (rebuilt[i].size() > kMaxLineBytes) {
      Refuse(dialogs, std::string(msg::kRecordTooLong));
      return false;
    }
    // The last item may hold an odd number of quotes (the loader takes the
    // rest of such a line as one item). Moved before other items it would
    // swallow the separators after it and merge their columns.
    int last = scan_.itemCount;
    if (order_.back() != last && scan_.Item(document[i], last).find('"') != std::string_view::npos &&
        ItemSeparators(rebuilt[i]).size() + 1 != order_.size()) {
      Refuse(dialogs, msg::MissingClosingQuote(L, last));
      return false;
    }
    // The commas of the empty items a short line gains count toward the
    // comma limit: past it the saved file could not be opened again.
    if (order_.size() > static_cast<std::size_t>(last) && !CheckLine(rebuilt[i], L, dialogs, rebuiltScan))
      return false;
  }
  CommitDocument(state, std::move(rebuilt), state.CurrentLine);
  return true;
}

bool ItemOrder::PrefixSave(MainState& state, Dialogs& dialogs, std::string_view question,
                           std::string_view prefix) {
  if (openingCount_ >= kMaxItems) {
    dialogs.ShowMessageDlg(std::string(msg::kNoMoreThan64Items), MsgKind::Warning, mbYes);
    return false;
  }
  if (!Ask(dialogs, std::string(question))) return false;
  const Lines& document = state.Document;
  Lines prefixed(document.size());
  // The prefix brings a comma (and quotes) of its own: a line at the comma
  // or quote limit would become one the loader refuses.
  const int prefixCommas = static_cast<int>(std::count(prefix.begin(), prefix.end(), ','));
  const int prefixQuotes = static_cast<int>(std::count(prefix.begin(), prefix.end(), '"'));
  for (std::size_t i = 0; i < document.size(); ++i) {
    const std::string& line = document[i];
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
    std::string& out = prefixed[i];
    out.reserve(prefix.size() + line.size());
    out += prefix;
    out += line;
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
