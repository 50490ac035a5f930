#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/ColumnWidths.h"
#include "core/GridFill.h"
#include "core/Messages.h"

namespace cavel {
namespace {

namespace fs = std::filesystem;

// A settings file of its own for each test.
class GridFillTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("cavel-gridfill-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    ini_ = (dir_ / "CAVEL.INI").string();
    state_.CurrentFileName = "/data/住所録.csv";
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs the whole fill into grid_ and widths_ (when the fill gives widths).
  void Fill() {
    GridFill fill(state_, dialogs_, ini_);
    ASSERT_TRUE(fill.Enabled());
    fill.CheckLines();
    if (auto w = fill.ApplyTo(grid_)) widths_ = *w;
  }

  std::vector<std::string> Row(int r) const {
    std::vector<std::string> out;
    for (int c = 0; c < grid_.ColCount(); ++c) out.emplace_back(grid_.Cell(c, r));
    return out;
  }

  fs::path dir_;
  std::string ini_;
  MainState state_;
  ScriptedDialogs dialogs_;
  GridCells grid_;
  std::vector<int> widths_;
};

using Cells = std::vector<std::string>;

TEST_F(GridFillTest, ThreeLinesOfFourItemsMakeFiveColumnsAndFourRows) {
  state_.Document = {"a,b,c,d", "1,\"x,y\",3,4", "5,6,7,"};
  Fill();
  EXPECT_EQ(grid_.ColCount(), 5);
  EXPECT_EQ(grid_.RowCount(), 4);
  EXPECT_EQ(Row(0), (Cells{"/data/住所録.csv", "a", "b", "c", "d"}));
  EXPECT_EQ(Row(1), (Cells{"0", "a", "b", "c", "d"}));
  EXPECT_EQ(Row(2), (Cells{"1", "1", "\"x,y\"", "3", "4"}));
  EXPECT_EQ(Row(3), (Cells{"2", "5", "6", "7", ""}));
  EXPECT_TRUE(dialogs_.shown().empty());
  EXPECT_EQ(state_.GridBuilt, 1);
  EXPECT_EQ(widths_, std::vector<int>(5, 84));
  // GridResum is on and no check failed: the remembered widths were tried.
  EXPECT_EQ(state_.GridWidthState, 1);
  EXPECT_TRUE(GridShowsFile(state_, grid_));
}

TEST_F(GridFillTest, CaptionsAndWaitsComeInTheirOrder) {
  struct Host : GridFillHost {
    std::vector<std::string> log;
    GridCells cells;
    void SetCaption(const std::string& c) override { log.push_back("caption " + c); }
    void DelayTime(int ms) override { log.push_back("delay " + std::to_string(ms)); }
    void ApplyFill(GridFill& fill) override {
      auto w = fill.ApplyTo(cells);
      log.push_back(w ? "widths " + std::to_string(w->size()) : "no widths");
    }
  };
  state_.Document = {"a,b", "1,2"};
  Host host;
  FillGrid(state_, dialogs_, ini_, host);
  const std::string base = "Cavel (ﾒｲﾝ)    /data/住所録.csv    ";
  EXPECT_EQ(host.log, (std::vector<std::string>{"caption " + base + "項目の検査開始", "delay 500",
                                                "caption " + base + "項目の幅設定開始", "delay 500", "widths 3",
                                                "caption " + base + "全行数 :     2"}));
  EXPECT_EQ(host.cells.RowCount(), 3);

  // An empty Document skips the widths step and empties the grid.
  state_.Document.clear();
  state_.GridBuilt = 0;
  host.log.clear();
  FillGrid(state_, dialogs_, ini_, host);
  EXPECT_EQ(host.log, (std::vector<std::string>{"caption " + base + "項目の検査開始", "delay 500", "no widths",
                                                "caption " + base + "全行数 :     0"}));
  EXPECT_EQ(state_.GridBuilt, 0);
  EXPECT_EQ(host.cells.Cell(1, 1), "");
  EXPECT_EQ(host.cells.Cell(0, 0), "");
  EXPECT_EQ(host.cells.RowCount(), 3);  // the counts stay

  // Grid display off: nothing at all.
  state_.GridDisp = false;
  state_.Document = {"a"};
  host.log.clear();
  FillGrid(state_, dialogs_, ini_, host);
  EXPECT_TRUE(host.log.empty());
  EXPECT_EQ(state_.GridBuilt, 0);
}

TEST_F(GridFillTest, CellsThatAFillDoesNotReachAreCleared) {
  state_.Document = {"a,b,c,d", "1,2,3,4", "5,6,7,8"};
  Fill();
  state_.CurrentFileName = "/data/short.csv";
  state_.Document = {"t,u,v,w", "x,y"};  // a line with fewer items, accepted on loading
  Fill();
  EXPECT_EQ(grid_.RowCount(), 3);
  EXPECT_EQ(Row(0), (Cells{"/data/short.csv", "t", "u", "v", "w"}));
  EXPECT_EQ(Row(2), (Cells{"1", "x", "y", "", ""}));
  EXPECT_EQ(grid_.Cell(1, 3), "");  // row 3 of the earlier file
  EXPECT_EQ(grid_.Cell(0, 3), "");
}

TEST_F(GridFillTest, FaultyLinesAreReportedInOrderAndStillShown) {
  std::string commas = "x,\"" + std::string(511, ',') + "\"";  // 2 items, 512 commas
  std::string quotes = std::string(255, '"');
  std::string items65;
  for (int k = 1; k <= 66; ++k) items65 += (k > 1 ? "," : "") + std::to_string(k);
  state_.Document = {"a,b", commas, quotes, items65, "p,q"};
  // Remembered widths exist, but a failed check keeps them off.
  ASSERT_TRUE(StoreColumnWidths(ini_, state_.CurrentFileName, {10, 20, 30}, state_).ok);
  Fill();
  EXPECT_EQ(dialogs_.texts(),
            (std::vector<std::string>{msg::CommaCount(1), msg::QuoteCount(2), msg::ItemCount(3, 65)}));
  for (const auto& shown : dialogs_.shown()) {
    EXPECT_EQ(shown.kind, MsgKind::Warning);
    EXPECT_EQ(shown.buttons, mbAbort);
  }
  EXPECT_EQ(grid_.RowCount(), 6);
  EXPECT_EQ(grid_.Cell(1, 2), "x");
  EXPECT_EQ(grid_.Cell(2, 2), "\"" + std::string(511, ',') + "\"");
  EXPECT_EQ(grid_.Cell(1, 3), quotes);
  // The 65th cell of the over-full line holds the rest after the 64th separator.
  EXPECT_EQ(grid_.Cell(64, 4), "64");
  EXPECT_EQ(grid_.Cell(65, 4), "65,66");
  EXPECT_EQ(Row(5), (Cells{"4", "p", "q"}));
  EXPECT_EQ(widths_, std::vector<int>(3, 84));
  EXPECT_EQ(state_.GridWidthState, 0);
  EXPECT_EQ(state_.GridBuilt, 1);
}

TEST_F(GridFillTest, LongItemEndedBySeparatorTakesTheRestOfTheLine) {
  std::string longItem(4097, 'x');
  std::string exact(4096, 'y');
  state_.Document = {"a,b,c,d", "1," + longItem + ",3,4", "5," + exact + ",7,8", "9,10,11,12"};
  Fill();
  EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{msg::ItemLength(1, 2)}));
  EXPECT_EQ(Row(2), (Cells{"1", "1", longItem + ",3,4", "", ""}));
  EXPECT_EQ(Row(3), (Cells{"2", "5", exact, "7", "8"}));
  EXPECT_EQ(Row(4), (Cells{"3", "9", "10", "11", "12"}));
  EXPECT_EQ(grid_.RowCount(), 5);
}

