#include "core/Replace.h"

// The library's short names (UChar, regex_t) stay out of this program.
#define ONIG_ESCAPE_UCHAR_COLLISION 1
#define ONIG_ESCAPE_REGEX_T_COLLISION 1
#include <oniguruma.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>
#include <utility>
#include <vector>

#include "core/Messages.h"
#include "core/Sort.h"
#include "core/Text.h"

namespace cavel {

namespace {

// ---- case folding ------------------------------------------------------------------

// Copies `text` to `out` with the ASCII and full-width Latin capitals made
// small. The lengths and the character boundaries stay: a capital's lead
// byte is kept and only single bytes and trail bytes change.
void FoldInto(std::string_view text, char* out) {
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  for (std::size_t pos = 0; pos < n;) {
    const unsigned char c = in[pos];
    if (IsSjisLead(c) && pos + 1 < n) {
      const unsigned char trail = in[pos + 1];
      out[pos] = static_cast<char>(c);
      out[pos + 1] = static_cast<char>(c == 0x82 && trail - 0x60u < 26u ? trail + 0x21 : trail);
      pos += 2;
    } else {
      out[pos] = static_cast<char>(static_cast<unsigned>(c - 'A') < 26u ? c + 0x20 : c);
      pos += 1;
    }
  }
}

std::string Folded(std::string_view text) {
  std::string out(text.size(), '\0');
  FoldInto(text, out.data());
  return out;
}

// Only the full-width capitals: the pattern's ASCII letters fold in the
// library, where a letter after a backslash keeps its meaning.
std::string FoldWideLetters(std::string_view pattern) {
  std::string out(pattern);
  for (std::size_t pos = 0; pos < out.size(); pos += SjisCharLength(out, pos)) {
    const auto trail = pos + 1 < out.size() ? static_cast<unsigned char>(out[pos + 1]) : 0;
    if (static_cast<unsigned char>(out[pos]) == 0x82 && trail >= 0x60 && trail <= 0x79)
      out[pos + 1] = static_cast<char>(trail + 0x21);
  }
  return out;
}

// ---- the library ------------------------------------------------------------------------

void InitializeOniguruma() {
  static const int initialized = [] {
    OnigEncoding encodings[] = {ONIG_ENCODING_SJIS};
    return onig_initialize(encodings, 1);
  }();
  (void)initialized;
}

std::string OnigMessage(int code, OnigErrorInfo* info) {
  OnigUChar text[ONIG_MAX_ERROR_MESSAGE_LEN];
  const int size = info ? onig_error_code_to_str(text, code, info) : onig_error_code_to_str(text, code);
  return std::string(reinterpret_cast<const char*>(text), size > 0 ? static_cast<std::size_t>(size) : 0);
}

struct RegexDeleter {
  void operator()(OnigRegexType* regex) const { onig_free(regex); }
};
struct RegionDeleter {
  void operator()(OnigRegion* region) const { onig_region_free(region, 1); }
};
struct ParamDeleter {
  void operator()(OnigMatchParam* param) const { onig_free_match_param(param); }
};
using RegexPtr = std::unique_ptr<OnigRegexType, RegexDeleter>;

// How far one search may go before it is given up: a pattern that
// backtracks without end must not hang the program.
constexpr unsigned long kRetriesInMatch = 1'000'000;
constexpr unsigned long kRetriesInSearch = 20'000'000;
constexpr unsigned int kMatchStack = 1'000'000;

// Compiles `pattern`; a refusal (the library's reason) when it cannot.
RegexPtr Compile(std::string_view pattern, bool caseSensitive, Dialogs& dialogs) {
  InitializeOniguruma();
  OnigRegex regex = nullptr;
  OnigErrorInfo info{};
  const auto* begin = reinterpret_cast<const OnigUChar*>(pattern.data());
  const OnigOptionType options = ONIG_OPTION_CAPTURE_GROUP | (caseSensitive ? 0 : ONIG_OPTION_IGNORECASE);
  const int code = onig_new(&regex, begin, begin + pattern.size(), options, ONIG_ENCODING_SJIS, ONIG_SYNTAX_PERL_NG,
                            &info);
  if (code != ONIG_NORMAL) {
    Refuse(dialogs, msg::RegexRefused(OnigMessage(code, &info)));
    return nullptr;
  }
  return RegexPtr(regex);
}

// ---- matches -------------------------------------------------------------------------------

struct Match {
  int item = 0;
  std::size_t begin = 0;  // in the line
  std::size_t end = 0;
  std::size_t groups = 0;  // where the groups of a pattern's match are kept
};

// A group's bytes in the line; begin == npos for a group that took no part.
using GroupSpan = std::pair<std::size_t, std::size_t>;

// A piece of the replacement: its literal bytes, or a group.
struct ReplacementPiece {
  std::string_view text;
  int group = -1;
};

enum class Scan { Ok, Failed };

// A ReplaceQuery made ready to run: checked, folded, compiled.
class Matcher {
 public:
  // Checks the search against `lines` and compiles it; false after a refusal.
  bool Prepare(const ReplaceQuery& query, const Lines& lines, Dialogs& dialogs) {
    query_ = &query;
    if (query.find.empty()) return Refuse(dialogs, std::string(msg::kNoFindText)), false;
    const int titleItems = lines.empty() ? 0 : ItemCount(lines[0].view());
    if (query.item < 0 || query.item > titleItems)
      return Refuse(dialogs, msg::ItemNotInFile(query.item, titleItems)), false;
    if (query.replacement.find_first_of("\r\x1a") != std::string::npos)
      return Refuse(dialogs, std::string(msg::kBadReplacementChar)), false;
    fold_ = !query.caseSensitive;

    pieces_.clear();
    if (!query.regex) {
      needle_ = fold_ ? Folded(query.find) : query.find;
      pieces_.push_back({query.replacement});
      return true;
    }
    const std::string pattern = fold_ ? FoldWideLetters(query.find) : query.find;
    regex_ = Compile(pattern, query.caseSensitive, dialogs);
    if (!regex_) return false;
    if (query.wholeItem) {
      // The whole text: the pattern, then the end of the text. The pattern
      // alone was accepted above, so a fault here is the wrapping's.
      regex_ = Compile("(?:" + pattern + ")\\z", query.caseSensitive, dialogs);
      if (!regex_) return false;
    }
    region_.reset(onig_region_new());
    param_.reset(onig_new_match_param());
    if (!region_ || !param_) throw std::bad_alloc();
    onig_initialize_match_param(param_.get());
    onig_set_retry_limit_in_match_of_match_param(param_.get(), kRetriesInMatch);
    onig_set_retry_limit_in_search_of_match_param(param_.get(), kRetriesInSearch);
    onig_set_match_stack_limit_size_of_match_param(param_.get(), kMatchStack);
    return ParseReplacement(query.replacement, onig_number_of_captures(regex_.get()), dialogs);
  }

