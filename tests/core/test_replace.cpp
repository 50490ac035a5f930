#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StateSupport.h"
#include "LinesProbe.h"
#include "core/Messages.h"
#include "core/Replace.h"

namespace cavel {
namespace {

using test::Refusals;
using test::StateWith;

const std::string a = "\x82\xa0";   // あ
const std::string ka = "\x8a\xbf";  // 漢
const std::string A = "\x83\x41";   // ア: its trail byte is the letter A

TEST(Replace, TableOfReplacements) {
  struct Case {
    const char* what;
    Lines lines;
    ReplaceQuery query;
    std::vector<std::string> expected;
    std::size_t count;
  } cases[] = {
      {"plain, every item of every line, the title too",
       {"a,b", "ab,ba", "\"a\",c"},
       {.find = "a", .replacement = "xy"},
       {"xy,b", "xyb,bxy", "\"xy\",c"},
       4},
      {"case folds ASCII letters",
       {"ABC,abc,Abc,\x82\x60\x82\x61\x82\x62"},
       {.find = "abc", .replacement = "X"},
       {"X,X,X,\x82\x60\x82\x61\x82\x62"},
       3},
      {"case-sensitive", {"ABC,abc"}, {.find = "abc", .replacement = "X", .caseSensitive = true}, {"ABC,X"}, 1},
      {"full-width letters fold",
       {"\x82\x60\x82\x61,\x82\x81\x82\x82,ab"},  // ＡＢ,ａｂ,ab
       {.find = "\x82\x81\x82\x82", .replacement = "X"},
       {"X,X,ab"},
       2},
      {"never the trail byte of a character", {A + ",A"}, {.find = "a", .replacement = "x"}, {A + ",x"}, 1},
      {"a match straddling two characters is not found", {a + a}, {.find = "\xa0\x82", .replacement = "x"}, {a + a}, 0},
      {"nor one ending inside a character", {"a" + a}, {.find = "a\x82", .replacement = "x"}, {"a" + a}, 0},
      {"whole item, its quotes aside",
       {"abc,ab,\"ab\",AB"},
       {.find = "ab", .replacement = "X", .wholeItem = true},
       {"abc,X,\"X\",X"},
       3},
      {"one item only", {"a,a,a", "a,a"}, {.find = "a", .replacement = "X", .item = 2}, {"a,X,a", "a,X"}, 2},
      {"regex groups, swapped",
       {"12-34,5-6"},
       {.find = "(\\d+)-(\\d+)", .replacement = "\\2-\\1", .regex = true},
       {"34-12,6-5"},
       2},
      {"regex: \\0 and \\\\", {"abc"}, {.find = "b", .replacement = "[\\0\\\\]", .regex = true}, {"a[b\\]c"}, 1},
      {"regex: a group that took no part is empty",
       {"ab"},
       {.find = "(a)|(b)", .replacement = "[\\1\\2]", .regex = true},
       {"[a][b]"},
       2},
      {"regex: named and plain groups are both counted",
       {"ab"},
       {.find = "(?<n>a)(b)", .replacement = "\\2\\1", .regex = true},
       {"ba"},
       1},
      {"regex: a class of double-byte characters",
       {a + a + ka + ",\x82\xa9\x82\xc8"},
       {.find = "[\x82\x9f-\x82\xf1]+", .replacement = "H", .regex = true},
       {"H" + ka + ",H"},
       2},
      {"regex: . is one character", {a + "a"}, {.find = ".", .replacement = "x", .regex = true}, {"xx"}, 2},
      {"regex: never the trail byte either",
       {A + "A"},
       {.find = "A", .replacement = "x", .caseSensitive = true, .regex = true},
       {A + "x"},
       1},
      {"regex: full-width letters fold",
       {"\x82\x60\x82\x81\x82\x60,aA"},
       {.find = "\x82\x81+", .replacement = "X", .regex = true},
       {"X,aA"},
       1},
      {"regex, whole item: the match must reach the end",
       {"ab,a,abc"},
       {.find = "a|ab", .replacement = "X", .wholeItem = true, .regex = true},
       {"X,X,abc"},
       2},
      {"regex, whole item: empty items",
       {"a,,\"\""},
       {.find = "^$", .replacement = "0", .wholeItem = true, .regex = true},
       {"a,0,\"0\""},
       2},
      {"a comma inside quotes keeps the items", {"\"a\",b"}, {.find = "a", .replacement = "x,y"}, {"\"x,y\",b"}, 1},
  };
  for (Case& c : cases) {
    ScriptedDialogs dialogs;
    std::optional<Replaced> result = ReplaceAllLines(c.lines, c.query, dialogs);
    ASSERT_TRUE(result) << c.what;
    EXPECT_TRUE(dialogs.shown().empty()) << c.what;
    EXPECT_EQ(result->lines, c.expected) << c.what;
    EXPECT_EQ(result->count, c.count) << c.what;
  }
}

TEST(Replace, TableOfRefusals) {
  const std::string long4096 = "x" + std::string(4095, 'y');
  const std::string third = "x" + std::string(2729, 'y');  // three of them make 8192 bytes
  struct Case {
    const char* what;
    Lines lines;
    ReplaceQuery query;
    std::string message;
  } cases[] = {
      {"empty find text", {"a,b"}, {.find = "", .replacement = "x"}, std::string(msg::kNoFindText)},
      {"an item the title line does not have", {"a,b"}, {.find = "a", .item = 3}, msg::ItemNotInFile(3, 2)},
      {"a pattern the library refuses",
       {"a,b"},
       {.find = "a(", .regex = true},
       msg::RegexRefused("end pattern with unmatched parenthesis")},
      {"a pattern matching the empty string", {"a,b"}, {.find = "x*", .regex = true}, std::string(msg::kEmptyMatch)},
      {"a group the pattern lacks", {"a,b"}, {.find = "(a)", .replacement = "\\2", .regex = true}, msg::NoSuchGroup(2)},
      {"a CR in the replacement", {"a,b"}, {.find = "a", .replacement = "x\ry"}, std::string(msg::kBadReplacementChar)},
      {"a 1A in the replacement", {"a,b"}, {.find = "a", .replacement = "\x1a"}, std::string(msg::kBadReplacementChar)},
      {"a comma outside quotes",
       {"t,u", "q,b", "a,b"},
       {.find = "a", .replacement = "x,y"},
       msg::ItemCountChanged(2, 2, 3)},
      {"an unbalanced quote", {"t,u", "a,b"}, {.find = "a", .replacement = "x\""}, msg::ItemCountChanged(1, 2, 1)},
      {"the 511th comma", {"t,u", "\"a\",b"}, {.find = "a", .replacement = std::string(510, ',')}, msg::CommaCount(1)},
      {"an item over 4096 bytes", {"t,u", long4096 + ",b"}, {.find = "x", .replacement = "xx"}, msg::ItemLength(1, 1)},
      {"a line over 8192 bytes",
       {"t,u,v", third + "," + third + "," + third},
       {.find = "x", .replacement = "xx", .item = 1},
       msg::ConvertedLineTooLong(1)},
      {"a search the library gives up",
       {"t", std::string(4000, 'a')},
       {.find = "(a+)+b", .regex = true},
       msg::RegexFailed("retry-limit-in-match over")},
  };
  for (Case& c : cases) {
    ScriptedDialogs dialogs;
    EXPECT_FALSE(ReplaceAllLines(c.lines, c.query, dialogs)) << c.what;
    EXPECT_EQ(Refusals(dialogs), std::vector<std::string>{c.message}) << c.what;
  }
}

TEST(Replace, ReplaceAllIsOneStepAndTellsTheCount) {
  MainState state = StateWith({"t,u", "a,b", "b,a"}, 2);
  ScriptedDialogs dialogs;
  ASSERT_TRUE(ReplaceAll(state, {.find = "a", .replacement = "x"}, dialogs));
  EXPECT_EQ(state.Document, (std::vector<std::string>{"t,u", "x,b", "b,x"}));
  EXPECT_EQ(state.CurrentLine, 2);
  EXPECT_EQ(state.DocumentChanged, 1);
  ASSERT_EQ(dialogs.shown().size(), 1u);
  EXPECT_EQ(dialogs.shown()[0].text, "   2 箇所を置換しました。   ");
  EXPECT_EQ(dialogs.shown()[0].kind, MsgKind::Information);
  EXPECT_EQ(dialogs.shown()[0].buttons, mbOK);
  ASSERT_TRUE(UndoChange(state));
  EXPECT_EQ(state.Document, (std::vector<std::string>{"t,u", "a,b", "b,a"}));
  EXPECT_FALSE(state.Undo.CanUndo());

  // Nothing to replace: the find command's notice, nothing changes.
  state.DocumentChanged = 0;
  dialogs.Clear();
  EXPECT_FALSE(ReplaceAll(state, {.find = "z", .replacement = "x"}, dialogs));
  ASSERT_EQ(dialogs.shown().size(), 1u);
  EXPECT_EQ(dialogs.shown()[0].text, msg::kNotFound);
  EXPECT_EQ(state.DocumentChanged, 0);
  // Refused: nothing changes either.
  EXPECT_FALSE(ReplaceAll(state, {.find = "a", .replacement = "x,y"}, dialogs));
  EXPECT_EQ(state.Document, (std::vector<std::string>{"t,u", "a,b", "b,a"}));
  EXPECT_EQ(state.DocumentChanged, 0);
  EXPECT_FALSE(state.Undo.CanUndo());
}

TEST(Replace, FindNextAndReplaceOneAtATime) {
  MainState state = StateWith({"t,u", "aa,b", "b,\"a\""}, 0);
  ScriptedDialogs dialogs;
  const ReplaceQuery query{.find = "a", .replacement = "xyz"};
  std::optional<Found> found = FindNextMatch(state, query, {0, 0}, dialogs);
  ASSERT_EQ(found, (Found{1, 1, 0, 1}));
  EXPECT_EQ(FindNextMatch(state, query, found->After(), dialogs), (Found{1, 1, 1, 1}));
  EXPECT_EQ(FindNextMatch(state, query, {1, 2}, dialogs), (Found{2, 2, 3, 1}));  // in the quotes of item 2

  // Replace the first; the search goes on after the text written.
  std::optional<TextPlace> place = ReplaceAt(state, query, *found, dialogs);
  ASSERT_TRUE(place);
  EXPECT_EQ(place->line, 1);
  EXPECT_EQ(place->offset, 3u);
  EXPECT_EQ(state.Document[1], "xyza,b");
  EXPECT_EQ(state.CurrentLine, 1);
  EXPECT_EQ(state.Undo.UndoCount(), 1u);
  found = FindNextMatch(state, query, *place, dialogs);
  ASSERT_EQ(found, (Found{1, 1, 3, 1}));
  // A match that is no longer there is not replaced, and the caller is told so.
  ReplaceEnd end = ReplaceEnd::Done;
  EXPECT_FALSE(ReplaceAt(state, query, Found{1, 1, 0, 1}, dialogs, &end));
  EXPECT_EQ(end, ReplaceEnd::Gone);
  ASSERT_TRUE(ReplaceAt(state, query, *found, dialogs));
  EXPECT_EQ(state.Document[1], "xyzxyz,b");
  EXPECT_EQ(state.Undo.UndoCount(), 2u);
  EXPECT_TRUE(dialogs.shown().empty());

  // Past the last match: the notice, no wrap.
  EXPECT_FALSE(FindNextMatch(state, query, {2, 5}, dialogs, &end));
  EXPECT_EQ(end, ReplaceEnd::NotFound);
  ASSERT_EQ(dialogs.shown().size(), 1u);
  EXPECT_EQ(dialogs.shown()[0].text, msg::kNotFound);
  // A refused replacement changes nothing.
  dialogs.Clear();
  const ReplaceQuery comma{.find = "b", .replacement = "x,y"};
  EXPECT_FALSE(ReplaceAt(state, comma, Found{1, 2, 7, 1}, dialogs, &end));
  EXPECT_EQ(end, ReplaceEnd::Refused);
  EXPECT_EQ(Refusals(dialogs), std::vector<std::string>{msg::ItemCountChanged(1, 2, 3)});
  EXPECT_EQ(state.Document[1], "xyzxyz,b");
  EXPECT_EQ(state.Undo.UndoCount(), 2u);
}

}  // namespace
}  // namespace cavel