TEST_F(GridFillTest, LongLastItemEndsTheFillOnlyWhileNothingFailed) {
  std::string longItem(4097, 'z');
  state_.Document = {"a,b", "1,2", "3," + longItem, "5,6"};
  Fill();
  EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{msg::ItemLength(2, 2)}));
  EXPECT_EQ(grid_.RowCount(), 3);  // lines 0 and 1 only
  EXPECT_EQ(grid_.Cell(1, 3), "");
  EXPECT_EQ(grid_.Cell(0, 3), "");
  EXPECT_EQ(state_.GridWidthState, 0);

  // After an earlier failure the last item is no longer tested.
  dialogs_.Clear();
  state_.Document = {"a,b", "1," + std::string(4097, 'w') + ",x", "3," + longItem, "5,6"};
  Fill();
  EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{msg::ItemLength(1, 2)}));
  EXPECT_EQ(grid_.RowCount(), 5);
  EXPECT_EQ(grid_.Cell(2, 3), longItem);
  EXPECT_EQ(Row(4), (Cells{"3", "5", "6"}));
}

TEST_F(GridFillTest, TitleLineThatFailsTheItemLengthTestShowsItsHeaders) {
  std::string longItem(4100, 't');
  state_.Document = {"a,b," + longItem, "1,2,3"};
  Fill();
  EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{msg::ItemLength(0, 3)}));
  EXPECT_EQ(grid_.ColCount(), 4);
  EXPECT_EQ(grid_.RowCount(), 1);
  EXPECT_EQ(Row(0), (Cells{"/data/住所録.csv", "a", "b", longItem}));
  EXPECT_EQ(grid_.Cell(1, 1), "");
  EXPECT_EQ(widths_.size(), 4u);

  // A long separator-ended title item: the column count ends at it.
  dialogs_.Clear();
  state_.Document = {"a," + longItem + ",c", "1,2,3"};
  Fill();
  EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{msg::ItemLength(0, 2)}));
  EXPECT_EQ(grid_.ColCount(), 3);
  EXPECT_EQ(Row(0), (Cells{"/data/住所録.csv", "a", longItem + ",c"}));
  EXPECT_EQ(Row(2), (Cells{"1", "1", "2"}));
}

