// Replace all of a plain text, against a model written here: the matches
// found by walking each item's characters one by one.
//
// Input: a control byte (bit 0 case-sensitive, bit 1 whole item, bits 2-3
// the item scope 0..3, bit 4 also the same search as a regular expression),
// the find text up to a 0 byte (at most 12 bytes), the replacement up to a 0
// byte (at most 12), then the lines, each ended by CR.
//
// Checked:
// - the result is the model's: every line, the count, or a refusal with the
//   model's one message (the first line that would break, its first fault);
// - find next, from the start and on after each match, visits the model's
//   first matches in order, and finds none after the last;
// - as a regular expression (the find text escaped, backslashes of the
//   replacement doubled) the result is the same, when the library takes the
//   pattern.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "core/Messages.h"
#include "core/Replace.h"

using namespace cavel;
using namespace cavel::fuzz;

namespace {

FUZZ_PLAIN bool Lead(unsigned char c) { return (c >= 0x81 && c <= 0x9f) || (c >= 0xe0 && c <= 0xfc); }

// The characters of `text`, as their byte lengths.
FUZZ_PLAIN std::vector<std::size_t> Boundaries(std::string_view text) {
  std::vector<std::size_t> out;
  std::size_t i = 0;
  while (i < text.size()) {
    out.push_back(i);
    i += Lead(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
  }
  out.push_back(text.size());
  return out;
}

FUZZ_PLAIN std::string Fold(std::string_view text) {
  std::string out(text);
  const std::vector<std::size_t> b = Boundaries(text);
  for (std::size_t i = 0; i + 1 < b.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(out[b[i]]);
    if (b[i + 1] - b[i] == 1 && c >= 'A' && c <= 'Z') out[b[i]] = static_cast<char>(c + 32);
    if (b[i + 1] - b[i] == 2 && c == 0x82) {
      unsigned char t = static_cast<unsigned char>(out[b[i] + 1]);
      if (t >= 0x60 && t <= 0x79) out[b[i] + 1] = static_cast<char>(t + 0x21);
    }
  }
  return out;
}

FUZZ_PLAIN std::string_view Unquoted(std::string_view item) {
  if (item.empty() || item[0] != '"') return item;
  item.remove_prefix(1);
  if (!item.empty() && item.back() == '"') item.remove_suffix(1);
  return item;
}

struct ModelMatch {
  int line, item;
  std::size_t offset, length;
};

// The checks of a changed line, as a message ("" when it passes).
FUZZ_PLAIN std::string Check(const std::string& line, std::size_t items, long L) {
  if (line.size() > kMaxLineBytes) return msg::ConvertedLineTooLong(L);
  std::size_t commas = 0, quotes = 0;
  for (char c : line) commas += c == ',', quotes += c == '"';
  if (commas > 510) return msg::CommaCount(L);
  if (quotes > 254) return msg::QuoteCount(L);
  const std::vector<std::string_view> now = SplitItems(line);
  if (now.size() > 64) return msg::ItemCount(L, 65);
  if (now.size() != items) return msg::ItemCountChanged(L, static_cast<long>(items), static_cast<long>(now.size()));
  for (std::size_t k = 0; k < now.size(); ++k)
    if (now[k].size() > kMaxItemBytes) return msg::ItemLength(L, static_cast<long>(k) + 1);
  return "";
}

struct Model {
  std::string refusal;  // the one message, when refused
  std::vector<std::string> lines;
  std::vector<ModelMatch> matches;
};

FUZZ_PLAIN Model Expected(const Lines& lines, const ReplaceQuery& query) {
  Model m;
  const int titleItems = lines.empty() ? 0 : static_cast<int>(SplitItems(lines[0].view()).size());
  if (query.find.empty()) return m.refusal = std::string(msg::kNoFindText), m;
  if (query.item > titleItems) return m.refusal = msg::ItemNotInFile(query.item, titleItems), m;
  if (query.replacement.find_first_of("\r\x1a") != std::string::npos)
    return m.refusal = std::string(msg::kBadReplacementChar), m;
  const std::string needle = query.caseSensitive ? query.find : Fold(query.find);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i].view();
    const std::vector<std::string_view> items = SplitItems(line);
    std::string out;
    std::size_t done = 0, found = 0;
    for (std::size_t k = 1; k <= items.size(); ++k) {
      if (query.item != 0 && static_cast<int>(k) != query.item) continue;
      const std::string_view text = Unquoted(items[k - 1]);
      const std::size_t at = static_cast<std::size_t>(text.data() - line.data());
      // Folding keeps the lengths and the characters' places.
      const std::string folded = query.caseSensitive ? std::string(text) : Fold(text);
      std::vector<std::pair<std::size_t, std::size_t>> spans;
      if (query.wholeItem) {
        if (folded == needle) spans.push_back({0, text.size()});
      } else {
        const std::vector<std::size_t> b = Boundaries(text);
        std::size_t next = 0;
        for (std::size_t x : b) {
          const std::size_t end = x + needle.size();
          if (x < next || end > text.size() || folded.compare(x, needle.size(), needle) != 0) continue;
          if (!std::binary_search(b.begin(), b.end(), end)) continue;
          spans.push_back({x, end});
          next = end;
        }
      }
      for (auto [s, e] : spans) {
        m.matches.push_back({static_cast<int>(i), static_cast<int>(k), at + s, e - s});
        out.append(line.substr(done, at + s - done));
        out += query.replacement;
        done = at + e;
        ++found;
      }
    }
    if (found == 0) {
      m.lines.emplace_back(line);
      continue;
    }
    out.append(line.substr(done));
    if (std::string fault = Check(out, items.size(), static_cast<long>(i)); !fault.empty()) {
      m.refusal = fault;
      return m;
    }
    m.lines.push_back(out);
  }
  return m;
}

