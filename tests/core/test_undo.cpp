// The undo history: what a step keeps, undo and redo through the commits of
// the Document, the bound on the steps, redo dropped by a new change, the
// history telling its changes; and the Document's adoptions, each starting
// a history of its own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StateSupport.h"
#include "TempFolder.h"
#include "core/MainState.h"
#include "core/NewFile.h"
#include "core/Undo.h"

namespace cavel {
namespace {

using test::Numbered;
using test::StateWith;

struct DiffCase {
  const char* what;
  Lines before, after;
  std::size_t at, removed, inserted;
};

const DiffCase kDiffs[] = {
    {"one line changed", {"a", "b", "c"}, {"a", "X", "c"}, 1, 1, 1},
    {"inserted at the start", {"a", "b"}, {"n", "a", "b"}, 0, 0, 1},
    {"inserted at the end", {"a", "b"}, {"a", "b", "n"}, 2, 0, 1},
    {"removed in the middle", {"a", "b", "c"}, {"a", "c"}, 1, 1, 0},
    {"equal lines on both sides", {"a", "a", "a"}, {"a", "a"}, 2, 1, 0},
    {"two lines swapped", {"t", "a", "b", "z"}, {"t", "b", "a", "z"}, 1, 2, 2},
    {"every line changed", {"a", "b"}, {"x", "y", "z"}, 0, 2, 3},
    {"from nothing", {}, {"a"}, 0, 0, 1},
    {"to nothing", {"a", "b"}, {}, 0, 2, 0},
    {"a line that differs in its last byte", {"abc", "x"}, {"abd", "x"}, 0, 1, 1},
    {"nothing changed", {"a", "b"}, {"a", "b"}, 2, 0, 0},
};

TEST(Undo, EachCommitIsOneStepBackAndForth) {
  for (const DiffCase& c : kDiffs) {
    SCOPED_TRACE(c.what);
    const LinesDiff diff = DiffLines(c.before, c.after);
    EXPECT_EQ(diff.at, c.at);
    EXPECT_EQ(diff.removed, c.removed);
    EXPECT_EQ(diff.inserted, c.inserted);

    MainState state = StateWith(c.before, 1);
    CommitDocument(state, c.after, 2);
    EXPECT_EQ(state.Document, c.after);
    if (diff.Empty()) {
      // Saving what was there already is no step.
      EXPECT_FALSE(state.Undo.CanUndo());
      continue;
    }
    ASSERT_TRUE(state.Undo.CanUndo());
    EXPECT_FALSE(state.Undo.CanRedo());
    state.DocumentChanged = 0;
    ASSERT_TRUE(UndoChange(state));
    EXPECT_EQ(state.Document, c.before);
    EXPECT_EQ(state.CurrentLine, 1);
    EXPECT_EQ(state.DocumentChanged, 1);
    EXPECT_FALSE(state.Undo.CanUndo());
    EXPECT_FALSE(UndoChange(state));
    ASSERT_TRUE(RedoChange(state));
    EXPECT_EQ(state.Document, c.after);
    EXPECT_EQ(state.CurrentLine, 2);
    EXPECT_FALSE(RedoChange(state));
  }
}

TEST(Undo, NothingToTakeChangesNothing) {
  MainState state = StateWith({"a", "b"}, 1);
  EXPECT_FALSE(UndoChange(state));
  EXPECT_FALSE(RedoChange(state));
  EXPECT_EQ(state.Document, (Lines{"a", "b"}));
  EXPECT_EQ(state.CurrentLine, 1);
  EXPECT_EQ(state.DocumentChanged, 0);
}

TEST(Undo, AStepKeepsOnlyTheLinesThatChanged) {
  // 200 lines of 1000 bytes: a copy of the Document would be 200000 bytes.
  Lines big;
  for (int i = 0; i < 200; ++i) big.push_back(Line(std::string(999, 'a') + static_cast<char>('0' + i % 10)));
  MainState state = StateWith(big, 5);
  Lines edited(big.begin(), big.begin() + 100);
  edited.push_back(Line("short"));
  edited.insert(edited.end(), big.begin() + 101, big.end());
  CommitDocument(state, std::move(edited), 100);
  EXPECT_LT(state.Undo.MemoryBytes(), 2000u);
  // The one-place commit of a record save and a merge.
  CommitLines(state, 7, 1, Lines{"seven"}, 7);
  CommitLines(state, 0, 0, Lines{"m1", "m2"}, 2);
  EXPECT_EQ(state.Document.size(), 202u);
  EXPECT_EQ(state.Document[0], "m1");
  EXPECT_EQ(state.Document[9], "seven");
  EXPECT_LT(state.Undo.MemoryBytes(), 4000u);
  // Replacing a line by its own bytes is no step.
  CommitLines(state, 9, 1, Lines{"seven"}, 9);
  EXPECT_EQ(state.Undo.UndoCount(), 3u);

  for (int i = 0; i < 3; ++i) ASSERT_TRUE(UndoChange(state));
  EXPECT_EQ(state.Document, big);
  EXPECT_EQ(state.CurrentLine, 5);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(RedoChange(state));
  EXPECT_EQ(state.Document[0], "m1");
  EXPECT_EQ(state.Document[9], "seven");
  EXPECT_EQ(state.Document[102], "short");
  EXPECT_EQ(state.CurrentLine, 2);
}

TEST(Undo, KeepsTheLast100Steps) {
  MainState state = StateWith(Numbered(3), 0);
  for (int i = 1; i <= 101; ++i) CommitLines(state, 1, 1, Lines{"edit" + std::to_string(i)}, 1);
  EXPECT_EQ(state.Undo.UndoCount(), UndoHistory::kMaxSteps);
  while (UndoChange(state)) {
  }
  // The first edit's step was dropped: undo stops after it.
  EXPECT_EQ(state.Document, (Lines{"line0", "edit1", "line2"}));
  EXPECT_EQ(state.Undo.RedoCount(), 100u);
}

TEST(Undo, TheOldestStepsGoWhenTheStepsHoldTooMuch) {
  // Room for about two steps of 1000-byte lines; the newest step stays,
  // however large.
  UndoHistory history(2500);
  Lines document = Numbered(3);
  for (int i = 0; i < 3; ++i) history.Record(1, Lines{std::string(1000, 'a')}, 1, 1, 1);
  EXPECT_EQ(history.UndoCount(), 2u);
  EXPECT_LE(history.MemoryBytes(), 2500u);
  history.Record(0, Lines(3, Line(std::string(5000, 'b'))), 3, 0, 0);
  EXPECT_EQ(history.UndoCount(), 1u);
  ASSERT_TRUE(history.Undo(document));
  EXPECT_EQ(document, Lines(3, Line(std::string(5000, 'b'))));
}

TEST(Undo, UndoPastTheStepsDroppedForTheBoundSaysSoOnce) {
  MainState state = StateWith(Numbered(3), 0);
  state.Undo = UndoHistory(2500);
  for (int i = 0; i < 4; ++i) CommitLines(state, 1, 1, Lines{std::string(1000, char('a' + i))}, 1);
  ScriptedDialogs dialogs;
  EXPECT_TRUE(UndoChange(state, dialogs));
  EXPECT_TRUE(UndoChange(state, dialogs));
  EXPECT_TRUE(state.Undo.DroppedUntold());
  EXPECT_FALSE(UndoChange(state, dialogs));
  EXPECT_FALSE(UndoChange(state, dialogs));
  EXPECT_EQ(dialogs.texts(), std::vector<std::string>{std::string(msg::kUndoStepsDropped)});
  EXPECT_EQ(dialogs.shown()[0].kind, MsgKind::Information);
  EXPECT_FALSE(state.Undo.DroppedUntold());
  EXPECT_EQ(state.Document[1], std::string(1000, 'b'));  // the two newest steps were kept
}

TEST(Undo, ANewChangeAfterAnUndoDropsTheRedoSteps) {
  MainState state = StateWith(Numbered(3), 0);
  CommitLines(state, 1, 1, Lines{"A"}, 1);
  CommitLines(state, 2, 1, Lines{"B"}, 2);
  ASSERT_TRUE(UndoChange(state));
  CommitDocument(state, Lines{"line0", "A", "C"}, 2);
  EXPECT_FALSE(state.Undo.CanRedo());
  ASSERT_TRUE(UndoChange(state));
  EXPECT_EQ(state.Document, (Lines{"line0", "A", "line2"}));
  ASSERT_TRUE(UndoChange(state));
  EXPECT_EQ(state.Document, Numbered(3));
  EXPECT_FALSE(UndoChange(state));
}

TEST(Undo, ADocumentReplacedBehindTheHistoryIsNeverDamaged) {
  MainState state = StateWith(Numbered(5), 0);
  CommitLines(state, 4, 1, Lines{"x"}, 4);
  state.Document = Lines{"other"};
  EXPECT_FALSE(UndoChange(state));
  EXPECT_EQ(state.Document, Lines{"other"});
  EXPECT_FALSE(state.Undo.CanUndo());
}

TEST(Undo, TheHistoryTellsEveryChangeOfWhatCanBeTaken) {
  MainState state = StateWith(Numbered(3), 0);
  int told = 0;
  state.Undo.OnChange([&] { ++told; });
  CommitLines(state, 1, 1, Lines{"A"}, 1);
  CommitLines(state, 1, 1, Lines{"A"}, 1);  // no step
  EXPECT_EQ(told, 1);
  ASSERT_TRUE(UndoChange(state));
  ASSERT_TRUE(RedoChange(state));
  EXPECT_FALSE(RedoChange(state));  // nothing to take
  EXPECT_EQ(told, 3);
  AdoptDocument(state, Lines{"b"}, "/b.csv", Adoption::Loaded);
  EXPECT_EQ(told, 4);
}

TEST(Undo, EveryAdoptionStartsAHistoryAndTheRoadSaysWhatElseStartsAfresh) {
  struct Case {
    Adoption how;
    bool gridAfresh;
    int documentChanged;
  };
  for (const Case& c :
       {Case{Adoption::Start, true, 0}, Case{Adoption::Loaded, true, 0}, Case{Adoption::Created, false, 1},
        Case{Adoption::Refused, false, 7}, Case{Adoption::Released, false, 7}}) {
    SCOPED_TRACE(static_cast<int>(c.how));
    MainState state = StateWith(Numbered(3), 2);
    CommitLines(state, 1, 1, Lines{"A"}, 1);
    state.GridBuilt = state.GridWidthState = 1;
    state.DocumentChanged = 7;
    int told = 0;
    state.GridStartedAfresh = [&] {
      EXPECT_EQ(state.GridBuilt, 0);  // told once the fields are set
      ++told;
    };
    AdoptDocument(state, Lines{"new"}, "/new.csv", c.how);
    EXPECT_EQ(state.Document, Lines{"new"});
    EXPECT_EQ(state.DocumentFileName, "/new.csv");
    EXPECT_FALSE(state.Undo.CanUndo() || state.Undo.CanRedo());
    EXPECT_EQ(state.GridBuilt == 0 && state.GridWidthState == 0, c.gridAfresh);
    EXPECT_EQ(told, c.gridAfresh ? 1 : 0);
    EXPECT_EQ(state.DocumentChanged, c.documentChanged);
    EXPECT_EQ(state.CurrentLine, c.how == Adoption::Created ? 0 : 1);
  }
}

TEST(Undo, ALoadAdoptsTheFileOrNothingAndAFileThatCannotBeReadLeavesAllAsItWas) {
  test::TempFolder dir("load");
  struct Case {
    std::string file;
    LoadResult result;
    Lines document;
  };
  ::mkdir(dir.File("folder.csv").c_str(), 0700);
  for (const Case& c :
       {Case{"good.csv", LoadResult::Loaded, Lines{"a,b", "1,2"}}, Case{"bad.csv", LoadResult::Refused, Lines{}},
        Case{"folder.csv", LoadResult::Unreadable, Numbered(3)}}) {
    SCOPED_TRACE(c.file);
    test::WriteFile(dir.File("good.csv"), "a,b\r\n1,2\r\n");
    test::WriteFile(dir.File("bad.csv"), std::string(8193, 'x'));
    MainState state = StateWith(Numbered(3), 0);
    state.DocumentFileName = "/was.csv";
    CommitLines(state, 1, 1, Lines{"line1"}, 1);
    CommitLines(state, 1, 1, Lines{"A"}, 1);
    state.CurrentFileName = dir.File(c.file);
    ScriptedDialogs dialogs;
    EXPECT_EQ(LoadDocument(state, OpenPath::Dialog, dialogs), c.result);
    const bool read = c.result != LoadResult::Unreadable;
    EXPECT_EQ(state.Document, (read ? c.document : Lines{"line0", "A", "line2"}));
    EXPECT_EQ(state.CurrentFileName, read ? dir.File(c.file) : "/was.csv");
    EXPECT_EQ(state.DocumentFileName, state.CurrentFileName);
    EXPECT_EQ(state.Undo.CanUndo(), !read);
    EXPECT_EQ(dialogs.shown().size(), c.result == LoadResult::Loaded ? 0u : 1u);
  }
}

TEST(Undo, ANewFileStartsAHistoryOfItsOwn) {
  test::TempFolder dir("undo");
  MainState state = StateWith(Numbered(3), 0);
  CommitLines(state, 1, 1, Lines{"A"}, 1);
  ScriptedDialogs dialogs;
  ASSERT_TRUE(CreateNewFile(state, dir.File("new.csv"), "t1,t2", dialogs));
  EXPECT_EQ(state.Document, Lines{"t1,t2"});
  EXPECT_FALSE(state.Undo.CanUndo());
  EXPECT_FALSE(state.Undo.CanRedo());
}

}  // namespace
}  // namespace cavel
