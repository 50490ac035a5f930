// The item rule: which commas separate items, and what the items are.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Document.h"

namespace cavel {
namespace {

std::vector<std::string> Items(std::string_view line) {
  std::vector<std::string> out;
  for (auto item : SplitItems(line)) out.emplace_back(item);
  return out;
}

using V = std::vector<std::string>;

TEST(SplitItems, QuotedCommasStayInsideTheirItem) {
  EXPECT_EQ(Items("a,\"b,c\",d"), (V{"a", "\"b,c\"", "d"}));
  EXPECT_EQ(Items("a\"b,c"), (V{"a\"b,c"}));
  EXPECT_EQ(Items("\"x\"\"y\",z"), (V{"\"x\"\"y\"", "z"}));
  EXPECT_EQ(Items(","), (V{"", ""}));
  // The last comma follows three quotes: part of the second item.
  EXPECT_EQ(Items("\"a\",b\"c,d"), (V{"\"a\"", "b\"c,d"}));
  EXPECT_EQ(Items(""), (V{""}));
}

TEST(SplitItems, ThreeLettersAndTwoCommas) {
  EXPECT_EQ(Items("a,b,c"), (V{"a", "b", "c"}));
  EXPECT_EQ(Items("\"a,b\",c"), (V{"\"a,b\"", "c"}));
  EXPECT_EQ(Items("a,\"b,c"), (V{"a", "\"b,c"}));
  EXPECT_EQ(Items(",,"), (V{"", "", ""}));
}

TEST(SplitItems, ItemsKeepBlanksAndQuotesExactly) {
  EXPECT_EQ(Items(" a , \"b\" ,\"\"\"c\"\"\" "), (V{" a ", " \"b\" ", "\"\"\"c\"\"\" "}));
  EXPECT_EQ(Items("\"\","), (V{"\"\"", ""}));
}

TEST(SplitItems, DoubleByteCharactersNeverSeparate) {
  // 表 is 0x95 0x5C, ソ is 0x83 0x5C: trail bytes that are not commas or
  // quotes; the comma between them separates.
  std::string line = "\x95\x5C,\x83\x5C\x81\x40";
  EXPECT_EQ(Items(line), (V{"\x95\x5C", "\x83\x5C\x81\x40"}));
}

TEST(SplitItems, NulAndHighBytesAreOrdinary) {
  std::string line("a\0b,\xFF\"\0,\"", 10);
  auto items = Items(line);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0], std::string("a\0b", 3));
  EXPECT_EQ(items[1], std::string("\xFF\"\0,\"", 6));
}

TEST(ItemSeparators, PositionsOfTheSeparatingCommasOnly) {
  EXPECT_EQ(ItemSeparators("a,\"b,c\",d"), (std::vector<std::size_t>{1, 7}));
  EXPECT_EQ(ItemSeparators("\"a\",b\"c,d"), (std::vector<std::size_t>{3}));
  EXPECT_TRUE(ItemSeparators("").empty());
  EXPECT_TRUE(ItemSeparators("\"a,b,c").empty());
  EXPECT_EQ(ItemSeparators(",,"), (std::vector<std::size_t>{0, 1}));
}

TEST(ItemSpans, ItemKIsCutAtTheSeparatorsFound) {
  std::string line = "ab,cd,ef";
  ItemSpans spans;
  FindSeparators(line, spans);
  ASSERT_EQ(spans.itemCount, 3);
  EXPECT_EQ(spans.Item(line, 1), "ab");
  EXPECT_EQ(spans.Item(line, 2), "cd");
  EXPECT_EQ(spans.Item(line, 3), "ef");
  // The views point into the line itself; numbers outside the items give nothing.
  EXPECT_EQ(spans.Item(line, 2).data(), line.data() + 3);
  EXPECT_TRUE(spans.Item(line, 0).empty());
  EXPECT_TRUE(spans.Item(line, 4).empty());
}

// The rule by its definition, one byte at a time.
std::vector<std::size_t> PlainSeparators(std::string_view line) {
  std::vector<std::size_t> out;
  std::size_t quotes = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') ++quotes;
    if (line[i] == ',' && quotes % 2 == 0) out.push_back(i);
  }
  return out;
}

TEST(ItemSeparators, TheBlockScanAgreesWithThePlainRuleAtEveryLengthAndOffset) {
  // Marks at every place of the 32- and 16-byte blocks and of the tail.
  std::string pool;
  unsigned seed = 7;
  for (int i = 0; i < 400; ++i) {
    seed = seed * 1103515245u + 12345u;
    const unsigned r = (seed >> 16) % 8;
    pool += r == 0 ? '"' : r < 3 ? ',' : r == 3 ? static_cast<char>(0x81) : 'a';
  }
  for (std::size_t offset = 0; offset < 40; ++offset)
    for (std::size_t length = 0; length + offset <= pool.size(); length += 1 + length / 8) {
      const std::string_view line = std::string_view(pool).substr(offset, length);
      ASSERT_EQ(ItemSeparators(line), PlainSeparators(line)) << offset << " " << length;
    }
}

TEST(SplitItems, AgreesWithItemSeparatorsOnLongLines) {
  // 600 items, some quoted with commas inside, some with an odd quote.
  std::string line;
  for (int i = 0; i < 600; ++i) {
    if (i) line += ',';
    if (i % 3 == 0)
      line += "\"x,y\"";
    else
      line += "v" + std::to_string(i);
  }
  auto items = SplitItems(line);
  ASSERT_EQ(items.size(), 600u);
  for (int i = 0; i < 600; ++i)
    ASSERT_EQ(items[static_cast<std::size_t>(i)], i % 3 == 0 ? "\"x,y\"" : "v" + std::to_string(i)) << i;
  EXPECT_EQ(ItemSeparators(line).size(), 599u);
}

}  // namespace
}  // namespace cavel
