#include <gtest/gtest.h>

#include <string>

#include "core/CsvWriter.h"
#include "core/Lines.h"

namespace cavel {
namespace {

TEST(Lines, ACopySharesTheListUntilOneOfThemChanges) {
  Lines a{"x,y", "z"};
  Lines b = a;
  EXPECT_TRUE(a.SharesListWith(b));
  EXPECT_EQ(a[0].BlockHolders(), 1u);  // the bytes are held once, by one handle

  b.Set(0, "changed");
  b.push_back("added");
  b.Swap(1, 2);
  EXPECT_FALSE(a.SharesListWith(b));
  EXPECT_TRUE(a == (std::vector<std::string>{"x,y", "z"}));
  EXPECT_TRUE(b == (std::vector<std::string>{"changed", "added", "z"}));
  // The untouched line is the same handle in both lists.
  EXPECT_EQ(a[1].data(), b[2].data());
  EXPECT_EQ(a[1].BlockHolders(), 2u);

  b.erase(b.begin());
  b.insert(b.begin(), a.begin(), a.end());
  EXPECT_TRUE(b == (std::vector<std::string>{"x,y", "z", "added", "z"}));
  EXPECT_EQ(a.size(), 2u);
}

TEST(Lines, ABlockLivesAsLongAsALinePointsIntoIt) {
  Line kept;
  {
    LineBuilder builder(16, 64);
    Line first = builder.Add("abc");
    kept = builder.Add("de");
    EXPECT_TRUE(Line::Follows(first, kept, 2));
    EXPECT_EQ(kept.BlockHolders(), 3u);  // the builder, first, kept
  }
  EXPECT_EQ(kept.BlockHolders(), 1u);
  EXPECT_EQ(kept, "de");
  EXPECT_EQ(Line(), "");
  EXPECT_EQ(Line("").BlockHolders(), 0u);
}

TEST(Lines, BuiltLinesAreSavedAsTheyStandAcrossBlocks) {
  // More lines than the first block holds: the builder goes on in a new one.
  Lines lines;
  std::string expected;
  {
    LineBuilder builder(8, 8);
    for (int i = 0; i < 5000; ++i) {
      const std::string text = "line " + std::to_string(i) + (i % 7 ? "" : std::string(9000 % (i + 1), 'x'));
      lines.push_back(builder.Add(text));
      expected += text + "\r\n";
    }
  }
  lines.insert(lines.begin() + 3, Line("own"));
  expected.insert(expected.find("line 3\r\n"), "own\r\n");
  std::string written;
  ASSERT_TRUE(CsvContent(lines).Pieces([&](std::string_view piece) {
    written += piece;
    return true;
  }));
  EXPECT_EQ(written, expected);
  EXPECT_EQ(CsvContent(lines).Size(), expected.size());
}

}  // namespace
}  // namespace cavel
