// The shared line scan: its limits, the order of its reports and the exact
// bytes of every text the loader shows.
#include <gtest/gtest.h>

#include <string>

#include "core/Dialogs.h"
#include "core/LineCheck.h"
#include "core/Messages.h"

namespace cavel {
namespace {

// The expected texts, spelt out byte for byte: a line break is LF then CR.
const std::string kNote = "   （ただし先頭行は 0 行です。）\n\r";

std::string CommaText(long l) { return "   " + std::to_string(l) + " 行目のカンマの数が，512 以上です。\n\r" + kNote; }
std::string QuoteText(long l) {
  return "   " + std::to_string(l) + " 行目の二重引用符の数が，256 以上です。\n\r" + kNote;
}
std::string ItemsText(long l, int n) {
  return "   " + std::to_string(l) + " 行目の項目の数が，" + std::to_string(n) + " 以上です。\n\r" + kNote;
}
std::string LengthText(long l, int k) {
  return "   " + std::to_string(l) + " 行目の，" + std::to_string(k) + " 項目の文字数が４０９６文字以上です。\n\r" +
         kNote;
}

std::string Repeat(std::string_view piece, int times) {
  std::string s;
  for (int i = 0; i < times; ++i) s += piece;
  return s;
}

// `items` unquoted items "a", separated by commas.
std::string ItemsLine(int items) { return "a" + Repeat(",a", items - 1); }

struct Scan {
  ScriptedDialogs dialogs;
  LineScan out;
  bool failed = false;
};

void ScanWith(Scan& s, std::string_view line, long index, int limit, bool walk = true, bool last = true) {
  ScanLine(line, index, ScanOptions{limit, walk, last}, s.dialogs, s.failed, s.out);
}

void ExpectAllRefusals(const ScriptedDialogs& d) {
  for (const auto& m : d.shown()) {
    EXPECT_EQ(m.kind, MsgKind::Warning);
    EXPECT_EQ(m.buttons, static_cast<MsgButtons>(mbAbort));
  }
}

TEST(LoaderTexts, ExactBytes) {
  EXPECT_EQ(std::string(msg::kLineTooLong), "   入力ファイルの文字数は最大で８１９２文字です。           ");
  EXPECT_EQ(std::string(msg::kTooManyLines), "   入力ファイルの行数は最大で３００００行です。           ");
  EXPECT_EQ(msg::CommaCount(7), CommaText(7));
  EXPECT_EQ(msg::QuoteCount(0), QuoteText(0));
  EXPECT_EQ(msg::ItemCount(12, 129), ItemsText(12, 129));
  EXPECT_EQ(msg::ItemLength(4, 3), LengthText(4, 3));
  EXPECT_EQ(msg::ItemCountDiffers(1, 3, 4),
            "   1 行目の項目の個数が違います。\n\r   （ただし先頭行は 0 行です。）\n\r"
            "   先頭行は 3 項目です。指定行は 4 項目です。\n\r   ファイルを開きますか。");
  EXPECT_EQ(msg::FinalItemLimit(0), "   0 行目の項目の個数が，６４項目以上です。   \n\r");
  // BR is LF first, then CR.
  EXPECT_EQ(std::string(msg::kBR), std::string("\x0A\x0D"));
}

TEST(ScanLine, CommasUpTo510PassThe511thIsRefused) {
  // All commas inside one quoted item: few items, yet the count is refused.
  Scan ok;
  ScanWith(ok, "\"" + Repeat(",", 510) + "\"", 3, 128);
  EXPECT_FALSE(ok.failed);
  EXPECT_EQ(ok.out.itemCount, 1);
  EXPECT_TRUE(ok.dialogs.shown().empty());

  Scan bad;
  ScanWith(bad, "\"" + Repeat(",", 511) + "\"", 3, 128);
  EXPECT_TRUE(bad.failed);
  EXPECT_TRUE(bad.out.commaFault);
  EXPECT_EQ(bad.out.itemCount, 1);
  EXPECT_EQ(bad.dialogs.texts(), std::vector<std::string>{CommaText(3)});
  ExpectAllRefusals(bad.dialogs);
}

TEST(ScanLine, CommasAfterThe511thAreIgnored) {
  // The 512th comma stands after the closing quote; it would separate,
  // but is no longer recorded.
  Scan s;
  ScanWith(s, "\"" + Repeat(",", 511) + "\",b", 0, 128);
  EXPECT_EQ(s.out.itemCount, 1);
  EXPECT_TRUE(s.out.separators.empty());
  // The 511th comma itself is recorded and may separate.
  Scan t;
  ScanWith(t, "\"" + Repeat(",", 510) + "\",b", 0, 128);
  EXPECT_TRUE(t.out.commaFault);
  EXPECT_EQ(t.out.itemCount, 2);
}

TEST(ScanLine, QuotesUpTo254PassThe255thIsRefused) {
  Scan ok;
  ScanWith(ok, Repeat("\"", 254) + ",x", 9, 64);
  EXPECT_FALSE(ok.failed);
  EXPECT_EQ(ok.out.itemCount, 2);

  Scan bad;
  ScanWith(bad, Repeat("\"", 255) + ",x", 9, 64);
  EXPECT_TRUE(bad.failed);
  EXPECT_TRUE(bad.out.quoteFault);
  EXPECT_EQ(bad.out.itemCount, 1);  // odd quotes before the comma
  EXPECT_EQ(bad.dialogs.texts(), std::vector<std::string>{QuoteText(9)});
  ExpectAllRefusals(bad.dialogs);
}

TEST(ScanLine, QuotesAfterThe255thLeaveTheParityAsItWas) {
  // 256 quotes would be even and the comma a separator; the 256th is not
  // recorded, so the comma stays inside.
  Scan s;
  ScanWith(s, Repeat("\"", 256) + ",x", 0, 64);
  EXPECT_TRUE(s.out.quoteFault);
  EXPECT_EQ(s.out.itemCount, 1);
}

TEST(ScanLine, ItemLimitAtTheScanStage) {
  for (int limit : {64, 128}) {
    Scan ok;
    ScanWith(ok, ItemsLine(limit), 5, limit);
    EXPECT_FALSE(ok.failed) << limit;
    EXPECT_EQ(ok.out.itemCount, limit);

    Scan bad;
    ScanWith(bad, ItemsLine(limit + 1), 5, limit);
    EXPECT_TRUE(bad.failed) << limit;
    EXPECT_TRUE(bad.out.itemFault);
    EXPECT_EQ(bad.out.itemCount, limit + 1);
    EXPECT_EQ(bad.dialogs.texts(), std::vector<std::string>{ItemsText(5, limit + 1)});
    ExpectAllRefusals(bad.dialogs);
  }
  // A line far over the limit still reports the limit plus one and stops
  // collecting separators there.
  Scan far;
  ScanWith(far, ItemsLine(130), 2, 128);
  EXPECT_EQ(far.dialogs.texts(), std::vector<std::string>{ItemsText(2, 129)});
  EXPECT_EQ(far.out.separators.size(), 128u);
}

TEST(ScanLine, QuotedCommasDoNotCountAsItems) {
  Scan s;
  ScanWith(s, "\"a,b\",c," + Repeat("\"x,y\",", 61) + "z", 0, 64);
  EXPECT_FALSE(s.failed);
  EXPECT_EQ(s.out.itemCount, 64);
  EXPECT_EQ(s.out.Item("\"a,b\",c", 1), "\"a,b\"");
  // After an odd number of quotes, the rest of the line is one item.
  Scan odd;
  std::string line = "a,\"b,c,d,e";
  ScanWith(odd, line, 0, 64);
  EXPECT_EQ(odd.out.itemCount, 2);
  EXPECT_EQ(odd.out.Item(line, 2), "\"b,c,d,e");
}

TEST(ScanLine, SeparatorEndedItemsOf4096Pass4097IsRefusedByNumber) {
  Scan ok;
  ScanWith(ok, "a," + std::string(4096, 'x') + ",b", 4, 64);
  EXPECT_FALSE(ok.failed);

  Scan bad;
  ScanWith(bad, "a,b," + std::string(4097, 'x') + ",c", 4, 64);
  EXPECT_TRUE(bad.failed);
  EXPECT_EQ(bad.out.longItem, 3);
  EXPECT_FALSE(bad.out.lastItemTooLong);
  EXPECT_EQ(bad.dialogs.texts(), std::vector<std::string>{LengthText(4, 3)});

  // Only the first long item of the walk is reported.
  Scan two;
  ScanWith(two, std::string(5000, 'x') + "," + std::string(5000, 'y') + ",c", 1, 64);
  EXPECT_EQ(two.dialogs.texts(), std::vector<std::string>{LengthText(1, 1)});
}

TEST(ScanLine, LastItemOf4097IsRefusedAndStopsTheLoad) {
  Scan ok;
  ScanWith(ok, "a,b," + std::string(4096, 'x'), 0, 64);
  EXPECT_FALSE(ok.failed);
  EXPECT_FALSE(ok.out.lastItemTooLong);

  Scan bad;
  ScanWith(bad, "a,b," + std::string(4097, 'x'), 6, 64);
  EXPECT_TRUE(bad.failed);
  EXPECT_TRUE(bad.out.lastItemTooLong);
  EXPECT_EQ(bad.dialogs.texts(), std::vector<std::string>{LengthText(6, 3)});

  // A line without separators: its one item is the whole line.
  Scan whole;
  ScanWith(whole, std::string(4097, 'x'), 2, 64);
  EXPECT_EQ(whole.dialogs.texts(), std::vector<std::string>{LengthText(2, 1)});
}

TEST(ScanLine, LastItemIsTestedOnlyWhileTheFlagIsClear) {
  // Set by an earlier line of the same file.
  Scan earlier;
  earlier.failed = true;
  ScanWith(earlier, "a," + std::string(5000, 'x'), 8, 64);
  EXPECT_TRUE(earlier.dialogs.shown().empty());
  EXPECT_FALSE(earlier.out.lastItemTooLong);

  // Set by the walk of the same line.
  Scan walk;
  ScanWith(walk, std::string(5000, 'x') + "," + std::string(5000, 'y'), 8, 64);
  EXPECT_EQ(walk.dialogs.texts(), std::vector<std::string>{LengthText(8, 1)});
  EXPECT_FALSE(walk.out.lastItemTooLong);

  // Not asked for.
  Scan off;
  ScanWith(off, "a," + std::string(5000, 'x'), 8, 64, true, false);
  EXPECT_FALSE(off.failed);
}

TEST(ScanLine, SeveralFaultsOfOneLineInStepOrder) {
  // A long first item, then 200 separators (201 items), then 255 quotes,
  // then commas up to 511 in all.
  std::string line = std::string(4097, 'x') + Repeat(",a", 200) + Repeat("\"", 255) + Repeat(",", 311);
  Scan s;
  ScanWith(s, line, 11, 128);
  EXPECT_EQ(s.dialogs.texts(),
            (std::vector<std::string>{CommaText(11), QuoteText(11), ItemsText(11, 129), LengthText(11, 1)}));
  ExpectAllRefusals(s.dialogs);
  EXPECT_TRUE(s.out.commaFault && s.out.quoteFault && s.out.itemFault);
  EXPECT_EQ(s.out.longItem, 1);
}

TEST(ScanLine, WalkOffReportsNoLengths) {
  Scan s;
  ScanWith(s, std::string(5000, 'x') + ",b", 0, 64, false, false);
  EXPECT_FALSE(s.failed);
  EXPECT_EQ(s.out.itemCount, 2);
}

TEST(ScanLine, StateOfTheLastLineDoesNotLeakIntoTheNext) {
  Scan s;
  ScanWith(s, ItemsLine(70), 0, 64);
  EXPECT_TRUE(s.out.itemFault);
  ScanWith(s, "a,b", 1, 64);
  EXPECT_FALSE(s.out.faulted());
  EXPECT_EQ(s.out.itemCount, 2);
  EXPECT_EQ(s.out.separators, (std::vector<std::size_t>{1}));
  EXPECT_TRUE(s.failed);  // the flag is the caller's and stays set
}

TEST(CheckLine, StructuralChecksWithTheLimit64) {
  ScriptedDialogs d;
  LineScan out;
  EXPECT_TRUE(CheckLine(ItemsLine(64), 3, d, out));
  EXPECT_EQ(out.itemCount, 64);
  EXPECT_FALSE(CheckLine(ItemsLine(65), 3, d, out));
  // No length checks here.
  EXPECT_TRUE(CheckLine(std::string(5000, 'x'), 3, d, out));
  EXPECT_EQ(d.texts(), std::vector<std::string>{ItemsText(3, 65)});
}

}  // namespace
}  // namespace cavel
