// Finding and replacing text in the items of the Document.
//
// A match lies inside one item's text: the item with its enclosing double
// quotes taken off (UnquotedText, core/Sort.h), so that the quotes stay as they
// are and a match never takes in a separator. The items searched are every
// item of a line, or item k only; every line is searched, the title line
// included. Matching is on characters: a match begins and ends on a
// character boundary of the item's text, counted from its start, so that a
// match never takes the trail byte of one double-byte character and the
// lead byte of the next.
//
// Options:
// - case-sensitive off: the ASCII letters and the full-width Latin letters
//   (Ａ-Ｚ, ａ-ｚ) match either case; nothing else folds;
// - whole item: the item's whole text must match (an empty item matches the
//   empty find text of a regular expression such as ^$);
// - regular expression: the find text is an Oniguruma pattern in Perl
//   syntax over Shift-JIS characters (. is one character, classes hold
//   double-byte characters), and \0 to \9 in the replacement stand for the
//   whole match and its groups (\\ for one backslash; a backslash before
//   anything else stays as it is). Without it both texts are plain bytes.
// A line's matches are found from the start of each item's text, each after
// the one before without overlapping it; find next goes through them in the
// same order as replace all replaces them.
//
// Every changed line is checked before anything changes: at most 8192
// bytes, the comma and quote counts of the loader, the same number of items
// as before, no item over 4096 bytes. The first line that would break is
// named and nothing changes.
//
// The window:
//   次を検索(&F): found = FindNextMatch(state, query, from, dialogs), from
//                 the list's selection ({line, 0}) or after the last match
//                 (found->After());
//   置換(&R):     if a match is shown, place = ReplaceAt(state, query, *found,
//                 dialogs); then found = FindNextMatch from *place (or from
//                 where it was when nothing was replaced);
//   すべて置換(&A): ReplaceAll(state, query, dialogs).
// Each replacement that changes the Document is one undo step.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "core/Dialogs.h"
#include "core/Document.h"
#include "core/MainState.h"

namespace cavel {

struct ReplaceQuery {
  std::string find{};         // Shift-JIS bytes; never empty
  std::string replacement{};  // Shift-JIS bytes
  bool caseSensitive = false;
  bool wholeItem = false;
  bool regex = false;
  int item = 0;  // 0: every item; k: item k only (1..the title line's items)
};

// A place in the Document: a line and a byte offset in it.
struct TextPlace {
  int line = 0;
  std::size_t offset = 0;
};

// One match: its line, its item (from 1), and its bytes in the line.
struct Found {
  int line = 0;
  int item = 0;
  std::size_t offset = 0;
  std::size_t length = 0;

  // Where the search for the next match goes on.
  TextPlace After() const { return {line, offset + (length ? length : 1)}; }
  friend bool operator==(const Found&, const Found&) = default;
};

// How FindNextMatch or ReplaceAt ended, for a caller that acts on why
// nothing came back.
enum class ReplaceEnd {
  Done,      // found; replaced
  NotFound,  // no match to the end of the Document (the notice shown)
  Gone,      // the match to replace is no longer there (no message)
  Refused,   // bad input, a failed search or a changed line refused (its message shown)
};

// The first match at `from` or after it, to the end of the Document (no
// wrap). None, after the notice "not found" (the find command's), when
// there is none; none after a refusal (its message shown) when the search is
// bad input or the search failed. `end`, when given, says which.
std::optional<Found> FindNextMatch(const MainState& state, const ReplaceQuery& query, TextPlace from, Dialogs& dialogs,
                                   ReplaceEnd* end = nullptr);

// Replaces the match `at`, found before, when its line still holds it: the
// line changes in one step (CommitLines), CurrentLine := its line,
// DocumentChanged := 1. Returns the place after the replacement text, where
// the next search goes on. None, and nothing changes, when the match is no
// longer there (no message) or the search or the changed line is refused (its
// message shown). `end`, when given, says which.
std::optional<TextPlace> ReplaceAt(MainState& state, const ReplaceQuery& query, const Found& at, Dialogs& dialogs,
                                   ReplaceEnd* end = nullptr);

// Every match of `lines` replaced: the new lines (sharing every unchanged
// line) and how many matches were replaced. None when refused, its message
// shown.
struct Replaced {
  Lines lines;
  std::size_t count = 0;
};
std::optional<Replaced> ReplaceAllLines(const Lines& lines, const ReplaceQuery& query, Dialogs& dialogs);

// ReplaceAllLines over the Document. With matches: the Document is
// replaced in one step (CommitDocument; CurrentLine kept), DocumentChanged
// := 1, and the count is told ("   N 箇所を置換しました。   ", information,
// OK); true. Without: the notice "not found"; false. Refused: false,
// nothing changed.
bool ReplaceAll(MainState& state, const ReplaceQuery& query, Dialogs& dialogs);

}  // namespace cavel
