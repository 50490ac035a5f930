#include "core/QuoteConvert.h"

#include <string_view>
#include <utility>
#include <vector>

#include "core/LineCheck.h"
#include "core/Messages.h"

namespace cavel {

namespace {

// The text of item k of line L with its enclosing quotes taken off, or a
// fault reported (false).
bool ItemText(std::string_view item, long L, long k, QuoteMode mode, Dialogs& dialogs, std::string_view& text) {
  if (item.size() > kMaxItemBytes) {
    Refuse(dialogs, msg::ItemLength(L, k));
    return false;
  }
  if (!item.empty() && item.front() == '"') {
    std::string_view rest = item.substr(1);
    if (!rest.empty() && rest.find('"') != rest.size() - 1) {
      Refuse(dialogs, msg::MissingClosingQuote(L, k));
      return false;
    }
    text = rest.empty() ? rest : rest.substr(0, rest.size() - 1);
  } else if (item.find('"') != std::string_view::npos) {
    Refuse(dialogs, msg::QuoteInMiddle(L, k));
    return false;
  } else {
    text = item;
  }
  // Enclosed, the item must still be one the loader accepts.
  if (mode == QuoteMode::Add && text.size() + 2 > kMaxItemBytes) {
    Refuse(dialogs, msg::ItemLength(L, k));
    return false;
  }
  return true;
}

// An item written back by the remove conversion keeps its quotes when its
// text holds a comma: without them the comma would cut it in two.
bool KeepsQuotes(QuoteMode mode, std::string_view text) {
  return mode == QuoteMode::Add || text.find(',') != std::string_view::npos;
}

}  // namespace

bool ConvertLines(const Lines& in, QuoteMode mode, Dialogs& dialogs, Lines& out) {
  out.clear();
  out.resize(in.size());
  LineScan scan;
  std::vector<std::string_view> texts;
  texts.reserve(kMaxItems + 1);
  const ScanOptions options{kMaxItems, false, false};

  for (std::size_t i = 0; i < in.size(); ++i) {
    std::string_view line = in[i];
    long L = static_cast<long>(i);
    bool failed = false;
    ScanLine(line, L, options, dialogs, failed, scan);

    texts.clear();
    std::size_t start = 0;
    for (std::size_t s = 0; s < scan.separators.size(); ++s) {
      std::string_view text;
      if (!ItemText(line.substr(start, scan.separators[s] - start), L, static_cast<long>(s) + 1, mode, dialogs, text)) {
        failed = true;
        break;
      }
      texts.push_back(text);
      start = scan.separators[s] + 1;
    }
    if (failed) return false;

    std::string_view text;
    if (!ItemText(line.substr(start), L, scan.itemCount, mode, dialogs, text)) return false;
    texts.push_back(text);

    std::size_t size = texts.size() - 1;
    for (std::string_view t : texts) size += t.size() + (KeepsQuotes(mode, t) ? 2 : 0);
    if (size > kMaxLineBytes) {
      Refuse(dialogs, msg::ConvertedLineTooLong(L));
      return false;
    }
    std::string& converted = out[i];
    converted.reserve(size);
    for (std::size_t k = 0; k < texts.size(); ++k) {
      if (k) converted += ',';
      bool quoted = KeepsQuotes(mode, texts[k]);
      if (quoted) converted += '"';
      converted += texts[k];
      if (quoted) converted += '"';
    }
  }
  return true;
}

bool ConvertQuotes(MainState& state, QuoteMode mode, Dialogs& dialogs) {
  Lines converted;
  if (!ConvertLines(state.Document, mode, dialogs, converted)) return false;
  state.Document = std::move(converted);
  state.DocumentChanged = 1;
  return true;
}

}  // namespace cavel
