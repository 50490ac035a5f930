// Inputs the fuzz harnesses of fuzz/ found to break an invariant, kept as
// tests of the rule each one broke.
#include <gtest/gtest.h>

#include <string>

#include "StateSupport.h"
#include "core/CsvLoader.h"
#include "core/ItemOrder.h"
#include "core/LineCheck.h"
#include "core/Messages.h"

namespace cavel {
namespace {

using test::Refusals;
using test::StateWith;

std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

std::string ItemsLine(int count) {
  std::string line = "a";
  for (int k = 2; k <= count; ++k) line += ",a";
  return line;
}

// Whether the loader would take the line back (commas, quotes, 64 items, item lengths).
bool Loadable(std::string_view line) {
  ScriptedDialogs quiet;
  LineScan scan;
  bool failed = false;
  ScanLine(line, 0, ScanOptions{kMaxItems, true, true}, quiet, failed, scan);
  return !failed && line.size() <= kMaxLineBytes;
}

// fuzz_itemorder: the reference line has 64 items, another line one quoted
// item of 500 commas. Rebuilt with 64 items that line gains 63 commas, 563
// in all, and the saved file could no longer be opened.
TEST(FuzzRegressions, ItemSaveKeepsTheCommaLimitOfShortLines) {
  const std::string shortLine = "\"" + Repeat(',', 500) + "\"";
  ASSERT_TRUE(Loadable(shortLine));
  MainState state = StateWith({ItemsLine(64), shortLine}, 0);
  ScriptedDialogs dialogs;
  ItemOrder model;
  ASSERT_TRUE(model.Open(state, dialogs));
  model.Down();  // any order: every line is rebuilt with 64 items
  EXPECT_FALSE(model.Save(state, dialogs));
  EXPECT_EQ(Refusals(dialogs), (std::vector<std::string>{msg::CommaCount(1)}));
  EXPECT_EQ(state.Document, (Lines{ItemsLine(64), shortLine}));
  EXPECT_EQ(state.DocumentChanged, 0);

  // 446 commas inside and 63 added stay within the limit of 510.
  const std::string fits = "\"" + Repeat(',', 447) + "\"";
  MainState ok = StateWith({ItemsLine(64), fits}, 0);
  dialogs.Clear();
  ASSERT_TRUE(model.Open(ok, dialogs));
  EXPECT_TRUE(model.Save(ok, dialogs));
  EXPECT_TRUE(dialogs.shown().empty());
  EXPECT_TRUE(Loadable(ok.Document[1].view()));
  EXPECT_EQ(ok.Document[1], fits + Repeat(',', 63));
}

// fuzz_itemorder: a line with 510 commas (or 253 quotes) passes the checks,
// but with the new first item in front it has 511 commas (255 quotes), which
// the loader refuses.
TEST(FuzzRegressions, PrefixSavesKeepTheCommaAndQuoteLimits) {
  const std::string commas = "\"" + Repeat(',', 509) + "\",b";  // 510 commas
  const std::string quotes = "a," + Repeat('"', 252) + "\"";    // 253 quotes
  ASSERT_TRUE(Loadable(commas));
  ASSERT_TRUE(Loadable(quotes));

  for (bool special : {false, true}) {
    SCOPED_TRACE(special ? "special save" : "add save");
    MainState state = StateWith({"a,b", commas}, 0);
    ScriptedDialogs dialogs;  // はい to the question
    ItemOrder model;
    ASSERT_TRUE(model.Open(state, dialogs));
    EXPECT_FALSE(special ? model.SpecialSave(state, dialogs) : model.AddSave(state, dialogs));
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_EQ(dialogs.shown()[1].text, msg::CommaCount(1));
    EXPECT_EQ(state.Document, (Lines{"a,b", commas}));
    EXPECT_EQ(state.DocumentChanged, 0);
  }

  // Only the special save adds quotes.
  MainState state = StateWith({"a,b", quotes}, 0);
  ScriptedDialogs dialogs;
  ItemOrder model;
  ASSERT_TRUE(model.Open(state, dialogs));
  EXPECT_FALSE(model.SpecialSave(state, dialogs));
  ASSERT_EQ(dialogs.shown().size(), 2u);
  EXPECT_EQ(dialogs.shown()[1].text, msg::QuoteCount(1));
  EXPECT_EQ(state.Document, (Lines{"a,b", quotes}));
  dialogs.Clear();
  ASSERT_TRUE(model.Open(state, dialogs));
  EXPECT_TRUE(model.AddSave(state, dialogs));
  EXPECT_EQ(state.Document, (Lines{",a,b", "," + quotes}));
  EXPECT_TRUE(Loadable(state.Document[1].view()));
}

}  // namespace
}  // namespace cavel
