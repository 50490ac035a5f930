#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Clipboard.h"
#include "core/Messages.h"

namespace cavel {
namespace {

using Table = std::vector<std::vector<std::string>>;

Table Values(const PastedCells& cells) {
  Table table;
  for (int r = 0; r < cells.Rows(); ++r) {
    table.emplace_back();
    for (int c = 0; c < cells.RowSize(r); ++c) table.back().emplace_back(cells.Value(r, c));
  }
  return table;
}

TEST(Clipboard, CopyTakesQuotesOffAndQuotesWhatASpreadsheetWouldCut) {
  const Lines document = {
      "a,\"x,y\",\"say \"\"hi\"\"\",\"\"",     // enclosed items: quotes off, doubled quotes undone
      "\"tab\there\",\"l1\nl2\",\"\"\"q\",z",  // a tab, a line break, a leading quote: enclosed again
      "b\"c\"d,\x83\x41",                      // the quotes of an item that is not enclosed stay
      "short",                                 // a line with fewer items gives empty values
  };
  const CellRange all{0, 3, 1, 4};
  EXPECT_EQ(CopyCellsText(document, all),
            "a\tx,y\tsay \"hi\"\t\n"
            "\"tab\there\"\t\"l1\nl2\"\t\"\"\"q\"\tz\n"
            "b\"c\"d\t\x83\x41\t\t\n"
            "short\t\t\t\n");
  EXPECT_EQ(CopyCellsCsv(document, CellRange{2, 5, 2, 3}), "\x83\x41,\r\n,\r\n");
  // Read back, every cell is the item's value.
  const Table back = Values(ParsePasted(CopyCellsText(document, all)));
  ASSERT_EQ(back.size(), 4u);
  EXPECT_EQ(back[1], (std::vector<std::string>{"tab\there", "l1\nl2", "\"q", "z"}));
  EXPECT_EQ(back[0][2], "say \"hi\"");
  EXPECT_EQ(back[3], (std::vector<std::string>{"short", "", "", ""}));
}

TEST(Clipboard, PastedTextIsReadAsSpreadsheetsWriteIt) {
  const struct {
    std::string text;
    Table values;
  } cases[] = {
      {"", {}},
      {"\n", {{""}}},
      {"a\n\n", {{"a"}, {""}}},
      {"a\tb\r\nc\td\r\n", {{"a", "b"}, {"c", "d"}}},
      {"a\tb\tc\rd", {{"a", "b", "c"}, {"d"}}},                        // ragged rows, CR alone
      {"a,b\nc", {{"a", "b"}, {"c"}}},                                 // no tab: commas separate
      {"\"a\tb\",c", {{"a\tb", "c"}}},                                 // a tab inside quotes separates nothing
      {"1\t\"x,y\"\t\"l1\r\nl2\rl3\"", {{"1", "x,y", "l1\nl2\nl3"}}},  // line breaks inside come out as LF
      {"\"a\"\"b\"c,d", {{"a\"bc", "d"}}},                             // after the closing quote, as it stands
      {"\"a,\"\",b", {{"\"a", "", "b"}}},                              // no closing quote: as it stands
      {"x\"y\"\tz", {{"x\"y\"", "z"}}},                                // a quote after the start is the value's
  };
  for (const auto& c : cases) EXPECT_EQ(Values(ParsePasted(c.text)), c.values) << c.text;
  // The window may know the separator: one column of values holding commas.
  EXPECT_EQ(Values(ParsePasted("1,234\n5,678\n", PasteSeparator::Tab)), (Table{{"1,234"}, {"5,678"}}));
}

TEST(Clipboard, ALargeTextIsCountedWholeAndKeptAsFarAsAPasteReaches) {
  std::string row;
  for (int c = 1; c < 71; ++c) row += "\tv";
  std::string text;
  for (int i = 0; i < 40000; ++i) text += std::to_string(i) + row + "\n";
  const PastedCells cells = ParsePasted(text);
  EXPECT_EQ(cells.Rows(), 40000);
  EXPECT_EQ(cells.Cols(), 71);
  // Rows past the default line limit are kept (a raised limit takes them).
  EXPECT_EQ(cells.Value(39999, 0), "39999");
  EXPECT_EQ(cells.RowSize(0), 71);
  EXPECT_EQ(cells.Value(0, 63), "v");
  EXPECT_EQ(cells.Value(0, 64), "");
}

TEST(Clipboard, RefusalsNameCodePointsAndSizes) {
  EXPECT_EQ(msg::CodePointName(U'\n'), "U+000A");
  EXPECT_EQ(msg::CodePointName(U'\U0001F600'), "U+1F600");
  EXPECT_EQ(msg::PasteNotShiftJis({U'\uD55C', U'\uAE00'}),
            "   Shift-JIS で表せない文字があります : U+D55C U+AE00\n\r   貼り付けできません。           ");
  const std::vector<char32_t> ten(10, U'\uD55C');
  EXPECT_NE(msg::PasteNotShiftJis(ten).find("U+D55C ほか 2 文字"), std::string::npos);
  EXPECT_EQ(
      msg::PastePastLastLine(3, 2, 9),
      "   貼り付ける範囲は 3 行 × 2 項目です。\n\r   最後の行は 9 行目です。\n\r   （ただし先頭行は 0 行です。）\n\r");
}

}  // namespace
}  // namespace cavel
