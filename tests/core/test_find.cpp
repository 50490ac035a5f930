#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Find.h"
#include "core/Messages.h"

namespace cavel {
namespace {

class FindTest : public ::testing::Test {
 protected:
  FindTest() : commands_(state_) {}

  // The find dialog confirmed with `text`.
  std::optional<int> FindVia(const std::string& text, int selection) {
    commands_.OpenFind();
    commands_.FindOk(text);
    return commands_.Find(dialogs_, selection);
  }

  MainState state_;
  FindJump commands_;
  ScriptedDialogs dialogs_;
};

TEST(FindLineTest, MatchesExactBytesOnCharacterBoundaries) {
  const std::string a = "\x83\x41";  // ア: its trail byte is the letter A
  Lines lines = {"title",
                 "\x83\x41\x83\x41",
                 "x\x83\x41"
                 "A",
                 "ABC",
                 "a,b,c",
                 "abc"};
  EXPECT_EQ(FindLine(lines, "A", 0), 2);  // not line 1, whose only A is a trail byte
  EXPECT_EQ(FindLine(lines, a, 0), 1);
  EXPECT_EQ(FindLine(lines, "\x41\x83", 0), -1);  // starts on a trail byte everywhere
  EXPECT_EQ(FindLine(lines, "abc", 0), 5);        // case-sensitive: not ABC
  EXPECT_EQ(FindLine(lines, "a,b", 0), 4);        // commas are part of the text
  EXPECT_EQ(FindLine(lines, "ABC", 4), -1);       // no wrap
  EXPECT_EQ(FindLine(lines, "title", -1), 0);
  EXPECT_EQ(FindLine(lines, "", 0), -1);
  EXPECT_EQ(FindLine(lines, "abc", 6), -1);
}

TEST_F(FindTest, FindStartsAtTheSelectionAndFindAgainAfterIt) {
  state_.Document = {"no,title", "apple,1", "pear,2", "apple pie,3", "plum,4"};
  EXPECT_EQ(FindVia("apple", 1), 1);  // the selected line itself
  EXPECT_EQ(commands_.ReFind(dialogs_, 1), 3);
  EXPECT_TRUE(dialogs_.shown().empty());
  // On the last match: the notice, no wrap.
  EXPECT_EQ(commands_.ReFind(dialogs_, 3), std::nullopt);
  ASSERT_EQ(dialogs_.shown().size(), 1u);
  EXPECT_EQ(dialogs_.shown()[0].text, msg::kNotFound);
  EXPECT_EQ(dialogs_.shown()[0].kind, MsgKind::Information);
  EXPECT_EQ(dialogs_.shown()[0].buttons, mbOK);
  // No selection counts as the first row.
  EXPECT_EQ(FindVia("no", -1), 0);
}

TEST_F(FindTest, HistoriesShiftOnEveryFindWithAText) {
  state_.Document = {"a", "b"};
  ComboSetup c = commands_.OpenFind();
  EXPECT_EQ(c.text, "");
  FindVia("zz", 0);  // not found: the history shifts all the same
  FindVia("zz", 0);
  EXPECT_EQ(state_.FindHistory[1], "zz");
  EXPECT_EQ(state_.FindHistory[2], "zz");
  EXPECT_EQ(dialogs_.shown().size(), 2u);

  FindVia("b", 0);
  commands_.ReFind(dialogs_, 0);
  EXPECT_EQ(state_.FindHistory[1], "b");
  EXPECT_EQ(state_.FindHistory[2], "b");
  EXPECT_EQ(state_.FindHistory[3], "zz");

  c = commands_.OpenFind();
  EXPECT_EQ(c.text, "b");
  EXPECT_EQ(c.items, (std::array<std::string, 3>{"b", "b", "zz"}));
  EXPECT_EQ(state_.FindText, "b");
}

TEST_F(FindTest, CancelSearchesNothingAndTheTitleBarRepeatsTheLastSearch) {
  state_.Document = {"t", "key", "key"};
  FindVia("key", 0);
  dialogs_.Clear();
  auto before = state_.FindHistory;

  commands_.OpenFind();
  commands_.FindCancel();
  EXPECT_EQ(commands_.Find(dialogs_, 0), std::nullopt);
  EXPECT_EQ(state_.FindHistory, before);
  EXPECT_TRUE(dialogs_.shown().empty());

  // Find again with the cancelled (empty) text finds nothing and keeps the history.
  EXPECT_EQ(commands_.ReFind(dialogs_, 0), std::nullopt);
  EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{std::string(msg::kNotFound)}));
  EXPECT_EQ(state_.FindHistory, before);

