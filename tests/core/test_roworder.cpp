#include <gtest/gtest.h>

#include "StateSupport.h"
#include "core/Messages.h"
#include "core/RowOrder.h"

namespace cavel {
namespace {

using test::Numbered;
using test::Refusals;
using test::StateWith;
using Kind = ListChange::Kind;

RowOrder Opened(const MainState& state) {
  RowOrder model;
  model.Open(state);
  return model;
}

TEST(RowOrder, OpensOnACopyWithTheCursorOnTheCurrentLine) {
  MainState state = StateWith({"T", "A", "B"}, 1);
  RowOrder model = Opened(state);
  EXPECT_EQ(model.Rows(), (Lines{"T", "A", "B"}));
  EXPECT_EQ(model.LineCount(), 3);
  EXPECT_EQ(model.Cursor(), 1);
  EXPECT_FALSE(model.PasteEnabled());
  model.Down();
  EXPECT_EQ(state.Document, (Lines{"T", "A", "B"}));  // only Save touches the Document
}

TEST(RowOrder, MovesCanChangeTheTitleLine) {
  MainState state = StateWith({"T", "A", "B"}, 1);
  RowOrder model = Opened(state);
  EXPECT_EQ(model.Up(), (ListChange{Kind::Swapped, 0}));
  EXPECT_EQ(model.Rows(), (Lines{"A", "T", "B"}));
  EXPECT_EQ(model.Cursor(), 0);
  EXPECT_EQ(model.Up(), ListChange{});  // at the top: nothing
  EXPECT_EQ(model.Down(), (ListChange{Kind::Swapped, 0}));
  EXPECT_EQ(model.Rows(), (Lines{"T", "A", "B"}));
  EXPECT_EQ(model.Cursor(), 1);
  EXPECT_EQ(model.Down(), (ListChange{Kind::Swapped, 1}));
  EXPECT_EQ(model.Cursor(), 2);
  EXPECT_EQ(model.Down(), ListChange{});  // at the bottom: nothing
  EXPECT_EQ(model.Rows(), (Lines{"T", "B", "A"}));
}

TEST(RowOrder, OneRowDoesNotMoveAndCannotBeCutOrDeleted) {
  MainState state = StateWith({"T"}, 0);
  RowOrder model = Opened(state);
  EXPECT_FALSE(model.Up());
  EXPECT_FALSE(model.Down());
  EXPECT_FALSE(model.Cut());
  EXPECT_FALSE(model.PasteEnabled());
  EXPECT_FALSE(model.Delete());
  EXPECT_EQ(model.Rows(), (Lines{"T"}));
  model.Copy();  // copy has no minimum
  EXPECT_TRUE(model.PasteEnabled());
  EXPECT_EQ(model.HeldLine(), "T");
}

TEST(RowOrder, CursorAfterCutAndDelete) {
  {  // the last of five
    MainState state = StateWith(Numbered(5), 4);
    RowOrder model = Opened(state);
    EXPECT_EQ(model.Cut(), (ListChange{Kind::Removed, 4}));
    EXPECT_EQ(model.LineCount(), 4);
    EXPECT_EQ(model.Cursor(), 3);
    EXPECT_EQ(model.HeldLine(), "line4");
    EXPECT_TRUE(model.PasteEnabled());
  }
  {  // a middle line: the cursor goes to the one that followed it
    MainState state = StateWith(Numbered(5), 2);
    RowOrder model = Opened(state);
    EXPECT_EQ(model.Delete(), (ListChange{Kind::Removed, 2}));
    EXPECT_EQ(model.Cursor(), 2);
    EXPECT_EQ(model.Rows()[2], "line3");
    EXPECT_FALSE(model.PasteEnabled());  // delete holds nothing
    EXPECT_EQ(model.HeldLine(), "");
  }
  {  // two lines, cutting the second: row 0
    MainState state = StateWith(Numbered(2), 1);
    RowOrder model = Opened(state);
    model.Cut();
    EXPECT_EQ(model.Rows(), (Lines{"line0"}));
    EXPECT_EQ(model.Cursor(), 0);
  }
  {  // two lines, deleting the first: row 0 holds the second
    MainState state = StateWith(Numbered(2), 0);
    RowOrder model = Opened(state);
    model.Delete();
    EXPECT_EQ(model.Rows(), (Lines{"line1"}));
    EXPECT_EQ(model.Cursor(), 0);
  }
}

TEST(RowOrder, PasteBeforeAndAfterKeepsTheCursorOnItsLine) {
  ScriptedDialogs dialogs;
  MainState state = StateWith(Numbered(8), 2);
  RowOrder model = Opened(state);
  EXPECT_FALSE(model.PrevPaste(dialogs));  // nothing held yet in this opening
  model.Copy();
  model.SetCursor(5);
  EXPECT_EQ(model.PrevPaste(dialogs), (ListChange{Kind::Inserted, 5}));
  EXPECT_EQ(model.Rows()[5], "line2");
  EXPECT_EQ(model.Cursor(), 6);
  EXPECT_EQ(model.Rows()[6], "line5");
  EXPECT_EQ(model.NextPaste(dialogs), (ListChange{Kind::Inserted, 7}));
  EXPECT_EQ(model.Rows()[7], "line2");
  EXPECT_EQ(model.Cursor(), 6);
  EXPECT_EQ(model.LineCount(), 10);
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST(RowOrder, CutThenPasteMovesALine) {
  ScriptedDialogs dialogs;
  MainState state = StateWith({"T", "A", "B", "C"}, 1);
  RowOrder model = Opened(state);
  model.Cut();  // A; cursor on B
  model.SetCursor(2);
  model.NextPaste(dialogs);
  EXPECT_EQ(model.Rows(), (Lines{"T", "B", "C", "A"}));
  model.NextPaste(dialogs);  // held line stays
  EXPECT_EQ(model.LineCount(), 5);
}

TEST(RowOrder, HeldLineOutlivesAnOpeningButPasteStartsDisabled) {
  ScriptedDialogs dialogs;
  MainState state = StateWith({"T", "A"}, 1);
  RowOrder model = Opened(state);
  model.Copy();
  model.Open(state);
  EXPECT_EQ(model.HeldLine(), "A");
  EXPECT_FALSE(model.PasteEnabled());
  EXPECT_FALSE(model.PrevPaste(dialogs));
  EXPECT_FALSE(model.NextPaste(dialogs));
  EXPECT_EQ(model.LineCount(), 2);
}

TEST(RowOrder, ReleaseLetsTheRowsGoButKeepsTheHeldLine) {
  ScriptedDialogs dialogs;
  MainState state = StateWith({"T", "A", "B"}, 2);
  RowOrder model = Opened(state);
  model.Cut();
  model.Release();
  EXPECT_EQ(model.LineCount(), 0);
  EXPECT_EQ(model.Cursor(), -1);
  EXPECT_FALSE(model.PasteEnabled());
  EXPECT_FALSE(model.Up());
  EXPECT_EQ(model.HeldLine(), "B");
  model.Cancel(state);
  EXPECT_EQ(state.CurrentLine, 2);
  EXPECT_EQ(state.Document, (Lines{"T", "A", "B"}));
  model.Open(state);
  model.Copy();
  EXPECT_TRUE(model.NextPaste(dialogs));
  EXPECT_EQ(model.Rows(), (Lines{"T", "A", "B", "B"}));
}

TEST(RowOrder, PasteAndAddStopAtTheLineLimit) {
  ScriptedDialogs dialogs;
  MainState state = StateWith(Numbered(kMaxLines), 100);
  RowOrder model = Opened(state);
  model.Copy();
  for (auto op : {&RowOrder::PrevPaste, &RowOrder::NextPaste, &RowOrder::PrevAdd, &RowOrder::NextAdd})
    EXPECT_FALSE((model.*op)(dialogs));
  EXPECT_EQ(model.LineCount(), static_cast<int>(kMaxLines));
  EXPECT_EQ(model.Cursor(), 100);
  EXPECT_EQ(Refusals(dialogs), std::vector<std::string>(4, std::string(msg::kDocumentLineLimit)));

  dialogs.Clear();
  model.Delete();
  EXPECT_TRUE(model.NextPaste(dialogs));
  EXPECT_FALSE(model.NextPaste(dialogs));
  EXPECT_EQ(model.LineCount(), static_cast<int>(kMaxLines));
  model.Delete();
  EXPECT_TRUE(model.PrevAdd(dialogs));
  EXPECT_FALSE(model.PrevAdd(dialogs));
  EXPECT_EQ(Refusals(dialogs), std::vector<std::string>(2, std::string(msg::kDocumentLineLimit)));
}

TEST(RowOrder, AddedRecordHasOneCommaPerSeparator) {
  ScriptedDialogs dialogs;
  MainState state = StateWith({"a,\"x,y\",c", "one", "\"p,q\"", ",,"}, 0);
  RowOrder model = Opened(state);
  EXPECT_EQ(model.PrevAdd(dialogs), (ListChange{Kind::Inserted, 0}));
  EXPECT_EQ(model.Rows()[0], ",,");  // two separators, the quoted comma is none
  EXPECT_EQ(model.Cursor(), 1);
  model.SetCursor(2);  // "one"
  EXPECT_EQ(model.NextAdd(dialogs), (ListChange{Kind::Inserted, 3}));
  EXPECT_EQ(model.Rows()[3], "@");
  EXPECT_EQ(model.Cursor(), 2);
  model.SetCursor(4);  // a single quoted item holding a comma
  model.NextAdd(dialogs);
  EXPECT_EQ(model.Rows()[5], "@");
  model.SetCursor(6);  // ",,": three empty items
  model.NextAdd(dialogs);
  EXPECT_EQ(model.Rows()[7], ",,");
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST(RowOrder, AddRefusesAFaultyCursorLineWithEveryMessage) {
  ScriptedDialogs dialogs;
  // 511 commas, then 255 quotes: comma, quote and item-count messages,
  // naming the cursor row.
  std::string bad = std::string(511, ',') + std::string(255, '"');
  MainState state = StateWith({"T", "A", bad}, 2);
  RowOrder model = Opened(state);
  EXPECT_FALSE(model.NextAdd(dialogs));
  EXPECT_FALSE(model.PrevAdd(dialogs));
  EXPECT_EQ(model.LineCount(), 3);
  std::vector<std::string> once{msg::CommaCount(2), msg::QuoteCount(2), msg::ItemCount(2, 65)};
  std::vector<std::string> twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(Refusals(dialogs), twice);
  dialogs.Clear();
  // 65 items: the item-count message, naming row 0 after the line moved there.
  MainState wide = StateWith({"T", std::string(64, ',')}, 1);
  RowOrder other = Opened(wide);
  other.Up();
  EXPECT_FALSE(other.PrevAdd(dialogs));
  EXPECT_EQ(Refusals(dialogs), (std::vector<std::string>{msg::ItemCount(0, 65)}));
}

TEST(RowOrder, SaveReplacesTheDocumentAndSelectsTheCursorRow) {
  ScriptedDialogs dialogs;
  MainState state = StateWith({"T", "A", "B"}, 1);
  RowOrder model = Opened(state);
  model.Down();
  EXPECT_TRUE(model.Save(state, dialogs));
  EXPECT_EQ(state.Document, (Lines{"T", "B", "A"}));
  EXPECT_EQ(state.CurrentLine, 2);
  EXPECT_EQ(state.DocumentChanged, 1);
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST(RowOrder, SaveAfterOnlyMovingTheCursorStillReportsAChange) {
  ScriptedDialogs dialogs;
  MainState state = StateWith({"T", "A", "B"}, 0);
  RowOrder model = Opened(state);
  model.SetCursor(2);
  model.Save(state, dialogs);
  EXPECT_EQ(state.Document, (Lines{"T", "A", "B"}));
  EXPECT_EQ(state.CurrentLine, 2);
  EXPECT_EQ(state.DocumentChanged, 1);
}

TEST(RowOrder, SaveRefusesMoreThanTheLineLimit) {
  // Not reachable through the operations, but a Document of 30001 lines is
  // refused rather than stored; one line fewer saves.
  ScriptedDialogs dialogs;
  MainState over = StateWith(Numbered(kMaxLines + 1), 3);
  RowOrder model = Opened(over);
  EXPECT_FALSE(model.Save(over, dialogs));
  EXPECT_EQ(over.Document.size(), kMaxLines + 1);
  EXPECT_EQ(over.DocumentChanged, 0);
  EXPECT_EQ(Refusals(dialogs), (std::vector<std::string>{std::string(msg::kDocumentLineLimit)}));
  model.Delete();
  EXPECT_TRUE(model.Save(over, dialogs));
  EXPECT_EQ(over.Document.size(), kMaxLines);
}

TEST(RowOrder, CancelTakesTheCursorOnlyWhenItMovedUp) {
  MainState state = StateWith(Numbered(12), 7);
  RowOrder model = Opened(state);
  model.SetCursor(3);
  model.Cancel(state);
  EXPECT_EQ(state.CurrentLine, 3);

  state.CurrentLine = 7;
  model.Open(state);
  model.SetCursor(9);
  model.Cancel(state);
  EXPECT_EQ(state.CurrentLine, 7);

  // A cancelled edit leaves the Document as it was, even after cuts.
  model.Open(state);
  model.Cut();
  model.Cut();
  model.Cancel(state);
  EXPECT_EQ(state.Document, Numbered(12));
  EXPECT_EQ(state.DocumentChanged, 0);
}

TEST(RowOrder, EmptyDocumentHasNoCursorAndNothingToDo) {
  ScriptedDialogs dialogs;
  MainState state = StateWith({}, -1);
  RowOrder model = Opened(state);
  EXPECT_EQ(model.LineCount(), 0);
  EXPECT_EQ(model.Cursor(), -1);
  model.SetCursor(0);
  EXPECT_EQ(model.Cursor(), -1);
  model.Copy();
  EXPECT_FALSE(model.PasteEnabled());
  EXPECT_FALSE(model.Up());
  EXPECT_FALSE(model.Down());
  EXPECT_FALSE(model.Cut());
  EXPECT_FALSE(model.Delete());
  EXPECT_FALSE(model.PrevAdd(dialogs));
  EXPECT_FALSE(model.NextAdd(dialogs));
  EXPECT_FALSE(model.PrevPaste(dialogs));
  model.Cancel(state);
  EXPECT_EQ(state.CurrentLine, -1);
  EXPECT_TRUE(model.Save(state, dialogs));
  EXPECT_TRUE(state.Document.empty());
  EXPECT_EQ(state.CurrentLine, -1);
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST(RowOrder, CurrentLineOutsideTheRowsIsClamped) {
  MainState state = StateWith(Numbered(3), 9);
  EXPECT_EQ(Opened(state).Cursor(), 2);
  state.CurrentLine = -1;
  EXPECT_EQ(Opened(state).Cursor(), 0);
}

}  // namespace
}  // namespace cavel