  // Every match of line `index`, in order, into `out`. Failed after a
  // refusal (an empty match, or a search the library gave up).
  // The items of the line whose matches LineMatches last found.
  int LineItems() const { return spans_.itemCount; }

  Scan LineMatches(const Lines& lines, std::size_t index, std::vector<Match>& out, Dialogs& dialogs) {
    out.clear();
    groups_.clear();
    const std::string_view line = lines[index].view();
    // A line without the find text anywhere has no match (plain, as typed).
    if (!query_->regex && !fold_ && query_->item == 0 &&
        !memmem(line.data(), line.size(), needle_.data(), needle_.size()))
      return Scan::Ok;
    FindSeparators(line, spans_);
    const char* subject = line.data();
    if (fold_) {
      folded_.assign(line.size(), '\0');
      subject = folded_.data();
    }
    const int first = query_->item == 0 ? 1 : query_->item;
    const int last = query_->item == 0 ? spans_.itemCount : std::min(query_->item, spans_.itemCount);
    for (int k = first; k <= last; ++k) {
      const std::string_view text = UnquotedText(spans_.Item(line, k));
      const auto at = static_cast<std::size_t>(text.data() - line.data());
      if (fold_) FoldInto(text, folded_.data() + at);
      if (ItemMatches(line, std::string_view(subject + at, text.size()), at, k, out, dialogs) == Scan::Failed)
        return Scan::Failed;
    }
    return Scan::Ok;
  }

