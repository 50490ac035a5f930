#include "core/History.h"

#include <gtest/gtest.h>

namespace cavel {
namespace {

std::string F(int i) { return "/home/u/file" + std::to_string(i) + ".csv"; }

// Slots 1..9 hold F(1)..F(9).
HeldSettings Full() {
  HeldSettings s;
  for (int i = 1; i <= 9; ++i) s.OpenFileName[i] = F(i);
  return s;
}

std::vector<std::string> Slots(const HeldSettings& s) { return {s.OpenFileName.begin() + 1, s.OpenFileName.end()}; }

TEST(History, AddingAKnownFileMovesItsSlotToTheTop) {
  HeldSettings s = Full();
  HistoryAddFile(s, F(7));
  EXPECT_EQ(Slots(s), (std::vector<std::string>{F(7), F(1), F(2), F(3), F(4), F(5), F(6), F(8), F(9)}));
  HistoryAddFile(s, F(7));  // already on top: nothing moves
  EXPECT_EQ(Slots(s), (std::vector<std::string>{F(7), F(1), F(2), F(3), F(4), F(5), F(6), F(8), F(9)}));
  HistoryAddFile(s, F(9));
  EXPECT_EQ(Slots(s), (std::vector<std::string>{F(9), F(7), F(1), F(2), F(3), F(4), F(5), F(6), F(8)}));
}

TEST(History, ANameWithALineBreakIsLeftOut) {
  for (const char* name : {"/home/u/a\nb.csv", "/home/u/a\rb.csv"}) {
    HeldSettings s = Full();
    HistoryAddFile(s, name);
    EXPECT_EQ(Slots(s), Slots(Full()));
  }
}

TEST(History, ATenthFileDropsSlotNine) {
  HeldSettings s = Full();
  HistoryAddFile(s, F(10));
  EXPECT_EQ(Slots(s), (std::vector<std::string>{F(10), F(1), F(2), F(3), F(4), F(5), F(6), F(7), F(8)}));

  HeldSettings empty;
  HistoryAddFile(empty, F(1));
  HistoryAddFile(empty, F(2));
  EXPECT_EQ(Slots(empty),
            (std::vector<std::string>{F(2), F(1), "none", "none", "none", "none", "none", "none", "none"}));
}

TEST(History, NamesThatDifferOnlyInCaseAreTwoFiles) {
  HeldSettings s;
  HistoryAddFile(s, "/data/Report.csv");
  HistoryAddFile(s, "/data/report.csv");
  HistoryAddFile(s, "/data/表.CSV");
  HistoryAddFile(s, "/data/表.csv");
  EXPECT_EQ(Slots(s), (std::vector<std::string>{"/data/表.csv", "/data/表.CSV", "/data/report.csv", "/data/Report.csv",
                                                "none", "none", "none", "none", "none"}));
  EXPECT_FALSE(SameFileName("/a/B.csv", "/a/b.csv"));
  EXPECT_FALSE(SameFileName("/a/b.csv", "/a/b.csv "));
  EXPECT_TRUE(SameFileName("/a/表.csv", "/a/表.csv"));
}

TEST(History, TheShiftRunsOverAllNineSlotsAndTrimEmptiesTheRest) {
  // Start-up does not trim, so slots above OpenFileNum may still hold names.
  HeldSettings s = Full();
  s.OpenFileNum = 3;
  HistoryAddFile(s, F(5));
  HistoryAddFile(s, F(10));
  EXPECT_EQ(Slots(s), (std::vector<std::string>{F(10), F(5), F(1), F(2), F(3), F(4), F(6), F(7), F(8)}));
  HistoryTrim(s);
  EXPECT_EQ(Slots(s), (std::vector<std::string>{F(10), F(5), F(1), "none", "none", "none", "none", "none", "none"}));

  HistoryAddFile(s, F(20));
  HistoryTrim(s);
  EXPECT_EQ(Slots(s), (std::vector<std::string>{F(20), F(10), F(5), "none", "none", "none", "none", "none", "none"}));
  auto items = HistoryMenuItems(s);
  ASSERT_EQ(items.size(), 9u);
  EXPECT_EQ(std::count_if(items.begin(), items.end(), [](const HistoryMenuItem& m) { return m.visible; }), 3);

  s.OpenFileNum = 0;
  HistoryTrim(s);
  for (const std::string& name : Slots(s)) EXPECT_EQ(name, "none");

  // Counts outside 0..9 (a caller that did not clamp) stay inside the slots.
  HeldSettings t = Full();
  t.OpenFileNum = 12;
  HistoryTrim(t);
  EXPECT_EQ(Slots(t), Slots(Full()));
  t.OpenFileNum = -4;
  HistoryTrim(t);
  for (const std::string& name : Slots(t)) EXPECT_EQ(name, "none");
}

TEST(History, MoveToTop) {
  HeldSettings s = Full();
  HistoryMoveToTop(s, 7);
  EXPECT_EQ(Slots(s), (std::vector<std::string>{F(7), F(1), F(2), F(3), F(4), F(5), F(6), F(8), F(9)}));
  HistoryMoveToTop(s, 1);
  HistoryMoveToTop(s, 0);
  HistoryMoveToTop(s, 10);
  EXPECT_EQ(Slots(s), (std::vector<std::string>{F(7), F(1), F(2), F(3), F(4), F(5), F(6), F(8), F(9)}));
  HistoryMoveToTop(s, 9);
  EXPECT_EQ(Slots(s), (std::vector<std::string>{F(9), F(7), F(1), F(2), F(3), F(4), F(5), F(6), F(8)}));
}

TEST(History, MenuShowsEverySlotButNone) {
  HeldSettings s;
  s.OpenFileName[1] = "/home/u/住所.csv";
  s.OpenFileName[2] = "";  // only "none" marks an empty slot
  s.OpenFileName[4] = "None";
  auto items = HistoryMenuItems(s);
  ASSERT_EQ(items.size(), 9u);
  EXPECT_TRUE(items[0].visible);
  EXPECT_EQ(items[0].caption, "/home/u/住所.csv");
  EXPECT_TRUE(items[1].visible);
  EXPECT_EQ(items[1].caption, "");
  EXPECT_FALSE(items[2].visible);
  EXPECT_TRUE(items[3].visible);
  EXPECT_EQ(items[3].caption, "None");
  for (int i = 4; i < 9; ++i) EXPECT_FALSE(items[i].visible);
}

}  // namespace
}  // namespace cavel
