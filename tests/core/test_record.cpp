#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Messages.h"
#include "core/Record.h"

namespace cavel {
namespace {

class RecordTest : public ::testing::Test {
 protected:
  RecordTest() : window_(state_) { state_.CurrentFileName = "/data/a.csv"; }

  bool Open(RecordMode mode, int line) { return window_.Open(dialogs_, mode, line, line); }

  MainState state_;
  RecordWindow window_;
  ScriptedDialogs dialogs_;
};

std::string Items(int count, const std::string& stem = "v") {
  std::string line;
  for (int k = 1; k <= count; ++k) line += (k > 1 ? "," : "") + stem + std::to_string(k);
  return line;
}

TEST_F(RecordTest, LabelsAndValuesCarryTwoDigitNumbers) {
  state_.Document = {"name,\"zip,code\",city", "Sato,\"100-0001\",Tokyo"};
  ASSERT_TRUE(Open(RecordMode::View, 1));
  EXPECT_EQ(state_.TitleItems[1], "01 : name");
  EXPECT_EQ(state_.TitleItems[2], "02 : \"zip,code\"");
  EXPECT_EQ(state_.TitleItems[4], "04 : ");
  EXPECT_EQ(state_.TitleItems[9], "09 : ");
  EXPECT_EQ(state_.TitleItems[10], "10 : ");
  EXPECT_EQ(state_.TitleItems[64], "64 : ");
  EXPECT_EQ(state_.LineItems[2], "\"100-0001\"");
  EXPECT_EQ(state_.LineItems[3], "Tokyo");
  EXPECT_EQ(state_.LineItems[4], "04 : ");
  EXPECT_EQ(state_.LineItemCount, 3);
  EXPECT_EQ(state_.CurrentLine, 1);
  EXPECT_EQ(window_.VisibleRows(), 3);
  EXPECT_EQ(window_.EditableRows(), 0);
  EXPECT_EQ(window_.ModeLabel(), "閲覧モード");
  EXPECT_TRUE(window_.EditEnabled());
  EXPECT_FALSE(window_.SaveEnabled());
  EXPECT_EQ(window_.PositionCaption(), "Cavel (閲覧 / 編集)    /data/a.csv    現在位置 :     1");
  EXPECT_TRUE(dialogs_.shown().empty());
}

TEST_F(RecordTest, TitleLabelsAreCutAt16BytesWithoutSplittingACharacter) {
  std::string twenty = "abcdefghijklmnopqrst";
  std::string kana15 = "123456789012345\x83\x41xyz";  // ア across bytes 16 and 17
  std::string kanji = "\x8f\x5a\x8f\x8a\x98\x5e\x8f\x5a\x8f\x8a\x98\x5e\x8f\x5a\x8f\x8a\x98\x5e";  // 18 bytes
  state_.Document = {twenty + "," + kana15 + "," + kanji + ",short", "1,2,3,4"};
  ASSERT_TRUE(TitleKoumokuSet(state_, dialogs_));
  EXPECT_EQ(state_.TitleItems[1], "01 : abcdefghijklmnop");
  EXPECT_EQ(state_.TitleItems[2], "02 : 123456789012345");
  EXPECT_EQ(state_.TitleItems[3], "03 : " + kanji.substr(0, 16));
  EXPECT_EQ(state_.TitleItems[4], "04 : short");
  // Values are never cut.
  state_.Document.push_back(Line(twenty + "," + kana15));
  ASSERT_TRUE(EditKoumokuSet(state_, dialogs_, 2));
  EXPECT_EQ(state_.LineItems[1], twenty);
  EXPECT_EQ(state_.LineItems[2], kana15);
}

TEST_F(RecordTest, OpeningChecksTheTitleAndTheLine) {
  std::string commas = "\"" + std::string(511, ',') + "\"";
  std::string quotes = std::string(255, '"');
  state_.Document = {"a,b", "1,2", commas + quotes, Items(65)};

  EXPECT_FALSE(Open(RecordMode::View, 2));
  EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{msg::CommaCount(2), msg::QuoteCount(2)}));
  EXPECT_EQ(state_.RecordSetupFailed, 1);