TEST_F(GridFillTest, RememberedWidthsApplyToTheColumnsThatExist) {
  state_.Document = {"a,b,c", "1,2,3"};
  // Fewer numbers than columns: the others keep the default width.
  ASSERT_TRUE(StoreColumnWidths(ini_, state_.CurrentFileName, {40, 120}, state_).ok);
  Fill();
  EXPECT_EQ(widths_, (std::vector<int>{40, 120, 84, 84}));
  EXPECT_EQ(state_.GridWidthState, 1);

  // More numbers than columns: the rest is ignored.
  ASSERT_TRUE(StoreColumnWidths(ini_, state_.CurrentFileName, {1, 2, 3, 4, 5, 6}, state_).ok);
  Fill();
  EXPECT_EQ(widths_, (std::vector<int>{1, 2, 3, 4}));

  // A part that is not a number ends the list.
  std::vector<int> w = {84, 84, 84, 84};
  ApplyWidthList("50,abc,70", w);
  EXPECT_EQ(w, (std::vector<int>{50, 84, 84, 84}));

  // With GridResum off the fill keeps the default width and the state.
  state_.GridResum = false;
  state_.GridWidthState = 0;
  state_.ColWidth = 100;
  Fill();
  EXPECT_EQ(widths_, std::vector<int>(4, 100));
  EXPECT_EQ(state_.GridWidthState, 0);
  // ... and the first Ctrl+W applies the remembered widths.
  EXPECT_TRUE(StringGridWidthChg(state_, dialogs_, ini_, grid_, widths_));
  EXPECT_EQ(widths_, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(state_.GridWidthState, 1);
  EXPECT_TRUE(dialogs_.shown().empty());
}

TEST_F(GridFillTest, WidthToggleSwitchesBetweenRememberedAndDefault) {
  state_.Document = {"a,b", "1,2"};
  ASSERT_TRUE(StoreColumnWidths(ini_, state_.CurrentFileName, {30, 150, 60}, state_).ok);
  Fill();
  ASSERT_EQ(widths_, (std::vector<int>{30, 150, 60}));
  ASSERT_EQ(state_.GridWidthState, 1);
  EXPECT_TRUE(StringGridWidthChg(state_, dialogs_, ini_, grid_, widths_));
  EXPECT_EQ(widths_, std::vector<int>(3, 84));
  EXPECT_EQ(state_.GridWidthState, 0);
  EXPECT_TRUE(StringGridWidthChg(state_, dialogs_, ini_, grid_, widths_));
  EXPECT_EQ(widths_, (std::vector<int>{30, 150, 60}));
  EXPECT_EQ(state_.GridWidthState, 1);
  EXPECT_TRUE(dialogs_.shown().empty());
}

TEST_F(GridFillTest, WidthCommandsOnAGridThatDoesNotShowTheFile) {
  // Never filled: the corner is empty while a file is open.
  std::vector<int> widths = DefaultWidths(grid_, 84);
  EXPECT_EQ(widths.size(), 40u);
  EXPECT_FALSE(StringGridWidthChg(state_, dialogs_, ini_, grid_, widths));
  EXPECT_FALSE(RememberGridWidths(state_, dialogs_, ini_, grid_, widths));
  EXPECT_EQ(dialogs_.texts(),
            (std::vector<std::string>{std::string(msg::kGridNotLoaded), std::string(msg::kGridNotLoaded)}));
  EXPECT_EQ(dialogs_.shown()[1].buttons, mbAbort);
  EXPECT_EQ(widths, std::vector<int>(40, 84));

  // No file open at all: Ctrl+M asks, then does nothing.
  dialogs_.Clear();
  state_.CurrentFileName.clear();
  dialogs_.Answer(mbYes);
  EXPECT_FALSE(RememberGridWidths(state_, dialogs_, ini_, grid_, widths));
  ASSERT_EQ(dialogs_.shown().size(), 1u);
  EXPECT_EQ(dialogs_.shown()[0].text, msg::kAskStoreGridWidth);
  EXPECT_EQ(dialogs_.shown()[0].kind, MsgKind::Information);
  EXPECT_FALSE(fs::exists(ini_));

  // A filled grid whose file has no remembered widths.
  dialogs_.Clear();
  state_.CurrentFileName = "/data/new.csv";
  state_.Document = {"a"};
  Fill();
  EXPECT_FALSE(StringGridWidthChg(state_, dialogs_, ini_, grid_, widths_));
  EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{std::string(msg::kGridWidthNotStored)}));
}

