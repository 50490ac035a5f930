#include <gtest/gtest.h>

#include "StateSupport.h"
#include "core/Messages.h"
#include "core/QuoteConvert.h"

namespace cavel {
namespace {

using test::Refusals;
using test::StateWith;

// The converted line, or "<refused>" with the messages in `dialogs`.
std::string Convert(const std::string& line, QuoteMode mode, ScriptedDialogs& dialogs) {
  Lines out;
  if (!ConvertLines({line}, mode, dialogs, out)) return "<refused>";
  return std::string(out.at(0).view());
}

std::string Add(const std::string& line) {
  ScriptedDialogs dialogs;
  std::string out = Convert(line, QuoteMode::Add, dialogs);
  EXPECT_TRUE(dialogs.shown().empty()) << line.substr(0, 40);
  return out;
}

std::string Remove(const std::string& line) {
  ScriptedDialogs dialogs;
  std::string out = Convert(line, QuoteMode::Remove, dialogs);
  EXPECT_TRUE(dialogs.shown().empty()) << line.substr(0, 40);
  return out;
}

std::vector<std::string> RefusalsOf(const std::string& line, QuoteMode mode) {
  ScriptedDialogs dialogs;
  EXPECT_TRUE(Convert(line, mode, dialogs) == "<refused>") << line.substr(0, 40);
  return Refusals(dialogs);
}

TEST(QuoteConvert, AddAndRemoveTheEnclosingQuotes) {
  EXPECT_EQ(Add("a,\"b\",c"), "\"a\",\"b\",\"c\"");
  EXPECT_EQ(Remove("a,\"b\",c"), "a,b,c");
  EXPECT_EQ(Add("\"a\",\"b\",\"c\""), "\"a\",\"b\",\"c\"");  // all quoted already
  EXPECT_EQ(Remove("a,b,c"), "a,b,c");                       // none quoted
  EXPECT_EQ(Remove(" a , b "), " a , b ");                   // blanks are kept
  EXPECT_EQ(Add("\x8f\x5a\x8f\x8a"), "\"\x8f\x5a\x8f\x8a\"");
}

TEST(QuoteConvert, EmptyItemsAndALoneQuote) {
  EXPECT_EQ(Add("a,,c"), "\"a\",\"\",\"c\"");
  EXPECT_EQ(Remove("a,,c"), "a,,c");
  EXPECT_EQ(Add(""), "\"\"");
  EXPECT_EQ(Remove("\"\",x"), ",x");
  // One double quote alone (the last item, the only place it can stand) is
  // an empty enclosed item.
  EXPECT_EQ(Add("a,\""), "\"a\",\"\"");
  EXPECT_EQ(Remove("a,\""), "a,");
}

TEST(QuoteConvert, RemoveKeepsTheQuotesOfAnItemHoldingAComma) {
  EXPECT_EQ(Remove("1,\"x,y\",\"z\""), "1,\"x,y\",z");
  EXPECT_EQ(Add("1,\"x,y\""), "\"1\",\"x,y\"");
  EXPECT_EQ(Remove("\"x,y\""), "\"x,y\"");
}

TEST(QuoteConvert, QuoteFaultsNameTheLineAndTheItem) {
  // An opening quote whose first closing quote is not the last character.
  EXPECT_EQ(RefusalsOf("x,\"a\"\"b\"c,z", QuoteMode::Add), (std::vector<std::string>{msg::MissingClosingQuote(0, 2)}));
  // Doubled quotes are no escape: the first one closes the item too early.
  EXPECT_EQ(RefusalsOf("\"a\"\"b\"", QuoteMode::Remove), (std::vector<std::string>{msg::MissingClosingQuote(0, 1)}));
  // A quote after the first character of an item without an opening one.
  EXPECT_EQ(RefusalsOf("x,y,ab\"c\"", QuoteMode::Add), (std::vector<std::string>{msg::QuoteInMiddle(0, 3)}));
  // The first faulty separator-ended item ends the item checks.
  EXPECT_EQ(RefusalsOf("a\"\",\"b\"c,d\"\"", QuoteMode::Add), (std::vector<std::string>{msg::QuoteInMiddle(0, 1)}));
}

TEST(QuoteConvert, ItemLengths) {
  std::string item4096(4096, 'a');
  std::string item4097(4097, 'a');
  // Enclosed items of 4096 bytes pass either way; the last item has the same
  // limit as the others (not a smaller one).
  std::string enclosed = "\"" + std::string(4094, 'a') + "\"";
  EXPECT_TRUE(Remove(enclosed + "," + enclosed) == std::string(4094, 'a') + "," + std::string(4094, 'a'));
  EXPECT_TRUE(Add(enclosed + ",x") == enclosed + ",\"x\"");
  EXPECT_TRUE(Remove("x," + item4096) == "x," + item4096);
  EXPECT_EQ(RefusalsOf(item4097 + ",x", QuoteMode::Remove), (std::vector<std::string>{msg::ItemLength(0, 1)}));
  EXPECT_EQ(RefusalsOf("x," + item4097, QuoteMode::Remove), (std::vector<std::string>{msg::ItemLength(0, 2)}));
  // Add may not make an item the loader would refuse: 4096 unquoted bytes
  // would become 4098.
  EXPECT_EQ(RefusalsOf("x," + item4096, QuoteMode::Add), (std::vector<std::string>{msg::ItemLength(0, 2)}));
  EXPECT_TRUE(Add(std::string(4094, 'a')) == enclosed);
}

TEST(QuoteConvert, ConvertedLineLimit) {
  // Enclosed, items of 4094 and 4093 bytes make 4096 + 1 + 4095 = 8192.
  std::string a(4094, 'a');
  std::string b(4093, 'b');
  EXPECT_EQ(Add(a + "," + b).size(), kMaxLineBytes);
  std::string bb(4094, 'b');
  EXPECT_EQ(RefusalsOf(a + "," + bb, QuoteMode::Add), (std::vector<std::string>{msg::ConvertedLineTooLong(0)}));
}

TEST(QuoteConvert, ScanFaultsComeFirstAndTheItemChecksStillRun) {
  // 64 separators: the item-count message; then the item checks of the line
  // still report its first faulty item.
  std::string line = "a\"b\"" + std::string(64, ',') + "z";
  EXPECT_EQ(RefusalsOf(line, QuoteMode::Add),
            (std::vector<std::string>{msg::ItemCount(0, 65), msg::QuoteInMiddle(0, 1)}));
  // 511 commas inside one quoted item.
  std::string commas = "\"" + std::string(511, ',') + "\"";
  EXPECT_EQ(RefusalsOf(commas, QuoteMode::Remove), (std::vector<std::string>{msg::CommaCount(0)}));
  // 64 items are fine.
  std::string wide = "x";
  for (int i = 1; i < 64; ++i) wide += ",x";
  EXPECT_EQ(Remove(wide), wide);
}

TEST(QuoteConvert, EveryLineIncludingTheTitleOrNothing) {
  ScriptedDialogs dialogs;
  MainState state = StateWith({"\"A\",B", "1,\"2\"", "3,4"}, 2);
  EXPECT_TRUE(ConvertQuotes(state, QuoteMode::Add, dialogs));
  EXPECT_EQ(state.Document, (Lines{"\"A\",\"B\"", "\"1\",\"2\"", "\"3\",\"4\""}));
  EXPECT_EQ(state.CurrentLine, 2);
  EXPECT_EQ(state.DocumentChanged, 1);
  EXPECT_TRUE(ConvertQuotes(state, QuoteMode::Remove, dialogs));
  EXPECT_EQ(state.Document, (Lines{"A,B", "1,2", "3,4"}));
  EXPECT_TRUE(dialogs.shown().empty());

  Lines lines{"A,B", "1,2", "x,y\"z\"", "never,reached\""};
  MainState failing = StateWith(lines, 1);
  EXPECT_FALSE(ConvertQuotes(failing, QuoteMode::Add, dialogs));
  EXPECT_EQ(failing.Document, lines);
  EXPECT_EQ(failing.CurrentLine, 1);
  EXPECT_EQ(failing.DocumentChanged, 0);
  EXPECT_EQ(Refusals(dialogs), (std::vector<std::string>{msg::QuoteInMiddle(2, 2)}));
}

TEST(QuoteConvert, EmptyDocumentConvertsToEmpty) {
  ScriptedDialogs dialogs;
  MainState state = StateWith({}, -1);
  EXPECT_TRUE(ConvertQuotes(state, QuoteMode::Add, dialogs));
  EXPECT_TRUE(state.Document.empty());
}

}  // namespace
}  // namespace cavel
