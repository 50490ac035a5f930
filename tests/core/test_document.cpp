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

TEST(ItemsAt, CutsAtTheGivenSeparators) {
  std::string line = "ab,cd,ef";
  auto items = ItemsAt(line, {2, 5});
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0], "ab");
  EXPECT_EQ(items[1], "cd");
  EXPECT_EQ(items[2], "ef");
  EXPECT_EQ(ItemsAt(line, {}).size(), 1u);
  // The views point into the line itself.
  EXPECT_EQ(items[1].data(), line.data() + 3);
}

TEST(SplitItems, AgreesWithItemSeparatorsOnLongLines) {
  // 600 items, some quoted with commas inside, some with an odd quote.
  std::string line;
  for (int i = 0; i < 600; ++i) {
    if (i) line += ',';
    if (i % 3 == 0) line += "\"x,y\"";
    else line += "v" + std::to_string(i);
  }
  auto items = SplitItems(line);
  ASSERT_EQ(items.size(), 600u);
  for (int i = 0; i < 600; ++i)
    ASSERT_EQ(items[static_cast<std::size_t>(i)], i % 3 == 0 ? "\"x,y\"" : "v" + std::to_string(i)) << i;
  EXPECT_EQ(ItemSeparators(line).size(), 599u);
}

}  // namespace
}  // namespace cavel
