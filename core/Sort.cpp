#include "core/Sort.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "core/Messages.h"
#include "core/Text.h"

namespace cavel {

std::string_view UnquotedText(std::string_view item) {
  if (item.empty() || item.front() != '"') return item;
  item.remove_prefix(1);
  if (!item.empty() && item.back() == '"') item.remove_suffix(1);
  return item;
}

std::vector<std::string> ItemTitleChoices(const Lines& lines) {
  std::vector<std::string> choices;
  if (lines.empty()) return choices;
  int k = 0;
  for (std::string_view title : SplitItems(lines[0].view()))
    choices.push_back(msg::ItemChoice(++k, SjisPrefix(UnquotedText(title), kItemChoiceTitleBytes)));
  return choices;
}

namespace {

// ---- reading numbers ------------------------------------------------------------

constexpr std::string_view kWideBlank = "\x81\x40";  // 　
constexpr std::string_view kWidePlus = "\x81\x7b";   // ＋
constexpr std::string_view kWideMinus = "\x81\x7c";  // －
constexpr std::string_view kWideComma = "\x81\x43";  // ，
constexpr std::string_view kWidePoint = "\x81\x44";  // ．

// The character at `pos` (one or two bytes).
std::string_view CharAt(std::string_view text, std::size_t pos) { return text.substr(pos, SjisCharLength(text, pos)); }

bool IsAnyBlank(std::string_view c) { return c == " " || c == "\t" || c == kWideBlank; }

// The text without the blanks before and after it. Walked forward: the
// bytes of a full-width blank can end a text without being one.
std::string_view TrimBlanks(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && IsAnyBlank(CharAt(text, pos))) pos += SjisCharLength(text, pos);
  std::size_t end = pos;
  for (std::size_t at = pos; at < text.size();) {
    const std::size_t len = SjisCharLength(text, at);
    at += len;
    if (!IsAnyBlank(text.substr(at - len, len))) end = at;
  }
  return text.substr(pos, end - pos);
}

// The digit 0-9 a character stands for (ASCII or full-width), or -1.
int DigitOf(std::string_view c) {
  if (c.size() == 1) return c[0] >= '0' && c[0] <= '9' ? c[0] - '0' : -1;
  const auto lead = static_cast<unsigned char>(c[0]);
  const auto trail = static_cast<unsigned char>(c[1]);
  return lead == 0x82 && trail >= 0x4f && trail <= 0x58 ? trail - 0x4f : -1;
}

}  // namespace

bool AppendNumberKey(std::string_view text, std::string& out) {
  text = TrimBlanks(text);
  std::size_t pos = 0;
  auto next = [&]() {
    std::string_view c = CharAt(text, pos);
    pos += c.size();
    return c;
  };
  bool negative = false;
  if (pos < text.size()) {
    std::string_view c = CharAt(text, pos);
    if (c == "+" || c == kWidePlus || c == "-" || c == kWideMinus) {
      negative = c == "-" || c == kWideMinus;
      pos += c.size();
    }
  }
  // The whole part: digits, or groups of three after a first group of one
  // to three, each group after a comma.
  std::string whole, fraction;
  int group = 0;         // digits since the last comma (or the start)
  bool grouped = false;  // a comma was seen
  bool point = false;
  while (pos < text.size()) {
    std::string_view c = next();
    if (int d = DigitOf(c); d >= 0) {
      whole += static_cast<char>('0' + d);
      ++group;
      if (grouped && group > 3) return false;
    } else if (c == "," || c == kWideComma) {
      if (group == 0 || group > 3 || (grouped && group != 3)) return false;
      grouped = true;
      group = 0;
    } else if (c == "." || c == kWidePoint) {
      point = true;
      break;
    } else {
      return false;
    }
  }
  if (grouped && group != 3) return false;
  while (point && pos < text.size()) {
    int d = DigitOf(next());
    if (d < 0) return false;
    fraction += static_cast<char>('0' + d);
  }
  // The count of whole digits takes two bytes.
  if ((whole.empty() && fraction.empty()) || whole.size() > 0xffff) return false;

  // Value order as byte order: the sign's class, the number of whole digits
  // (two bytes), then the digits without leading or trailing zeros. A
  // negative number's bytes are turned over and end in 0xFF, so that a
  // longer (larger) magnitude comes first.
  whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
  fraction.erase(std::min(fraction.find_last_not_of('0') + 1, fraction.size()));
  if (whole.empty() && fraction.empty()) {
    out += '\x02';
    return true;
  }
  const std::size_t start = out.size();
  out += negative ? '\x01' : '\x03';
  out += static_cast<char>(whole.size() >> 8);
  out += static_cast<char>(whole.size() & 0xff);
  out += whole;
  out += fraction;
  if (negative) {
    for (std::size_t i = start + 1; i < out.size(); ++i)
      out[i] = static_cast<char>(0xff - static_cast<unsigned char>(out[i]));
    out += '\xff';
  }
  return true;
}