  dialogs_.Clear();
  EXPECT_FALSE(Open(RecordMode::Edit, 3));
  EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{msg::ItemCount(3, 65)}));
  EXPECT_EQ(dialogs_.shown()[0].buttons, mbAbort);

  // A faulty title line stops before the line is looked at.
  dialogs_.Clear();
  state_.Document.Set(0, Line(Items(70)));
  EXPECT_FALSE(Open(RecordMode::View, 1));
  EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{msg::ItemCount(0, 65)}));

  // No selection.
  dialogs_.Clear();
  state_.Document.Set(0, Line("a,b"));
  EXPECT_FALSE(window_.Open(dialogs_, RecordMode::View, -1, 0));
  EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{std::string(msg::kSelectLineFirst)}));
  EXPECT_EQ(dialogs_.shown()[0].kind, MsgKind::Information);

  // 64 items pass.
  dialogs_.Clear();
  state_.Document.Set(1, Line(Items(64)));
  EXPECT_TRUE(Open(RecordMode::View, 1));
  EXPECT_EQ(state_.LineItemCount, 64);
  EXPECT_EQ(state_.LineItems[64], "v64");
  EXPECT_TRUE(dialogs_.shown().empty());
}

TEST_F(RecordTest, OpeningOnTheTitleLineShowsTitlesAsValues) {
  state_.Document = {"name,city", "Sato,Tokyo"};
  ASSERT_TRUE(Open(RecordMode::Edit, 0));
  EXPECT_EQ(state_.DocumentChanged, 0);
  EXPECT_EQ(state_.LineItems[1], "name");
  EXPECT_EQ(window_.ModeLabel(), "編集モード");
  EXPECT_EQ(window_.EditableRows(), 2);
  EXPECT_FALSE(window_.EditEnabled());
  ASSERT_TRUE(window_.Save(dialogs_, {std::string("氏名"), std::nullopt}));
  EXPECT_EQ(state_.Document[0], "氏名,city");
  EXPECT_EQ(state_.DocumentChanged, 1);
}

TEST_F(RecordTest, StepsStopAtBothEndsAndStayOffFaultyLines) {
  state_.Document = {"a,b", "1,2", std::string(255, '"'), "5,6"};
  ASSERT_TRUE(Open(RecordMode::View, 1));
  auto step = window_.Prev(dialogs_);
  EXPECT_TRUE(step.titlesSet && step.valuesSet);
  EXPECT_EQ(state_.CurrentLine, 0);
  window_.Prev(dialogs_);
  EXPECT_EQ(state_.CurrentLine, 0);
  window_.Next(dialogs_);
  EXPECT_EQ(state_.CurrentLine, 1);

  // The next line fails: the window stays on line 1 with its values.
  step = window_.Next(dialogs_);
  EXPECT_TRUE(step.titlesSet);
  EXPECT_FALSE(step.valuesSet);
  EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{msg::QuoteCount(2)}));
  EXPECT_EQ(state_.CurrentLine, 1);
  EXPECT_EQ(state_.LineItems[1], "1");
  EXPECT_EQ(state_.LineItemCount, 2);
  EXPECT_EQ(window_.PositionCaption(), "Cavel (閲覧 / 編集)    /data/a.csv    現在位置 :     1");

  state_.CurrentLine = 3;
  window_.Next(dialogs_);
  EXPECT_EQ(state_.CurrentLine, 3);
  EXPECT_EQ(state_.LineItems[2], "6");
}