  // The replacement for `match` in `line`, appended to `out`.
  void Expand(std::string_view line, const Match& match, std::string& out) const {
    for (const ReplacementPiece& piece : pieces_) {
      if (piece.group < 0) {
        out += piece.text;
        continue;
      }
      const auto [begin, end] = piece.group == 0 ? GroupSpan{match.begin, match.end}
                                                 : groups_[match.groups + static_cast<std::size_t>(piece.group) - 1];
      if (begin != std::string_view::npos) out.append(line.data() + begin, end - begin);
    }
  }

 private:
  // The replacement cut into literal bytes and groups; false after a
  // refusal for a group the pattern does not have.
  bool ParseReplacement(std::string_view text, int captures, Dialogs& dialogs) {
    kept_ = 0;
    std::size_t start = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += SjisCharLength(text, pos)) {
      if (text[pos] != '\\' || pos + 1 >= text.size()) continue;
      const char next = text[pos + 1];
      if (next == '\\') {
        pieces_.push_back({text.substr(start, pos + 1 - start)});
        start = pos + 2;
        ++pos;  // the second backslash is taken
      } else if (next >= '0' && next <= '9') {
        const int group = next - '0';
        if (group > captures) return Refuse(dialogs, msg::NoSuchGroup(group)), false;
        kept_ = std::max(kept_, static_cast<std::size_t>(group));
        pieces_.push_back({text.substr(start, pos - start)});
        pieces_.push_back({{}, group});
        start = pos + 2;
        ++pos;
      }
    }
    pieces_.push_back({text.substr(start)});
    return true;
  }

  // The matches in one item's text (`subject`, folded or not, at `at` in
  // the line).
  Scan ItemMatches(std::string_view line, std::string_view subject, std::size_t at, int item, std::vector<Match>& out,
                   Dialogs& dialogs) {
    if (!query_->regex) {
      if (query_->wholeItem) {
        if (subject == needle_) Add(out, item, at, at + subject.size());
        return Scan::Ok;
      }
      PlainMatches(line.substr(at, subject.size()), subject, at, item, out);
      return Scan::Ok;
    }
    const auto* begin = reinterpret_cast<const OnigUChar*>(subject.data());
    const auto* end = begin + subject.size();
    if (query_->wholeItem) {
      const int r = onig_match_with_param(regex_.get(), begin, end, begin, region_.get(), ONIG_OPTION_NONE,
                                          param_.get());
      if (r == ONIG_MISMATCH) return Scan::Ok;
      if (r < 0) return Failed(r, dialogs);
      AddRegion(out, item, at);
      return Scan::Ok;
    }
    const std::string_view original = line.substr(at, subject.size());
    std::size_t boundary = 0;  // a character boundary at or before `from`
    for (std::size_t from = 0; from <= subject.size();) {
      const int r = onig_search_with_param(regex_.get(), begin, end, begin + from, end, region_.get(), ONIG_OPTION_NONE,
                                           param_.get());
      if (r == ONIG_MISMATCH) break;
      if (r < 0) return Failed(r, dialogs);
      const auto b = static_cast<std::size_t>(region_->beg[0]);
      const auto e = static_cast<std::size_t>(region_->end[0]);
      if (b == e) {
        Refuse(dialogs, std::string(msg::kEmptyMatch));
        return Scan::Failed;
      }
      // The library walks characters as this program does; a match that
      // would still end inside a character is passed over.
      if (!OnBoundary(original, boundary, b) || !OnBoundary(original, boundary, e)) {
        from = b + 1;
        continue;
      }
      AddRegion(out, item, at);
      from = e;
    }
    return Scan::Ok;
  }

  // The plain matches of the needle in `subject` (the item's text, folded
  // or not; `original` the same bytes unfolded, whose characters count).
  void PlainMatches(std::string_view original, std::string_view subject, std::size_t at, int item,
                    std::vector<Match>& out) {
    const std::size_t n = needle_.size();
    std::size_t boundary = 0;
    std::size_t pos = 0;
    while (pos + n <= subject.size()) {
      const void* hit = memmem(subject.data() + pos, subject.size() - pos, needle_.data(), n);
      if (!hit) return;
      const auto b = static_cast<std::size_t>(static_cast<const char*>(hit) - subject.data());
      if (OnBoundary(original, boundary, b) && OnBoundary(original, boundary, b + n)) {
        Add(out, item, at + b, at + b + n);
        pos = b + n;
      } else {
        pos = b + 1;
      }
    }
  }

