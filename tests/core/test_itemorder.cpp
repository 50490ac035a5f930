#include <gtest/gtest.h>

#include "StateSupport.h"
#include "core/ItemOrder.h"
#include "core/Messages.h"

namespace cavel {
namespace {

using test::Refusals;
using test::StateWith;
using Kind = ListChange::Kind;

std::vector<std::string> Entries(const ItemOrder& model) {
  std::vector<std::string> out;
  for (int r = 0; r < model.EntryCount(); ++r) out.push_back(model.Entry(r));
  return out;
}

// A line of `count` items "v1" ... "v<count>".
std::string ItemsLine(int count) {
  std::string line;
  for (int k = 1; k <= count; ++k) line += (k > 1 ? ",v" : "v") + std::to_string(k);
  return line;
}

TEST(ItemOrder, EntriesNumberTheItemsOfTheReferenceLine) {
  ScriptedDialogs dialogs;
  MainState state = StateWith({"A,B,C", "x,y,z"}, 0);
  ItemOrder model;
  ASSERT_TRUE(model.Open(state, dialogs));
  EXPECT_EQ(Entries(model), (std::vector<std::string>{"01 : A", "02 : B", "03 : C"}));
  EXPECT_EQ(model.Cursor(), 0);
  EXPECT_EQ(model.OpeningCount(), 3);

  state.CurrentLine = 1;  // a record line: its values are shown
  ASSERT_TRUE(model.Open(state, dialogs));
  EXPECT_EQ(model.Entry(2), "03 : z");

  MainState wide = StateWith({ItemsLine(64)}, 0);
  ASSERT_TRUE(model.Open(wide, dialogs));
  EXPECT_EQ(model.Entry(8), "09 : v9");
  EXPECT_EQ(model.Entry(9), "10 : v10");
  EXPECT_EQ(model.Entry(63), "64 : v64");
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST(ItemOrder, EntriesKeepQuotesAndQuotedCommas) {
  ScriptedDialogs dialogs;
  MainState state = StateWith({"1,\"a,b\",2"}, 0);
  ItemOrder model;
  ASSERT_TRUE(model.Open(state, dialogs));
  EXPECT_EQ(Entries(model), (std::vector<std::string>{"01 : 1", "02 : \"a,b\"", "03 : 2"}));
  model.SetCursor(2);
  model.Up();
  model.Up();
  EXPECT_TRUE(model.Save(state, dialogs));
  EXPECT_EQ(state.Document, (Lines{"2,1,\"a,b\""}));
}

TEST(ItemOrder, AFaultyOrMissingReferenceLineIsNotShown) {
  ScriptedDialogs dialogs;
  MainState state = StateWith({"T", std::string(64, ',')}, 1);
  ItemOrder model;
  EXPECT_FALSE(model.Open(state, dialogs));
  EXPECT_EQ(model.EntryCount(), 0);
  EXPECT_EQ(Refusals(dialogs), (std::vector<std::string>{msg::ItemCount(1, 65)}));

  dialogs.Clear();
  MainState empty = StateWith({}, -1);
  EXPECT_FALSE(model.Open(empty, dialogs));
  MainState past = StateWith({"a"}, 1);
  EXPECT_FALSE(model.Open(past, dialogs));
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST(ItemOrder, MovesAndDeletesFollowTheCursorRules) {
  ScriptedDialogs dialogs;
  MainState state = StateWith({"A,B,C,D"}, 0);
  ItemOrder model;
  model.Open(state, dialogs);
  EXPECT_FALSE(model.Up());
  model.SetCursor(3);
  EXPECT_FALSE(model.Down());
  EXPECT_EQ(model.Delete(), (ListChange{Kind::Removed, 3}));  // the last row: cursor on the new last
  EXPECT_EQ(model.Cursor(), 2);
  model.SetCursor(0);
  EXPECT_EQ(model.Delete(), (ListChange{Kind::Removed, 0}));  // cursor stays on row 0, now B
  EXPECT_EQ(model.Cursor(), 0);
  EXPECT_EQ(model.Down(), (ListChange{Kind::Swapped, 0}));
  EXPECT_EQ(Entries(model), (std::vector<std::string>{"03 : C", "02 : B"}));
  model.Delete();
  EXPECT_EQ(model.Cursor(), 0);
  EXPECT_FALSE(model.Delete());  // the last entry stays
  EXPECT_EQ(Entries(model), (std::vector<std::string>{"03 : C"}));
  EXPECT_EQ(model.OpeningCount(), 4);
}

TEST(ItemOrder, SaveRebuildsEveryLineByTheOrderTable) {
  ScriptedDialogs dialogs;
  MainState state = StateWith({"A,B,C", "x,y,z", "1,\"p,q\",3"}, 0);
  state.CurrentLine = 1;
  ItemOrder model;
  model.Open(state, dialogs);
  model.SetCursor(2);
  model.Up();
  model.Up();
  EXPECT_TRUE(model.Save(state, dialogs));
  EXPECT_EQ(state.Document, (Lines{"C,A,B", "z,x,y", "3,1,\"p,q\""}));
  EXPECT_EQ(state.CurrentLine, 1);
  EXPECT_EQ(state.DocumentChanged, 1);

  state.DocumentChanged = 0;
  model.Open(state, dialogs);
  model.SetCursor(1);
  model.Delete();
  EXPECT_TRUE(model.Save(state, dialogs));
  EXPECT_EQ(state.Document, (Lines{"C,B", "z,y", "3,\"p,q\""}));
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST(ItemOrder, SaveWithoutChangeRebuildsIdenticalLines) {
  ScriptedDialogs dialogs;
  Lines lines{"A,\"B\",  C ", ",,", "x,y,z"};
  MainState state = StateWith(lines, 0);
  ItemOrder model;
  model.Open(state, dialogs);
  EXPECT_TRUE(model.Save(state, dialogs));
  EXPECT_EQ(state.Document, lines);
  EXPECT_EQ(state.DocumentChanged, 1);
}

TEST(ItemOrder, ItemsBeyondAShortLineBecomeEmpty) {
  ScriptedDialogs dialogs;
  MainState state = StateWith({"A,B,C,D", "x", "p,q,r,s,t"}, 0);
  ItemOrder model;
  model.Open(state, dialogs);
  model.SetCursor(3);
  model.Up();  // 1 2 4 3
  EXPECT_TRUE(model.Save(state, dialogs));
  // The short line gets empty items, never text of another line; items
  // past the reference line's count are left out.
  EXPECT_EQ(state.Document, (Lines{"A,B,D,C", "x,,,", "p,q,s,r"}));
}

TEST(ItemOrder, AFailingLineRefusesTheWholeSave) {
  ScriptedDialogs dialogs;
  std::string commas = "\"" + std::string(511, ',') + "\"";  // one quoted item of 511 commas
  Lines lines{"A,B", "x,y", commas, "p,q"};
  MainState state = StateWith(lines, 0);
  ItemOrder model;
  model.Open(state, dialogs);
  model.Down();
  EXPECT_FALSE(model.Save(state, dialogs));
  EXPECT_EQ(state.Document, lines);  // lines before the failing one are untouched too
  EXPECT_EQ(state.DocumentChanged, 0);
  EXPECT_EQ(Refusals(dialogs), (std::vector<std::string>{msg::CommaCount(2)}));
}

TEST(ItemOrder, AnUnclosedLastItemMayNotSwallowOtherItems) {
  ScriptedDialogs dialogs;
  Lines lines{"A,B,C", "x,y,\"z,w", "p,q,\"r\""};
  MainState state = StateWith(lines, 0);
  ItemOrder model;
  model.Open(state, dialogs);
  model.SetCursor(2);
  model.Up();
  model.Up();  // 3 1 2: the open quote of line 1 would join x and y into its item
  EXPECT_FALSE(model.Save(state, dialogs));
  EXPECT_EQ(state.Document, lines);
  EXPECT_EQ(Refusals(dialogs), (std::vector<std::string>{msg::MissingClosingQuote(1, 3)}));

  dialogs.Clear();
  model.Open(state, dialogs);
  model.Down();  // 2 1 3: it stays last
  EXPECT_TRUE(model.Save(state, dialogs));
  EXPECT_EQ(state.Document, (Lines{"B,A,C", "y,x,\"z,w", "q,p,\"r\""}));

  MainState closed = StateWith({"A,B,C", "p,q,\"r\""}, 0);  // a closed last item moves freely
  model.Open(closed, dialogs);
  model.SetCursor(2);
  model.Up();
  model.Up();
  EXPECT_TRUE(model.Save(closed, dialogs));
  EXPECT_EQ(closed.Document, (Lines{"C,A,B", "\"r\",p,q"}));
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST(ItemOrder, SaveRefusesALineThatWouldGrowPastTheLimit) {
  ScriptedDialogs dialogs;
  Lines lines{"A,B,C", std::string(kMaxLineBytes - 1, 'x')};
  MainState state = StateWith(lines, 0);
  ItemOrder model;
  model.Open(state, dialogs);
  EXPECT_FALSE(model.Save(state, dialogs));  // "x...x,," would be 8193 bytes
  EXPECT_EQ(state.Document, lines);
  EXPECT_EQ(Refusals(dialogs), (std::vector<std::string>{std::string(msg::kRecordTooLong)}));
}

TEST(ItemOrder, AddSaveAndSpecialSavePrefixEveryLine) {
  ScriptedDialogs dialogs;
  MainState state = StateWith({"A,B", "1,2"}, 1);
  ItemOrder model;
  model.Open(state, dialogs);
  model.Down();  // the order is not applied by the prefix saves
  EXPECT_TRUE(model.AddSave(state, dialogs));
  EXPECT_EQ(state.Document, (Lines{",A,B", ",1,2"}));
  EXPECT_EQ(state.CurrentLine, 1);
  EXPECT_EQ(state.DocumentChanged, 1);
  ASSERT_EQ(dialogs.shown().size(), 1u);
  EXPECT_EQ(dialogs.shown()[0].text, msg::kAskAddSave);
  EXPECT_EQ(dialogs.shown()[0].kind, MsgKind::Information);
  EXPECT_EQ(dialogs.shown()[0].buttons, mbYes | mbNo);

  dialogs.Clear();
  MainState other = StateWith({"A,B", "1,2"}, 0);
  model.Open(other, dialogs);
  EXPECT_TRUE(model.SpecialSave(other, dialogs));
  EXPECT_EQ(other.Document, (Lines{"\"1\",A,B", "\"1\",1,2"}));
  ASSERT_EQ(dialogs.shown().size(), 1u);
  EXPECT_EQ(dialogs.shown()[0].text, msg::kAskSpecialSave);
}

TEST(ItemOrder, PrefixSavesDoNothingOnNo) {
  ScriptedDialogs dialogs(mbNo);
  Lines lines{"A,B", "1,2"};
  MainState state = StateWith(lines, 0);
  ItemOrder model;
  model.Open(state, dialogs);
  EXPECT_FALSE(model.AddSave(state, dialogs));
  EXPECT_FALSE(model.SpecialSave(state, dialogs));
  EXPECT_EQ(state.Document, lines);
  EXPECT_EQ(state.DocumentChanged, 0);
}

TEST(ItemOrder, PrefixSavesRefuseA64ItemLine) {
  ScriptedDialogs dialogs;
  Lines lines{ItemsLine(64), ItemsLine(64)};
  MainState state = StateWith(lines, 0);
  ItemOrder model;
  ASSERT_TRUE(model.Open(state, dialogs));
  model.Delete();  // entries deleted do not count: the line as read does
  EXPECT_FALSE(model.AddSave(state, dialogs));
  EXPECT_FALSE(model.SpecialSave(state, dialogs));
  EXPECT_EQ(state.Document, lines);
  ASSERT_EQ(dialogs.shown().size(), 2u);
  for (const auto& shown : dialogs.shown()) {
    EXPECT_EQ(shown.text, msg::kNoMoreThan64Items);
    EXPECT_EQ(shown.kind, MsgKind::Warning);
    EXPECT_EQ(shown.buttons, mbYes);  // the single button はい(&Y), no question after it
  }

  // A reference line of 63 items passes the first test, but another line of
  // 64 items would become one of 65: refused after the question.
  dialogs.Clear();
  Lines mixed{ItemsLine(63), ItemsLine(64)};
  MainState other = StateWith(mixed, 0);
  ASSERT_TRUE(model.Open(other, dialogs));
  EXPECT_FALSE(model.AddSave(other, dialogs));
  EXPECT_EQ(other.Document, mixed);
  EXPECT_EQ(dialogs.texts(),
            (std::vector<std::string>{std::string(msg::kAskAddSave), std::string(msg::kNoMoreThan64Items)}));
}

TEST(ItemOrder, PrefixSavesHoldTheLineLimit) {
  ScriptedDialogs dialogs;
  {
    Lines lines{"A,B", std::string(kMaxLineBytes - 1, 'x')};
    MainState state = StateWith(lines, 0);
    ItemOrder model;
    model.Open(state, dialogs);
    EXPECT_TRUE(model.AddSave(state, dialogs));  // 8192 after
    EXPECT_EQ(state.Document[1].size(), kMaxLineBytes);
    MainState special = StateWith(lines, 0);
    model.Open(special, dialogs);
    dialogs.Clear();
    EXPECT_FALSE(model.SpecialSave(special, dialogs));  // 8195 after
    EXPECT_EQ(special.Document, lines);
    EXPECT_EQ(dialogs.texts(),
              (std::vector<std::string>{std::string(msg::kAskSpecialSave), std::string(msg::kRecordTooLong)}));
  }
  {
    Lines lines{"A,B", std::string(kMaxLineBytes - 4, 'x')};
    MainState state = StateWith(lines, 0);
    ItemOrder model;
    model.Open(state, dialogs);
    EXPECT_TRUE(model.SpecialSave(state, dialogs));  // exactly 8192
    EXPECT_EQ(state.Document[1].size(), kMaxLineBytes);
  }
  {
    dialogs.Clear();
    Lines lines{"A,B", "1,2", std::string(kMaxLineBytes, 'x')};
    MainState state = StateWith(lines, 0);
    ItemOrder model;
    model.Open(state, dialogs);
    EXPECT_FALSE(model.AddSave(state, dialogs));
    EXPECT_EQ(state.Document, lines);
    EXPECT_EQ(state.DocumentChanged, 0);
    EXPECT_EQ(Refusals(dialogs).back(), msg::kRecordTooLong);
  }
}

}  // namespace
}  // namespace cavel