  // Closed by the title bar: neither OK nor Cancel.
  commands_.OpenFind();
  EXPECT_EQ(commands_.Find(dialogs_, 2), 2);
}

TEST_F(FindTest, TextThatShiftJisCannotHoldMatchesNothing) {
  state_.Document = {"t", "??"};
  commands_.OpenFind();
  commands_.FindOk("?", false);
  EXPECT_EQ(commands_.Find(dialogs_, 0), std::nullopt);
  EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{std::string(msg::kNotFound)}));
  EXPECT_EQ(FindVia("?", 0), 1);
}

TEST_F(FindTest, JumpDialogRefusesBadTextAndKeepsItOpen) {
  ComboSetup c = commands_.OpenJump();
  EXPECT_EQ(c.text, "0");
  EXPECT_EQ(state_.JumpText, "0");
  EXPECT_EQ(c.items, (std::array<std::string, 3>{"0", "", ""}));

  EXPECT_FALSE(commands_.JumpOk(dialogs_, "1x"));
  EXPECT_FALSE(commands_.JumpOk(dialogs_, ""));
  EXPECT_FALSE(commands_.JumpOk(dialogs_, "30000"));
  EXPECT_FALSE(commands_.JumpOk(dialogs_, "-1"));
  ASSERT_EQ(dialogs_.shown().size(), 4u);
  EXPECT_EQ(dialogs_.shown()[0].text, "'1x' は整数ではありません");
  EXPECT_EQ(dialogs_.shown()[0].kind, MsgKind::Error);
  EXPECT_EQ(dialogs_.shown()[1].text, "'' は整数ではありません");
  EXPECT_EQ(dialogs_.shown()[2].text, msg::kJumpOutOfRange);
  EXPECT_EQ(dialogs_.shown()[2].kind, MsgKind::Warning);
  EXPECT_EQ(dialogs_.shown()[2].buttons, mbAbort);
  EXPECT_EQ(dialogs_.shown()[3].text, msg::kJumpOutOfRange);
  EXPECT_EQ(state_.JumpText, "0");  // nothing taken while the dialog stays open

  EXPECT_TRUE(commands_.JumpOk(dialogs_, "29999"));
  EXPECT_EQ(state_.JumpText, "29999");
}

TEST_F(FindTest, JumpSelectsTheRowOrTheLastRow) {
  auto jump = [&](const std::string& text, int lines) {
    commands_.OpenJump();
    EXPECT_TRUE(commands_.JumpOk(dialogs_, text));
    return commands_.Jump(lines);
  };
  EXPECT_EQ(jump("0", 100), 0);
  EXPECT_EQ(jump("29999", 100), 99);
  EXPECT_EQ(jump("99", 100), 99);
  EXPECT_EQ(jump(" 42", 100), 42);
  EXPECT_EQ(state_.JumpHistory[1], " 42");
  EXPECT_EQ(state_.JumpHistory[2], "99");
  EXPECT_EQ(state_.JumpHistory[3], "29999");
  EXPECT_EQ(jump("5", 0), std::nullopt);  // an empty Document has no row to select
  EXPECT_EQ(state_.JumpHistory[1], "5");

  auto before = state_.JumpHistory;
  commands_.OpenJump();
  commands_.JumpCancel();
  EXPECT_EQ(commands_.Jump(100), std::nullopt);
  EXPECT_EQ(state_.JumpHistory, before);

  // A remembered entry outside 0..32767 jumps nowhere.
  state_.JumpHistory[1] = "40000";
  commands_.OpenJump();
  EXPECT_EQ(commands_.Jump(100), std::nullopt);
  state_.JumpHistory[1] = "32767";
  commands_.OpenJump();
  EXPECT_EQ(commands_.Jump(100), 99);
  EXPECT_TRUE(dialogs_.shown().empty());
}

}  // namespace
}  // namespace cavel