  // Whether `pos` is a character boundary of `text`, the walk of its
  // characters from its start passing through it. `floor` is a boundary
  // known before (0 at first); it moves to the last boundary at or before
  // `pos`. The byte before a run of lead-byte values always ends a
  // character, and in the run the characters take two bytes each; so only
  // the run before `pos`, down to `floor`, is looked at.
  static bool OnBoundary(std::string_view text, std::size_t& floor, std::size_t pos) {
    if (pos >= text.size()) return true;
    if (pos < floor) floor = 0;
    std::size_t start = pos;
    while (start > floor && IsSjisLead(static_cast<unsigned char>(text[start - 1]))) --start;
    const bool boundary = (pos - start) % 2 == 0;
    floor = boundary ? pos : pos - 1;
    return boundary;
  }

  static void Add(std::vector<Match>& out, int item, std::size_t begin, std::size_t end) {
    out.push_back({item, begin, end, 0});
  }

  void AddRegion(std::vector<Match>& out, int item, std::size_t at) {
    const OnigRegion& region = *region_;
    const auto offset = [at](int position) { return at + static_cast<std::size_t>(position); };
    out.push_back({item, offset(region.beg[0]), offset(region.end[0]), groups_.size()});
    for (int g = 1; g <= static_cast<int>(kept_); ++g)
      groups_.push_back(g < region.num_regs && region.beg[g] >= 0
                            ? GroupSpan{offset(region.beg[g]), offset(region.end[g])}
                            : GroupSpan{std::string_view::npos, 0});
  }

  Scan Failed(int code, Dialogs& dialogs) {
    Refuse(dialogs, msg::RegexFailed(OnigMessage(code, nullptr)));
    return Scan::Failed;
  }

  const ReplaceQuery* query_ = nullptr;
  bool fold_ = false;
  std::string needle_;
  std::vector<ReplacementPiece> pieces_;
  RegexPtr regex_;
  std::unique_ptr<OnigRegion, RegionDeleter> region_;
  std::unique_ptr<OnigMatchParam, ParamDeleter> param_;
  ItemSpans spans_;
  std::string folded_;
  std::vector<GroupSpan> groups_;  // of the matches of the last line
  std::size_t kept_ = 0;           // groups 1..kept_ are kept, those the replacement takes
};

// ---- changed lines ----------------------------------------------------------------------------

// `line` with `matches` replaced, into `out`.
void Rebuild(const Matcher& matcher, std::string_view line, const std::vector<Match>& matches, std::string& out) {
  out.clear();
  std::size_t done = 0;
  for (const Match& m : matches) {
    out.append(line.data() + done, m.begin - done);
    matcher.Expand(line, m, out);
    done = m.end;
  }
  out.append(line.data() + done, line.size() - done);
}

// The checks of a changed line, which had `items` items; the first fault
// is told and ends them.
bool CheckChanged(std::string_view line, int items, long L, Dialogs& dialogs) {
  if (line.size() > kMaxLineBytes) return Refuse(dialogs, msg::ConvertedLineTooLong(L)), false;
  ItemSpans spans;
  const MarkCounts counts = FindSeparators(line, kMaxItems, spans);
  if (counts.commas > static_cast<std::size_t>(kMaxCommas)) return Refuse(dialogs, msg::CommaCount(L)), false;
  if (counts.quotes > static_cast<std::size_t>(kMaxQuotes)) return Refuse(dialogs, msg::QuoteCount(L)), false;
  if (counts.itemsCut) return Refuse(dialogs, msg::ItemCount(L, kMaxItems + 1)), false;
  if (spans.itemCount != items) return Refuse(dialogs, msg::ItemCountChanged(L, items, spans.itemCount)), false;
  for (int k = 1; k <= spans.itemCount; ++k)
    if (spans.Item(line, k).size() > kMaxItemBytes) return Refuse(dialogs, msg::ItemLength(L, k)), false;
  return true;
}


}  // namespace