TEST_F(RecordTest, SteppingFromFiveItemsToThreeKeepsTheRowsButNotTheValues) {
  state_.Document = {Items(5, "t"), Items(5), Items(3, "w")};
  ASSERT_TRUE(Open(RecordMode::Edit, 1));
  window_.Next(dialogs_);
  EXPECT_EQ(window_.VisibleRows(), 5);
  EXPECT_EQ(window_.EditableRows(), 5);
  EXPECT_EQ(state_.LineItemCount, 3);
  EXPECT_EQ(state_.LineItems[4], "04 : ");
  EXPECT_EQ(state_.LineItems[5], "05 : ");
  // Boxes 4 and 5 are not read.
  ASSERT_TRUE(
      window_.Save(dialogs_, {std::nullopt, std::string("x"), std::nullopt, std::string("y"), std::string("z")}));
  EXPECT_EQ(state_.Document[2], "w1,x,w3");
  EXPECT_EQ(state_.CurrentLine, 2);
}

TEST_F(RecordTest, SaveJoinsUpTo8192Bytes) {
  state_.Document = {"a,b", "1,2"};
  ASSERT_TRUE(Open(RecordMode::Edit, 1));
  std::vector<BoxValue> boxes = {std::string(4095, 'x'), std::string(4096, 'y')};  // 4095 + 1 + 4096
  std::vector<BoxValue> tooLong = {std::string(4096, 'x'), std::string(4096, 'y')};
  EXPECT_FALSE(window_.Save(dialogs_, tooLong));
  EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{std::string(msg::kRecordTooLong)}));
  EXPECT_EQ(dialogs_.shown()[0].buttons, mbAbort);
  EXPECT_EQ(state_.Document[1], "1,2");
  EXPECT_EQ(state_.DocumentChanged, 0);

  EXPECT_TRUE(window_.Save(dialogs_, boxes));
  EXPECT_EQ(state_.Document[1].size(), 8192u);
  EXPECT_EQ(state_.DocumentChanged, 1);
  EXPECT_EQ(state_.Document.size(), 2u);
}

TEST_F(RecordTest, UnchangedValuesAreWrittenBackAsTheirBytes) {
  // Bytes that are no valid Shift-JIS, blanks and quotes.
  std::string line = "\xff\x80 , \"q\" ,\x81";
  state_.Document = {"a,b,c", line};
  ASSERT_TRUE(Open(RecordMode::View, 1));
  EXPECT_FALSE(window_.Save(dialogs_, {}));  // view mode saves nothing
  EXPECT_FALSE(window_.ConfirmSave(dialogs_));
  EXPECT_TRUE(dialogs_.shown().empty());
  window_.SwitchToEdit();
  EXPECT_TRUE(window_.SaveEnabled());
  EXPECT_EQ(window_.EditableRows(), 3);
  EXPECT_EQ(window_.ModeLabel(), "編集モード");
  EXPECT_TRUE(window_.Save(dialogs_, {std::nullopt, std::nullopt, std::nullopt}));
  EXPECT_EQ(state_.Document[1], line);
  EXPECT_EQ(state_.DocumentChanged, 1);
}

TEST_F(RecordTest, ValueTypedWithACommaAddsAnItem) {
  state_.Document = {"a,b,c", "1,2,3"};
  ASSERT_TRUE(Open(RecordMode::Edit, 1));
  dialogs_.Answer(mbNo);
  EXPECT_FALSE(window_.ConfirmSave(dialogs_));
  dialogs_.Answer(mbYes);
  EXPECT_TRUE(window_.ConfirmSave(dialogs_));
  EXPECT_EQ(dialogs_.shown()[0].text, msg::kAskSaveRecord);
  ASSERT_TRUE(window_.Save(dialogs_, {std::nullopt, std::string("x,y")}));
  EXPECT_EQ(state_.Document[1], "1,x,y,3");
  ASSERT_TRUE(Open(RecordMode::View, 1));
  EXPECT_EQ(state_.LineItemCount, 4);
  EXPECT_EQ(state_.LineItems[3], "y");
}

}  // namespace
}  // namespace cavel