// The find text as a pattern that matches it literally.
FUZZ_PLAIN std::string Escaped(std::string_view text) {
  std::string out;
  const std::vector<std::size_t> b = Boundaries(text);
  for (std::size_t i = 0; i + 1 < b.size(); ++i) {
    const std::string_view c = text.substr(b[i], b[i + 1] - b[i]);
    const auto u = static_cast<unsigned char>(c[0]);
    if (c.size() == 1 && u < 0x80 && !std::isalnum(u)) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", u);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

FUZZ_PLAIN std::string DoubledBackslashes(std::string_view text) {
  std::string out;
  const std::vector<std::size_t> b = Boundaries(text);
  for (std::size_t i = 0; i + 1 < b.size(); ++i) {
    const std::string_view c = text.substr(b[i], b[i + 1] - b[i]);
    out += c;
    if (c == "\\") out += '\\';
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in(data, size);
  const std::uint8_t control = in.Byte();
  ReplaceQuery query;
  query.caseSensitive = control & 1;
  query.wholeItem = control & 2;
  query.item = (control >> 2) & 3;
  query.find = in.Until('\0', 12);
  query.replacement = in.Until('\0', 12);
  const Lines lines = SplitAtCR(in.Rest());

  const Model model = Expected(lines, query);
  RecordingDialogs dialogs;
  const std::optional<Replaced> result = ReplaceAllLines(lines, query, dialogs);
  if (!model.refusal.empty()) {
    FUZZ_CHECK(!result);
    FUZZ_CHECK(dialogs.shown.size() == 1 && dialogs.Refusals() == 1);
    FUZZ_CHECK(dialogs.shown[0].text == model.refusal);
    return 0;
  }
  FUZZ_CHECK(result && dialogs.shown.empty());
  FUZZ_CHECK(std::equal(result->lines.begin(), result->lines.end(), model.lines.begin(), model.lines.end(),
                        [](const Line& a, const std::string& b) { return a.view() == b; }));
  FUZZ_CHECK(result->count == model.matches.size());

  // Find next from the start visits the same matches (the first few: each
  // search reads its line's matches again), and none after the last.
  MainState state;
  state.Document = lines;
  auto next = [&](TextPlace from) {
    RecordingDialogs quiet;
    std::optional<Found> found = FindNextMatch(state, query, from, quiet);
    FUZZ_CHECK(found ? quiet.shown.empty() : quiet.shown.size() == 1 && quiet.shown[0].text == msg::kNotFound);
    return found;
  };
  auto foundOf = [](const ModelMatch& m) { return Found{m.line, m.item, m.offset, m.length}; };
  TextPlace from{0, 0};
  for (std::size_t n = 0; n < model.matches.size() && n < 6; ++n) {
    const std::optional<Found> found = next(from);
    FUZZ_CHECK(found && *found == foundOf(model.matches[n]));
    from = found->After();
  }
  if (!model.matches.empty()) from = foundOf(model.matches.back()).After();
  FUZZ_CHECK(!next(from));

  if (control & 16) {
    ReplaceQuery regex = query;
    regex.regex = true;
    regex.find = Escaped(query.find);
    regex.replacement = DoubledBackslashes(query.replacement);
    RecordingDialogs regexDialogs;
    const std::optional<Replaced> viaRegex = ReplaceAllLines(lines, regex, regexDialogs);
    if (!viaRegex) {
      // Only the library may refuse: a pattern of bytes that are no
      // Shift-JIS characters.
      FUZZ_CHECK(regexDialogs.shown.size() == 1);
      FUZZ_CHECK(regexDialogs.shown[0].text.rfind(msg::RegexRefused("").substr(0, 20), 0) == 0);
      return 0;
    }
    FUZZ_CHECK(viaRegex->lines == result->lines);
    FUZZ_CHECK(viaRegex->count == result->count);
  }
  return 0;
}