std::optional<Found> FindNextMatch(const MainState& state, const ReplaceQuery& query, TextPlace from,
                                   Dialogs& dialogs, ReplaceEnd* end) {
  ReplaceEnd ignored;
  ReplaceEnd& ended = end ? *end : ignored;
  ended = ReplaceEnd::Refused;
  const Lines& lines = state.Document;
  Matcher matcher;
  if (!matcher.Prepare(query, lines, dialogs)) return std::nullopt;
  std::vector<Match> matches;
  for (std::size_t i = from.line < 0 ? 0 : static_cast<std::size_t>(from.line); i < lines.size(); ++i) {
    if (matcher.LineMatches(lines, i, matches, dialogs) == Scan::Failed) return std::nullopt;
    for (const Match& m : matches)
      if (static_cast<int>(i) > from.line || m.begin >= from.offset) {
        ended = ReplaceEnd::Done;
        return Found{static_cast<int>(i), m.item, m.begin, m.end - m.begin};
      }
  }
  Notice(dialogs, std::string(msg::kNotFound));
  ended = ReplaceEnd::NotFound;
  return std::nullopt;
}

std::optional<TextPlace> ReplaceAt(MainState& state, const ReplaceQuery& query, const Found& at, Dialogs& dialogs,
                                   ReplaceEnd* end) {
  ReplaceEnd ignored;
  ReplaceEnd& ended = end ? *end : ignored;
  ended = ReplaceEnd::Refused;
  const Lines& lines = state.Document;
  Matcher matcher;
  if (!matcher.Prepare(query, lines, dialogs)) return std::nullopt;
  ended = ReplaceEnd::Gone;
  if (at.line < 0 || static_cast<std::size_t>(at.line) >= lines.size()) return std::nullopt;
  std::vector<Match> matches;
  if (matcher.LineMatches(lines, static_cast<std::size_t>(at.line), matches, dialogs) == Scan::Failed) {
    ended = ReplaceEnd::Refused;
    return std::nullopt;
  }
  const std::string_view line = lines[static_cast<std::size_t>(at.line)].view();
  for (const Match& m : matches) {
    if (m.item != at.item || m.begin != at.offset || m.end - m.begin != at.length) continue;
    std::string changed;
    Rebuild(matcher, line, {m}, changed);
    if (!CheckChanged(changed, matcher.LineItems(), at.line, dialogs)) {
      ended = ReplaceEnd::Refused;
      return std::nullopt;
    }
    const std::size_t written = changed.size() - (line.size() - at.length);
    CommitLines(state, static_cast<std::size_t>(at.line), 1, Lines{Line(changed)}, at.line);
    ended = ReplaceEnd::Done;
    // After a whole item, the next search starts past it even when nothing
    // was written.
    return TextPlace{at.line, at.offset + (query.wholeItem && written == 0 ? 1 : written)};
  }
  return std::nullopt;
}

std::optional<Replaced> ReplaceAllLines(const Lines& lines, const ReplaceQuery& query, Dialogs& dialogs) {
  Matcher matcher;
  if (!matcher.Prepare(query, lines, dialogs)) return std::nullopt;
  Replaced result{lines, 0};
  std::vector<Match> matches;
  std::string changed;
  std::optional<LineBuilder> builder;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (matcher.LineMatches(lines, i, matches, dialogs) == Scan::Failed) return std::nullopt;
    if (matches.empty()) continue;
    const std::string_view line = lines[i].view();
    Rebuild(matcher, line, matches, changed);
    if (!CheckChanged(changed, matcher.LineItems(), static_cast<long>(i), dialogs)) return std::nullopt;
    result.count += matches.size();
    if (changed == line) continue;
    // The new lines in as few blocks as hold them, sized on the first
    // changed line for all the lines after it.
    if (!builder) builder.emplace(changed.size() * (lines.size() - i), changed.size() * (lines.size() - i) + 65536);
    result.lines.Set(i, builder->Add(changed));
  }
  return result;
}

bool ReplaceAll(MainState& state, const ReplaceQuery& query, Dialogs& dialogs) {
  std::optional<Replaced> result = ReplaceAllLines(state.Document, query, dialogs);
  if (!result) return false;
  if (result->count == 0) {
    Notice(dialogs, std::string(msg::kNotFound));
    return false;
  }
  CommitDocument(state, std::move(result->lines), state.CurrentLine);
  Notice(dialogs, msg::ReplacedCount(result->count));
  return true;
}

}  // namespace cavel