namespace {

// ---- the keys of the lines -----------------------------------------------------------

enum KeyClass : std::uint8_t { kValue = 0, kOther = 1, kEmpty = 2 };

// One key of one line: its bytes (in the line, or in the numbers' store)
// and their first eight as a number, which settles most comparisons.
struct KeyValue {
  std::uint64_t prefix = 0;
  const char* data = nullptr;
  std::uint32_t size = 0;
  KeyClass cls = kEmpty;
};

// The first key of a line, sorted with the line's index: the sort moves
// these and looks the other keys up only on a tie.
struct SortEntry {
  KeyValue key;
  std::uint32_t line = 0;
};

std::uint64_t PrefixOf(const char* data, std::size_t size) {
  unsigned char bytes[8] = {};
  std::memcpy(bytes, data, std::min<std::size_t>(size, 8));
  std::uint64_t prefix = 0;
  for (unsigned char b : bytes) prefix = prefix << 8 | b;
  return prefix;
}

int CompareBytes(const KeyValue& a, const KeyValue& b) {
  if (a.prefix != b.prefix) return a.prefix < b.prefix ? -1 : 1;
  if (int c = std::memcmp(a.data, b.data, std::min(a.size, b.size)); c != 0) return c;
  return a.size == b.size ? 0 : a.size < b.size ? -1 : 1;
}

// Numbers, then other texts, then empty items, in either direction.
int CompareKey(const KeyValue& a, const KeyValue& b, bool descending) {
  if (a.cls != b.cls) return a.cls < b.cls ? -1 : 1;
  if (a.cls == kEmpty) return 0;
  const int c = CompareBytes(a, b);
  return descending ? -c : c;
}

// The keys of every line but the title line, read once.
class KeyTable {
 public:
  KeyTable(const Lines& lines, const std::vector<SortKey>& keys) : keys_(keys) {
    const std::size_t count = lines.size() - 1;
    entries_.resize(count);
    if (keys_.size() > 1) rest_.resize(count * (keys_.size() - 1));
    std::vector<std::size_t> inStore;  // keys whose bytes are in numbers_, by place
    ItemSpans spans;
    for (std::size_t i = 0; i < count; ++i) {
      const std::string_view line = lines[i + 1].view();
      FindSeparators(line, spans);
      entries_[i].line = static_cast<std::uint32_t>(i + 1);
      for (std::size_t k = 0; k < keys_.size(); ++k) {
        KeyValue& key = At(i, k);
        Read(UnquotedText(spans.Item(line, keys_[k].item)), keys_[k].kind, key);
        if (key.cls == kValue && key.data == nullptr) inStore.push_back(i * keys_.size() + k);
      }
    }
    // The numbers' store has stopped growing: point into it now.
    for (std::size_t place : inStore) {
      KeyValue& key = At(place / keys_.size(), place % keys_.size());
      key.data = numbers_.data() + key.prefix;
    }
    for (std::size_t i = 0; i < count; ++i)
      for (std::size_t k = 0; k < keys_.size(); ++k) {
        KeyValue& key = At(i, k);
        if (key.cls != kEmpty) key.prefix = PrefixOf(key.data, key.size);
      }
  }

  std::vector<SortEntry>& entries() { return entries_; }

  bool Less(const SortEntry& a, const SortEntry& b) const {
    if (int c = CompareKey(a.key, b.key, keys_[0].descending); c != 0) return c < 0;
    const std::size_t others = keys_.size() - 1;
    for (std::size_t k = 0; k < others; ++k) {
      const KeyValue& x = rest_[(a.line - 1) * others + k];
      const KeyValue& y = rest_[(b.line - 1) * others + k];
      if (int c = CompareKey(x, y, keys_[k + 1].descending); c != 0) return c < 0;
    }
    return false;
  }

 private:
  KeyValue& At(std::size_t i, std::size_t k) {
    return k == 0 ? entries_[i].key : rest_[i * (keys_.size() - 1) + k - 1];
  }

  // A key's value; a number's bytes are placed in the store, their offset
  // kept in `prefix` until the store is complete.
  void Read(std::string_view text, SortKind kind, KeyValue& key) {
    if (kind == SortKind::Number) {
      text = TrimBlanks(text);
      const std::size_t offset = numbers_.size();
      if (!text.empty() && AppendNumberKey(text, numbers_)) {
        key = {offset, nullptr, static_cast<std::uint32_t>(numbers_.size() - offset), kValue};
        return;
      }
    }
    if (text.empty()) {
      key = {};
      return;
    }
    key = {0, text.data(), static_cast<std::uint32_t>(text.size()), kind == SortKind::Number ? kOther : kValue};
  }

  std::vector<SortKey> keys_;
  std::vector<SortEntry> entries_;
  std::vector<KeyValue> rest_;  // keys 2 and 3, line by line
  std::string numbers_;
};

}  // namespace

std::vector<std::size_t> SortOrder(const Lines& lines, const SortKeys& keys) {
  std::vector<std::size_t> order(lines.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::vector<SortKey> used;
  for (const SortKey& key : keys)
    if (key.item != 0) used.push_back(key);
  if (lines.size() < 3 || used.empty()) return order;

  KeyTable table(lines, used);
  std::vector<SortEntry>& entries = table.entries();
  std::stable_sort(entries.begin(), entries.end(),
                   [&table](const SortEntry& a, const SortEntry& b) { return table.Less(a, b); });
  for (std::size_t i = 0; i < entries.size(); ++i) order[i + 1] = entries[i].line;
  return order;
}

bool SortDocument(MainState& state, const SortKeys& keys, Dialogs& dialogs) {
  const Lines& document = state.Document;
  const int titleItems = document.empty() ? 0 : ItemCount(document[0].view());
  bool any = false;
  for (const SortKey& key : keys) {
    if (key.item == 0) continue;
    if (key.item < 0 || key.item > titleItems) {
      Refuse(dialogs, msg::ItemNotInFile(key.item, titleItems));
      return false;
    }
    any = true;
  }
  if (!any) {
    Refuse(dialogs, std::string(msg::kNoSortKey));
    return false;
  }

  const std::vector<std::size_t> order = SortOrder(document, keys);
  Lines sorted;
  sorted.reserve(order.size());
  int currentLine = state.CurrentLine;
  for (std::size_t i = 0; i < order.size(); ++i) {
    sorted.push_back(document[order[i]]);
    if (static_cast<long long>(order[i]) == state.CurrentLine) currentLine = static_cast<int>(i);
  }
  CommitDocument(state, std::move(sorted), currentLine);
  return true;
}

}  // namespace cavel
