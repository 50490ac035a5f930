#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StateSupport.h"
#include "LinesProbe.h"
#include "core/Messages.h"
#include "core/Sort.h"

namespace cavel {
namespace {

using test::Refusals;
using test::StateWith;

constexpr SortKind T = SortKind::Text;
constexpr SortKind N = SortKind::Number;

// The first item of every line but the title, in sorted order.
std::vector<std::string> Names(const Lines& lines, const SortKeys& keys) {
  std::vector<std::string> out;
  for (std::size_t i : SortOrder(lines, keys))
    if (i > 0) out.emplace_back(SplitItems(lines[i].view())[0]);
  return out;
}

TEST(Sort, TableOfKeys) {
  // Item 1 names the line; the others are what the keys read.
  const Lines text = {"name,key",   "b,\"abc\"", "c,ab",
                      "d,\x82\xa0",                     // あ: after every ASCII text, before ア
                      "e,\x83\x41",                     // ア
                      "f,\"\"",     "g,B",       "h"};  // h has no item 2: empty
  const Lines numbers = {"name,key",
                         "a,10",
                         "b,9",
                         "c,\"-1\"",
                         "d,\x82\x50\x82\x4f",  // １０: equals 10
                         "e,abc",
                         "f,\"1,234\"",
                         "g,\" \x81\x40 \"",  // blanks only: empty
                         "h,1.5",
                         "i,\"1,23\"",          // not grouped in threes: a text
                         "j,\x81\x7c\x82\x52",  // －３
                         "k,"};
  // Three keys: item 2 ascending, item 3 descending as numbers, item 4 as text.
  const Lines three = {"name,a,b,c", "1,x,2,q", "2,x,10,q", "3,w,5,z", "4,x,10,p", "5,x,10,q", "6,x,,a"};
  struct Case {
    const char* what;
    const Lines& lines;
    SortKeys keys;
    std::vector<std::string> expected;
  } cases[] = {
      {"text in byte order, quotes off, empty last", text, {{{2, false, T}}}, {"g", "c", "b", "d", "e", "f", "h"}},
      {"text descending, empty still last", text, {{{2, true, T}}}, {"e", "d", "b", "c", "g", "f", "h"}},
      {"numbers by value, texts after them, empty last",
       numbers,
       {{{2, false, N}}},
       {"j", "c", "h", "b", "a", "d", "f", "i", "e", "g", "k"}},
      {"numbers descending: texts after the numbers, empty last",
       numbers,
       {{{2, true, N}}},
       {"f", "a", "d", "b", "h", "c", "j", "e", "i", "g", "k"}},
      {"three keys, mixed directions, stable on ties",
       three,
       {{{2, false, T}, {3, true, N}, {4, false, T}}},
       {"3", "4", "2", "5", "1", "6"}},
      {"a key of item 0 is skipped", three, {{{0, false, T}, {2, true, T}}}, {"1", "2", "4", "5", "6", "3"}},
      {"no key: the order stays", three, {}, {"1", "2", "3", "4", "5", "6"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Names(c.lines, c.keys), c.expected) << c.what;
}

TEST(Sort, NumbersCompareByExactValue) {
  // Each text is less than the next.
  const std::vector<std::string> ascending = {"-100000000000000000000001",
                                              "-10",
                                              "-9.5",
                                              "-9",
                                              "-0.5",
                                              "0",
                                              "0.000000000000000000001",
                                              "1",
                                              "1.5",
                                              "9",
                                              "10",
                                              "999",
                                              "1,000",
                                              "1234.5",
                                              "100000000000000000000000"};
  for (std::size_t i = 0; i + 1 < ascending.size(); ++i) {
    std::string a, b;
    ASSERT_TRUE(AppendNumberKey(ascending[i], a) && AppendNumberKey(ascending[i + 1], b)) << ascending[i];
    EXPECT_LT(a, b) << ascending[i] << " < " << ascending[i + 1];
  }
  // Forms of one value.
  const std::vector<std::string> one = {"1",
                                        "+1",
                                        "01",
                                        "1.0",
                                        "1.",
                                        "\x82\x50",
                                        "\x81\x7b\x82\x50\x81\x44\x82\x4f",
                                        " 1\t",
                                        "\x81\x40"
                                        "1"
                                        "\x81\x40"};
  std::string first;
  ASSERT_TRUE(AppendNumberKey(one[0], first));
  for (const std::string& form : one) {
    std::string key;
    EXPECT_TRUE(AppendNumberKey(form, key) && key == first) << form;
  }
  std::string zero, minusZero, half, pointHalf;
  EXPECT_TRUE(AppendNumberKey("0", zero) && AppendNumberKey("-0.00", minusZero) && zero == minusZero);
  EXPECT_TRUE(AppendNumberKey("0.5", half) && AppendNumberKey(".5", pointHalf) && half == pointHalf);
  for (const char* text : {"", "-", ".", "1e3", "1,23", "12,3456", ",123", "1.2.3", "1,234.5,6", "0x10", "1 000",
                           "\x82\x60", "1\x82", "- 1"}) {
    std::string key = "kept";
    EXPECT_FALSE(AppendNumberKey(text, key)) << text;
    EXPECT_EQ(key, "kept");
  }
}

TEST(Sort, SortDocumentIsOneStepAndFollowsTheCurrentLine) {
  MainState state = StateWith({"title,n", "c,3", "a,1", "b,2"}, 1);
  ScriptedDialogs dialogs;
  ASSERT_TRUE(SortDocument(state, {{{2, false, N}}}, dialogs));
  EXPECT_TRUE(dialogs.shown().empty());
  EXPECT_EQ(state.Document, (std::vector<std::string>{"title,n", "a,1", "b,2", "c,3"}));
  EXPECT_EQ(state.CurrentLine, 3);  // line "c,3" went from 1 to 3
  EXPECT_EQ(state.DocumentChanged, 1);
  ASSERT_TRUE(UndoChange(state));
  EXPECT_EQ(state.Document, (std::vector<std::string>{"title,n", "c,3", "a,1", "b,2"}));
  EXPECT_EQ(state.CurrentLine, 1);
  EXPECT_FALSE(state.Undo.CanUndo());
}

TEST(Sort, RefusalsChangeNothing) {
  struct Case {
    SortKeys keys;
    std::string message;
  } cases[] = {
      {{}, std::string(msg::kNoSortKey)},
      {{{{1, false, T}, {3, false, T}}}, msg::ItemNotInFile(3, 2)},
      {{{{-1, false, T}}}, msg::ItemNotInFile(-1, 2)},
  };
  for (const Case& c : cases) {
    MainState state = StateWith({"title,n", "c,3", "a,1"}, 1);
    ScriptedDialogs dialogs;
    EXPECT_FALSE(SortDocument(state, c.keys, dialogs));
    EXPECT_EQ(Refusals(dialogs), std::vector<std::string>{c.message});
    EXPECT_EQ(state.Document, (std::vector<std::string>{"title,n", "c,3", "a,1"}));
    EXPECT_EQ(state.DocumentChanged, 0);
    EXPECT_FALSE(state.Undo.CanUndo());
  }
}

TEST(Sort, ItemTitleChoicesNameEachItemOfTheTitleLine) {
  EXPECT_TRUE(ItemTitleChoices(Lines()).empty());
  // A quoted title loses its quotes, keeps its comma; a long one is cut
  // before the double-byte character that would not fit.
  const std::string wide(39, 'w');
  const Lines lines = {"\"a,b\",," + wide + "\x82\xa0x", "1,2,3"};
  EXPECT_EQ(ItemTitleChoices(lines), (std::vector<std::string>{"1 : a,b", "2 : ", "3 : " + wide}));
}

}  // namespace
}  // namespace cavel
