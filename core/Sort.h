// Sorting the lines of the Document by up to three items.
//
// Line 0, the title line, stays where it is; the other lines are ordered by
// the first key, lines equal there by the second, then by the third, and
// lines equal in every key keep their order (the sort is stable).
//
// A key compares the text of an item: the item with its enclosing double
// quotes taken off (UnquotedText). A line without the key's item has an empty
// one there.
// - Text: the bytes in order, unsigned, which for Shift-JIS is JIS order.
// - Number: the text without the blanks around it (half-width blanks, tabs
//   and the full-width blank) read as a decimal number: an optional sign
//   (+ - ＋ －), digits (0-9 or ０-９), optionally grouped in threes by commas
//   (, or ，: "1,234,567"), and an optional fraction after a point (. or ．).
//   Numbers compare by value, exactly, whatever their length ("1.50" equals
//   "１．５"). A text that is not such a number comes after every number, the
//   texts among themselves in text order.
// Ascending or descending turns the order within the numbers and within the
// other texts; items that are empty (for a number, empty once the blanks
// are off) come last in either direction.
//
// The window: SortKeys keys = ...; SortDocument(state, keys, dialogs); the
// window closes either way.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/Dialogs.h"
#include "core/Document.h"
#include "core/MainState.h"

namespace cavel {

enum class SortKind { Text, Number };

struct SortKey {
  int item = 0;  // 1..64; 0: this key is not used
  bool descending = false;
  SortKind kind = SortKind::Text;
};

inline constexpr int kSortKeyCount = 3;
using SortKeys = std::array<SortKey, kSortKeyCount>;

// An item without its enclosing double quotes: an opening quote is taken
// off, and then a closing one when the rest ends in one. "\"ab\"" gives ab,
// "\"ab" gives ab, "\"" gives nothing, "ab\"" stays as it is.
std::string_view UnquotedText(std::string_view item);

// The items of the title line as the sort and replace windows list them:
// "k : title" for k = 1.. (Shift-JIS), the title without its enclosing quotes
// and cut to kItemChoiceTitleBytes on a character boundary. None for an
// empty Document.
inline constexpr std::size_t kItemChoiceTitleBytes = 40;
std::vector<std::string> ItemTitleChoices(const Lines& lines);

// The number a text stands for, as bytes that compare (unsigned, shorter
// first when one is the other's beginning) in the order of the numbers'
// values, appended to `out`; false (and `out` unchanged) when the text is
// not a number. The surrounding blanks are taken off first.
bool AppendNumberKey(std::string_view text, std::string& out);

// The lines' new order: element i is the index in `lines` of the line that
// goes to place i. Element 0 is 0. Keys with item 0 are skipped.
std::vector<std::size_t> SortOrder(const Lines& lines, const SortKeys& keys);

// Sorts the Document in one step (CommitDocument: one undo step, none when
// the order stays as it was), CurrentLine following its line,
// DocumentChanged := 1. Refused, with its message and nothing changed, when
// no key names an item, or a key names an item the title line does not
// have.
bool SortDocument(MainState& state, const SortKeys& keys, Dialogs& dialogs);

}  // namespace cavel