TEST_F(GridFillTest, RememberingWidthsAsksAndStores) {
  state_.Document = {"a,b", "1,2"};
  Fill();
  std::vector<int> dragged = {70, 200, 35};
  dialogs_.Answer(mbNo);
  EXPECT_FALSE(RememberGridWidths(state_, dialogs_, ini_, grid_, dragged));
  EXPECT_EQ(FindColumnWidths(ini_, state_.CurrentFileName, state_), 0);

  dialogs_.Answer(mbYes);
  EXPECT_TRUE(RememberGridWidths(state_, dialogs_, ini_, grid_, dragged));
  int slot = FindColumnWidths(ini_, state_.CurrentFileName, state_);
  ASSERT_EQ(slot, 1);
  EXPECT_EQ(state_.ResumeColumNum[1], "70,200,35");
  EXPECT_EQ(state_.GridWidthState, 1);  // unchanged by remembering

  // Grid display off: the question, then nothing.
  state_.GridDisp = false;
  dialogs_.Answer(mbYes);
  EXPECT_FALSE(RememberGridWidths(state_, dialogs_, ini_, grid_, {1, 2, 3}));
  FindColumnWidths(ini_, state_.CurrentFileName, state_);
  EXPECT_EQ(state_.ResumeColumNum[1], "70,200,35");

  // Reopened later, the fill gives the file its remembered widths.
  state_.GridDisp = true;
  state_.GridWidthState = 0;
  Fill();
  EXPECT_EQ(widths_, dragged);
}

TEST_F(GridFillTest, StoreAtExitOnlyForTheGridOfTheOpenFile) {
  state_.Document = {"a,b", "1,2"};
  Fill();
  std::vector<int> widths = {50, 60, 70};
  EXPECT_FALSE(StoreGridWidthsAtExit(state_, dialogs_, ini_, grid_, widths));  // GridWidthSave off
  state_.GridWidthSave = true;
  EXPECT_TRUE(StoreGridWidthsAtExit(state_, dialogs_, ini_, grid_, widths));
  ASSERT_EQ(FindColumnWidths(ini_, "/data/住所録.csv", state_), 1);
  EXPECT_EQ(state_.ResumeColumNum[1], "50,60,70");

  // Another file opened, the grid never filled for it: its widths are not the grid's.
  state_.CurrentFileName = "/data/other.csv";
  EXPECT_FALSE(StoreGridWidthsAtExit(state_, dialogs_, ini_, grid_, widths));
  EXPECT_EQ(FindColumnWidths(ini_, "/data/other.csv", state_), 0);
  EXPECT_TRUE(dialogs_.shown().empty());
}

TEST_F(GridFillTest, BlankingEmptiesOnlyTheNamedCells) {
  std::string title;
  for (int k = 1; k <= 34; ++k) title += (k > 1 ? "," : "") + ("t" + std::to_string(k));
  state_.Document = {title, title};
  Fill();
  ASSERT_EQ(grid_.ColCount(), 35);
  grid_.BlankCells(32, static_cast<int>(state_.Document.size()) + 2);
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 32; ++c) EXPECT_EQ(grid_.Cell(c, r), "") << c << "," << r;
    EXPECT_EQ(grid_.Cell(32, r), "t32");
    EXPECT_EQ(grid_.Cell(34, r), "t34");
  }
  EXPECT_FALSE(GridShowsFile(state_, grid_));
  std::vector<int> widths = DefaultWidths(grid_, 84);
  EXPECT_FALSE(StringGridWidthChg(state_, dialogs_, ini_, grid_, widths));
  EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{std::string(msg::kGridNotLoaded)}));
}

TEST_F(GridFillTest, HeldBytesStayCloseToTheDocument) {
  std::string line;
  for (int k = 0; k < 64; ++k) line += (k ? "," : "") + std::string(120, static_cast<char>('a' + k % 26));
  state_.Document = Lines(2000, Line(line));
  std::size_t documentBytes = 2000 * line.size();
  Fill();
  EXPECT_LT(grid_.HeldBytes(), documentBytes * 13 / 10);
  EXPECT_EQ(grid_.Cell(64, 2000), std::string(120, 'a' + 63 % 26));
}

}  // namespace
}  // namespace cavel
