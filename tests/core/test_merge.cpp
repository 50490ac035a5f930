#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "StateSupport.h"
#include "core/Merge.h"
#include "core/Messages.h"

namespace cavel {
namespace {

using test::Numbered;
using test::Refusals;
using test::StateWith;

TEST(Merge, BeforeAndAfterTheCurrentLine) {
  ScriptedDialogs dialogs;
  MainState before = StateWith({"T", "A", "B"}, 1);
  EXPECT_TRUE(InsertBefore(before, {"U", "X"}, dialogs));
  EXPECT_EQ(before.Document, (Lines{"T", "U", "X", "A", "B"}));
  EXPECT_EQ(before.CurrentLine, 3);  // still on A
  EXPECT_EQ(before.DocumentChanged, 1);

  MainState after = StateWith({"T", "A", "B"}, 1);
  EXPECT_TRUE(InsertAfter(after, {"U", "X"}, dialogs));
  EXPECT_EQ(after.Document, (Lines{"T", "A", "U", "X", "B"}));
  EXPECT_EQ(after.CurrentLine, 1);
  EXPECT_EQ(after.DocumentChanged, 1);
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST(Merge, BeforeTheTitleLineGivesANewTitleLine) {
  ScriptedDialogs dialogs;
  MainState state = StateWith({"T", "A"}, 0);
  InsertBefore(state, {"U", "X"}, dialogs);
  EXPECT_EQ(state.Document, (Lines{"U", "X", "T", "A"}));
  EXPECT_EQ(state.CurrentLine, 2);

  MainState last = StateWith({"T", "A"}, 1);
  InsertAfter(last, {"U"}, dialogs);
  EXPECT_EQ(last.Document, (Lines{"T", "A", "U"}));
}

TEST(Merge, TheLineLimitCountsBothFiles) {
  ScriptedDialogs dialogs;
  MainState state = StateWith(Numbered(kMaxLines - 1), 5);
  EXPECT_FALSE(InsertAfter(state, {"a", "b"}, dialogs));
  EXPECT_FALSE(InsertBefore(state, {"a", "b"}, dialogs));
  EXPECT_EQ(state.Document, Numbered(kMaxLines - 1));
  EXPECT_EQ(state.CurrentLine, 5);
  EXPECT_EQ(state.DocumentChanged, 0);
  EXPECT_EQ(Refusals(dialogs), std::vector<std::string>(2, std::string(msg::kDocumentLineLimit)));

  dialogs.Clear();
  EXPECT_TRUE(InsertBefore(state, {"a"}, dialogs));
  EXPECT_EQ(state.Document.size(), kMaxLines);
  EXPECT_EQ(state.Document[5], "a");
  EXPECT_EQ(state.CurrentLine, 6);
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST(Merge, AnEmptyBlockStillReportsAChange) {
  ScriptedDialogs dialogs;
  MainState state = StateWith({"T", "A"}, 1);
  EXPECT_TRUE(InsertBefore(state, {}, dialogs));
  EXPECT_EQ(state.Document, (Lines{"T", "A"}));
  EXPECT_EQ(state.CurrentLine, 1);
  EXPECT_EQ(state.DocumentChanged, 1);
}

TEST(Merge, AnEmptyDocumentTakesTheBlock) {
  ScriptedDialogs dialogs;
  MainState before = StateWith({}, -1);
  EXPECT_TRUE(InsertBefore(before, {"U", "X"}, dialogs));
  EXPECT_EQ(before.Document, (Lines{"U", "X"}));
  EXPECT_EQ(before.CurrentLine, 0);
  EXPECT_EQ(before.DocumentChanged, 1);

  MainState after = StateWith({}, 0);
  EXPECT_TRUE(InsertAfter(after, {"U"}, dialogs));
  EXPECT_EQ(after.Document, (Lines{"U"}));
  EXPECT_EQ(after.CurrentLine, 0);

  MainState nothing = StateWith({}, -1);
  EXPECT_TRUE(InsertAfter(nothing, {}, dialogs));
  EXPECT_TRUE(nothing.Document.empty());
  EXPECT_EQ(nothing.CurrentLine, -1);
}

TEST(Merge, ACurrentLineOutsideTheDocumentKeepsEveryLine) {
  ScriptedDialogs dialogs;
  MainState state = StateWith({"T", "A"}, -1);
  InsertBefore(state, {"U"}, dialogs);
  EXPECT_EQ(state.Document, (Lines{"U", "T", "A"}));
  MainState past = StateWith({"T", "A"}, 7);
  InsertAfter(past, {"U"}, dialogs);
  EXPECT_EQ(past.Document, (Lines{"T", "A", "U"}));
  EXPECT_EQ(past.CurrentLine, 1);
}

// A loader stand-in: records its call and answers as told.
struct FakeLoad {
  static inline LoadResult result = LoadResult::Loaded;
  static inline int calls = 0;
  static inline int itemLimit = 0;
  static inline Lines lines{"U", "X"};
  static LoadOutcome Load(const std::string&, const LoadRules& rules, Dialogs&, Lines& destination) {
    ++calls;
    itemLimit = rules.itemLimit;
    destination = lines;  // a refused load may have filled some lines
    if (result == LoadResult::Unreadable) return {result, "Permission denied", {}};
    return {result, "", {}};
  }
};

class MergeRead : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (std::filesystem::temp_directory_path() /
             ("cavel_mergeread_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name())))
                .string();
    std::ofstream(path_) << "U\r\nX\r\n";
    FakeLoad::calls = 0;
    FakeLoad::lines = {"U", "X"};
  }
  void TearDown() override { std::filesystem::remove(path_); }
  std::string path_;
};

TEST_F(MergeRead, LoadsWithTheNarrowItemLimit) {
  ScriptedDialogs dialogs;
  Lines merge{"old"};
  FakeLoad::result = LoadResult::Loaded;
  EXPECT_EQ(ReadMergeFile(path_, kMaxLines, dialogs, merge, FakeLoad::Load), MergeReadResult::Loaded);
  EXPECT_EQ(FakeLoad::itemLimit, 64);
  EXPECT_EQ(merge, (Lines{"U", "X"}));
  EXPECT_TRUE(dialogs.shown().empty());
  // A second file in UTF-8 with LF line ends comes as Shift-JIS lines.
  std::ofstream(path_, std::ios::trunc | std::ios::binary) << "\xE5\x90\x8D,x\n\xE3\x81\x82,y\n";
  EXPECT_EQ(ReadMergeFile(path_, kMaxLines, dialogs, merge), MergeReadResult::Loaded);
  EXPECT_EQ(merge, (Lines{"\x96\xBC,x", "\x82\xA0,y"}));
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(MergeRead, ARefusedOrUnreadableFileLeavesNoLines) {
  ScriptedDialogs dialogs;
  Lines merge{"old"};
  FakeLoad::result = LoadResult::Refused;
  EXPECT_EQ(ReadMergeFile(path_, kMaxLines, dialogs, merge, FakeLoad::Load), MergeReadResult::Refused);
  EXPECT_TRUE(merge.empty());
  EXPECT_TRUE(dialogs.shown().empty());  // the loader shows its own messages

  FakeLoad::result = LoadResult::Unreadable;
  EXPECT_EQ(ReadMergeFile(path_, kMaxLines, dialogs, merge, FakeLoad::Load), MergeReadResult::Unreadable);
  EXPECT_TRUE(merge.empty());
  ASSERT_EQ(dialogs.shown().size(), 1u);
  EXPECT_EQ(dialogs.shown()[0].text, msg::FileError(path_, "Permission denied"));
  EXPECT_EQ(dialogs.shown()[0].kind, MsgKind::Error);
}

TEST_F(MergeRead, AMissingFileIsRefusedAndKeepsWhatWasRead) {
  ScriptedDialogs dialogs;
  Lines merge{"kept"};
  EXPECT_EQ(ReadMergeFile(path_ + ".none", kMaxLines, dialogs, merge, FakeLoad::Load), MergeReadResult::Missing);
  EXPECT_EQ(FakeLoad::calls, 0);
  EXPECT_EQ(merge, (Lines{"kept"}));
  EXPECT_EQ(Refusals(dialogs), (std::vector<std::string>{std::string(msg::kFileMissing)}));
}

}  // namespace
}  // namespace cavel
