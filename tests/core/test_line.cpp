#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "LinesProbe.h"
#include "core/CsvWriter.h"
#include "core/Lines.h"

namespace cavel {
namespace {

TEST(Lines, ACopySharesTheListUntilOneOfThemChanges) {
  Lines a{"x,y", "z"};
  Lines b = a;
  EXPECT_TRUE(LinesProbe::SharesList(a, b));
  EXPECT_EQ(LinesProbe::BlockHolders(a[0]), 1u);  // the bytes are held once, by one handle

  b.Set(0, Line("changed"));
  b.push_back(Line("added"));
  b.SwapLines(1, 2);
  EXPECT_FALSE(LinesProbe::SharesList(a, b));
  EXPECT_TRUE(a == (std::vector<std::string>{"x,y", "z"}));
  EXPECT_TRUE(b == (std::vector<std::string>{"changed", "added", "z"}));
  // The untouched line is the same handle in both lists.
  EXPECT_EQ(a[1].data(), b[2].data());
  EXPECT_EQ(LinesProbe::BlockHolders(a[1]), 2u);

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
    // Built one after the other with their CR LF: one run, not one past either.
    EXPECT_EQ(LineRuns(Lines{first, kept}, "\r\n").Next(), "abc\r\nde");
    EXPECT_EQ(LinesProbe::BlockHolders(kept), 3u);  // the builder, first, kept
  }
  EXPECT_EQ(LinesProbe::BlockHolders(kept), 1u);
  EXPECT_EQ(kept, "de");
  EXPECT_EQ(Line(), "");
  EXPECT_EQ(LinesProbe::BlockHolders(Line("")), 0u);
}

TEST(Lines, OnlyLinesWithTheGapBetweenThemMakeOneRun) {
  struct Case {
    std::string_view block;
    std::vector<std::pair<std::size_t, std::size_t>> lines;  // offset, size
    std::vector<std::string_view> runs;
  };
  const Case cases[] = {
      {"a\r\nb\r\nc", {{0, 1}, {3, 1}, {6, 1}}, {"a\r\nb\r\nc"}},
      {"a\rb\r\nc", {{0, 1}, {2, 1}, {5, 1}}, {"a", "b\r\nc"}},  // a CR alone between a and b
      {"a\n\rb", {{0, 1}, {3, 1}}, {"a", "b"}},                  // two bytes, but not CR LF
      {"a\r\nb", {{3, 1}, {0, 1}}, {"b", "a"}},                  // the block's order, not the list's
      {"a\r\n\r\nb", {{0, 1}, {3, 0}, {5, 1}}, {"a", "", "b"}},  // an empty line holds no block
  };
  for (const Case& c : cases) {
    LineStore store(c.block.size());
    std::copy(c.block.begin(), c.block.end(), store.data());
    Lines lines;
    for (auto [offset, size] : c.lines) lines.push_back(store.Slice(offset, size));
    std::vector<std::string_view> runs;
    LineRuns each(lines, "\r\n");
    while (std::optional<std::string_view> run = each.Next()) runs.push_back(*run);
    EXPECT_EQ(runs, c.runs) << c.block;
  }
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
