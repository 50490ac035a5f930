#include "core/QuoteConvert.h"

#include <algorithm>
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

// An item text and whether it is written back enclosed. The remove
// conversion keeps the quotes of a text that holds a comma: without them the
// comma would cut the item in two.
struct Piece {
  std::string_view text;
  bool quoted;
};

Piece PieceOf(QuoteMode mode, std::string_view text) {
  return {text, mode == QuoteMode::Add || text.find(',') != std::string_view::npos};
}

}  // namespace

bool ConvertLines(const Lines& in, QuoteMode mode, Dialogs& dialogs, Lines& out) {
  out.clear();
  out.reserve(in.size());
  // The new lines in as few blocks as hold them: a line grows by at most
  // two quotes an item.
  LineBuilder builder(LineBytes(in), LineBytes(in) + in.size() * (2 * kMaxItems + 2));
  LineScan scan;
  std::vector<Piece> pieces;
  pieces.reserve(kMaxItems + 1);
  const ScanOptions options{kMaxItems, false, false};

  for (std::size_t i = 0; i < in.size(); ++i) {
    std::string_view line = in[i].view();
    long L = static_cast<long>(i);
    bool failed = false;
    ScanLine(line, L, options, dialogs, failed, scan);

    // The separator-ended items, then (when they and the scan passed) the last.
    pieces.clear();
    bool same = true;  // the converted line is the line as it stands
    for (int k = 1; k <= scan.itemCount; ++k) {
      if (k == scan.itemCount && failed) return false;
      const std::string_view item = scan.Item(line, k);
      std::string_view text;
      if (!ItemText(item, L, k, mode, dialogs, text)) return false;
      pieces.push_back(PieceOf(mode, text));
      same = same && item.size() == text.size() + (pieces.back().quoted ? 2 : 0);
    }

    std::size_t size = pieces.size() - 1;
    for (const Piece& p : pieces) size += p.text.size() + (p.quoted ? 2 : 0);
    if (size > kMaxLineBytes) {
      Refuse(dialogs, msg::ConvertedLineTooLong(L));
      return false;
    }
    // A line the conversion leaves as it is stays the line it was.
    if (same) {
      out.push_back(in[i]);
      continue;
    }
    char* at = builder.Room(size);
    for (std::size_t k = 0; k < pieces.size(); ++k) {
      if (k) *at++ = ',';
      if (pieces[k].quoted) *at++ = '"';
      at = std::copy(pieces[k].text.begin(), pieces[k].text.end(), at);
      if (pieces[k].quoted) *at++ = '"';
    }
    out.push_back(builder.Take(size));
  }
  return true;
}

bool ConvertQuotes(MainState& state, QuoteMode mode, Dialogs& dialogs) {
  Lines converted;
  if (!ConvertLines(state.Document, mode, dialogs, converted)) return false;
  CommitDocument(state, std::move(converted), state.CurrentLine);
  return true;
}

}  // namespace cavel
