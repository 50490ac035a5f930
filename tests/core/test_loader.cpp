// Loading a file: line ends, limits, the order of the checks, when reading
// stops and when it goes on, the item-count question, and what becomes of
// the destination.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "LinesProbe.h"
#include "TempFolder.h"
#include "Unprivileged.h"
#include "core/CsvLoader.h"
#include "core/Messages.h"
#include "core/Dialogs.h"

namespace cavel {
namespace {

namespace fs = std::filesystem;

using V = std::vector<std::string>;

const std::string kNote = "   （ただし先頭行は 0 行です。）\n\r";
const std::string kLengthMsg = "   入力ファイルの文字数は最大で８１９２文字です。           ";
const std::string kLinesMsg = "   入力ファイルの行数は最大で３００００行です。           ";

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
std::string QuestionText(long l, int title, int items) {
  return "   " + std::to_string(l) + " 行目の項目の個数が違います。\n\r" + kNote + "   先頭行は " +
         std::to_string(title) + " 項目です。指定行は " + std::to_string(items) +
         " 項目です。\n\r   ファイルを開きますか。";
}
std::string FinalText(long l) { return "   " + std::to_string(l) + " 行目の項目の個数が，６４項目以上です。   \n\r"; }

std::string Repeat(std::string_view piece, int times) {
  std::string s;
  s.reserve(piece.size() * static_cast<std::size_t>(times));
  for (int i = 0; i < times; ++i) s += piece;
  return s;
}
std::string ItemsLine(int items) { return "a" + Repeat(",a", items - 1); }
std::string Joined(const V& lines) {
  std::string s;
  for (const auto& l : lines) s += l + "\r\n";
  return s;
}

class Loader : public ::testing::Test {
 protected:
  std::string Write(const std::string& bytes, const std::string& name = "in.csv") {
    std::string path = folder_.File(name);
    EXPECT_TRUE(test::WriteFile(path, bytes));
    return path;
  }

  // Loads `bytes` with the given limit into `lines` (which starts with a
  // stale line, so that emptying and keeping can both be seen). The same
  // bytes from memory and from an open descriptor, with the same answers,
  // must come out as they do from the file.
  LoadOutcome Load(const std::string& bytes, const LoadRules& limit = kItemLimitWide) {
    ScriptedDialogs memoryDialogs = dialogs, descriptorDialogs = dialogs;
    Lines memoryLines = {"stale"}, descriptorLines = {"stale"};
    const LoadOutcome memory = CsvLoaderFromBytes(bytes, limit, memoryDialogs, memoryLines);
    const std::string path = Write(bytes);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_GE(fd, 0);
    const LoadOutcome descriptor = CsvLoaderFromDescriptor(fd, limit, descriptorDialogs, descriptorLines);
    ::close(fd);
    lines = {"stale"};
    const LoadOutcome outcome = CsvLoader(path, limit, dialogs, lines);
    for (const auto& [other, otherLines, otherDialogs] :
         {std::tie(memory, memoryLines, memoryDialogs), std::tie(descriptor, descriptorLines, descriptorDialogs)}) {
      EXPECT_EQ(other.result, outcome.result);
      EXPECT_TRUE(otherLines == lines);
      EXPECT_EQ(otherDialogs.texts(), dialogs.texts());
    }
    return outcome;
  }

  void ExpectRefusedWith(const LoadOutcome& outcome, const V& texts) {
    EXPECT_EQ(outcome.result, LoadResult::Refused);
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(dialogs.texts(), texts);
  }

  test::TempFolder folder_{"loader"};
  const std::string dir_ = folder_.path();
  ScriptedDialogs dialogs;
  Lines lines;
};

TEST_F(Loader, LineEnds) {
  struct Case {
    std::string bytes;
    V lines;
  } cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},   {"a\rb\r", {"a", "b"}},  // CR alone ends a line; a lone CR at the end ends the last
      {"a\r\nb", {"a", "b"}},                                // the last line without a line end
      {"a\r\n\r\n", {"a", ""}},                              // an empty line, but no extra one at the end
      {"a\nb\n\r\n", {"a\nb\n"}},                            // LF alone is a byte of the line
      {"a\r\n\nb", {"a", "\nb"}},                            // only the first LF after CR belongs to the line end
      {"a\r\r\nb", {"a", "", "b"}}, {"\n\r", {"\n"}},       {"\r\n", {""}}, {"\r", {""}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Load(c.bytes).result, LoadResult::Loaded);
    EXPECT_EQ(lines, c.lines) << c.bytes;
    EXPECT_TRUE(dialogs.shown().empty());
  }
}

TEST_F(Loader, CtrlZEndsTheFile) {
  EXPECT_EQ(Load("a\r\nb\x1A"
                 "c\r\nd")
                .result,
            LoadResult::Loaded);
  EXPECT_EQ(lines, (V{"a", "b"}));
  EXPECT_EQ(Load("a\r\n\x1A\r\nb\r\n").result, LoadResult::Loaded);
  EXPECT_EQ(lines, (V{"a"}));
  EXPECT_EQ(Load("a\r\x1A\nb").result, LoadResult::Loaded);
  EXPECT_EQ(lines, (V{"a"}));
  // Nothing after 0x1A is checked: a line of 9000 bytes there does not count.
  EXPECT_EQ(Load("\x1A" + std::string(9000, 'x')).result, LoadResult::Loaded);
  EXPECT_TRUE(lines.empty());
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(Loader, NulAndHighBytesAreKeptExactly) {
  std::string l0("a\0b,\x81\x40", 6);
  std::string l1("\0,\xFF\"\0\"", 6);
  EXPECT_EQ(Load(l0 + "\r\n" + l1 + "\r\n").result, LoadResult::Loaded);
  EXPECT_EQ(lines, (V{l0, l1}));
}

TEST_F(Loader, EmptyFileLoadsAndEmptiesTheDestination) {
  EXPECT_EQ(Load("").result, LoadResult::Loaded);
  EXPECT_TRUE(lines.empty());
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(Loader, LinesSplitAcrossReadsAreJoinedExactly) {
  // Over 2 MB of lines of every length up to the limit, with CR and CR LF
  // ends, so that line ends, LFs and long lines fall on every kind of
  // boundary between reads.
  std::mt19937 rng(7);
  V expected;
  std::string bytes;
  while (bytes.size() < (2u << 20)) {
    std::size_t len = rng() % 4 == 0 ? 8192 - rng() % 3 : rng() % 9000 % 8193;
    std::string line(len, 'x');
    for (auto& c : line) c = static_cast<char>("abc\n\x81\x40\xFF "[rng() % 8]);
    // Items of at most 4096 bytes; their number varies, and every
    // differing line is accepted.
    for (std::size_t at = 3000; at < len; at += 3000) line[at] = ',';
    if (!line.empty() && line.front() == '\n' && !bytes.empty() && bytes.back() == '\r') line.front() = 'L';
    expected.push_back(line);
    bytes += line;
    bytes += rng() % 2 ? "\r\n" : "\r";
  }
  EXPECT_EQ(Load(bytes).result, LoadResult::Loaded);
  ASSERT_EQ(lines.size(), expected.size());
  EXPECT_TRUE(lines == expected);

  // A CR then an LF at each power-of-two offset from 4 KB to 1 MB: the LF
  // belongs to the line end however the reads fall.
  for (std::size_t boundary = 4096; boundary <= (1u << 20); boundary *= 2) {
    std::string b;
    V want;
    auto filler = [](std::size_t len) {
      std::string f(len, 'f');
      if (len > 2) f[len / 2] = ',';
      return f;
    };
    while (boundary - 1 - b.size() > 8192) {
      want.push_back(filler(8000));
      b += want.back() + "\r\n";
    }
    want.push_back(filler(boundary - 1 - b.size()));
    b += want.back() + "\r\nnext";
    want.push_back("next");
    ASSERT_EQ(b[boundary - 1], '\r');
    EXPECT_EQ(Load(b).result, LoadResult::Loaded);
    EXPECT_TRUE(lines == want) << boundary;
  }
}

TEST_F(Loader, GarbageBetweenLineEndsLoadsByteForByte) {
  std::mt19937 rng(11);
  V expected;
  std::string bytes;
  for (int i = 0; i < 3000; ++i) {
    std::string line(rng() % 300, '\0');
    for (auto& c : line) {
      do c = static_cast<char>(rng());
      while (c == '\r' || c == '\x1A' || c == ',' || c == '"');
    }
    expected.push_back(line);
    bytes += line + "\r\n";
  }
  EXPECT_EQ(Load(bytes).result, LoadResult::Loaded);
  EXPECT_TRUE(lines == expected);
}

TEST_F(Loader, AnyBytesEndLoadedOrRefused) {
  std::mt19937 rng(5);
  for (int round = 0; round < 20; ++round) {
    std::string bytes(200000, '\0');
    for (auto& c : bytes) {
      c = static_cast<char>(rng());
      if (c == '\x1A') c = static_cast<char>(rng() % 64 ? 'z' : '\x1A');
    }
    dialogs.Clear();
    LoadOutcome outcome = Load(bytes, round % 2 ? kItemLimitWide : kItemLimitNarrow);
    ASSERT_NE(outcome.result, LoadResult::Unreadable);
    if (outcome.result == LoadResult::Refused) {
      EXPECT_TRUE(lines.empty());
      EXPECT_FALSE(dialogs.shown().empty());
    }
    for (const auto& l : lines) {
      EXPECT_LE(l.size(), 8192u);
      EXPECT_EQ(l.view().find('\r'), std::string::npos);
      EXPECT_EQ(l.view().find('\x1A'), std::string::npos);
    }
  }
}

TEST_F(Loader, LineOf8192BytesLoads8193IsRefusedAtOnce) {
  std::string max(8192, 'x');
  max[3000] = ',';  // keep the items under 4096 bytes
  max[6000] = ',';
  EXPECT_EQ(Load("a,b,c\r\n" + max + "\r\n").result, LoadResult::Loaded);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], max);
  // The same as the last line without a line end.
  EXPECT_EQ(Load("a,b,c\r\n" + max).result, LoadResult::Loaded);
  EXPECT_EQ(lines.size(), 2u);

  // One byte more, with or without a line end: the length message, and
  // nothing after that line is looked at.
  for (std::string tail : {"\r\n" + Repeat(",", 600) + "\r\n", std::string()}) {
    dialogs.Clear();
    ExpectRefusedWith(Load("a,b,c\r\n" + max + "y" + tail), {kLengthMsg});
  }
  // The length is checked before the line count.
  dialogs.Clear();
  ExpectRefusedWith(Load(Repeat("a\r", 30000) + std::string(8193, 'a')), {kLengthMsg});
}

// Memory that cannot be had, as on a machine too small for the file: the
// load says so and leaves the destination as it was.
TEST_F(Loader, ALoadWithoutTheMemoryItNeedsChangesNothing) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#else
  const std::string path = Write(Repeat("a,b\r\n", 100));
  const auto result = test::InChild(
      [] {
        const struct rlimit limit = {std::size_t{256} << 20, std::size_t{256} << 20};
        return ::setrlimit(RLIMIT_AS, &limit) == 0;
      },
      [&] {
        ScriptedDialogs d;
        Lines kept{"kept"};
        const LoadOutcome o = CsvLoader(path, {kItemLimitWide, EncodingChoice::Detect, kMostLines}, d, kept);
        return std::string(o.result == LoadResult::Unreadable ? "unreadable|" : "other|") + o.error + "|" +
               std::string(kept[0].view());
      });
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(*result, std::string("unreadable|") + std::strerror(ENOMEM) + "|kept");
#endif
}

// A file large enough that its pages are made ahead of the reading: every
// byte lands where the lines say, and a refusal at its very end still
// leaves nothing behind.
TEST_F(Loader, LargeFileLoadsExactlyAndIsRefusedAtItsEnd) {
  std::string bytes;
  for (int i = 0; bytes.size() < (std::size_t{17} << 20); ++i)
    bytes += std::to_string(i) + "," + std::string(4000, static_cast<char>('a' + i % 26)) + "," +
             std::string(4000, static_cast<char>('z' - i % 26)) + "\r\n";
  ASSERT_EQ(Load(bytes).result, LoadResult::Loaded);
  std::string joined;
  for (const Line& line : lines) (joined += line.view()) += "\r\n";
  EXPECT_TRUE(joined == bytes);
  ExpectRefusedWith(Load(bytes + std::string(8193, 'z')), {kLengthMsg});
}

TEST_F(Loader, LongLineIsRefusedWithoutReadingTheRest) {
  // An endless file without CR: refused after its first 8193 bytes.
  lines = {"stale"};
  LoadOutcome outcome = CsvLoader("/dev/zero", kItemLimitWide, dialogs, lines);
  EXPECT_EQ(outcome.result, LoadResult::Refused);
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(dialogs.texts(), V{kLengthMsg});
}

TEST_F(Loader, ThirtyThousandLinesLoadOneMoreIsRefused) {
  std::string max = Repeat("a,b\r\n", 30000);
  EXPECT_EQ(Load(max).result, LoadResult::Loaded);
  EXPECT_EQ(lines.size(), 30000u);
  EXPECT_EQ(Load(max + "\x1A"
                       "a,b\r\n")
                .result,
            LoadResult::Loaded);
  EXPECT_EQ(lines.size(), 30000u);

  ExpectRefusedWith(Load(max + "a,b"), {kLinesMsg});
  dialogs.Clear();
  ExpectRefusedWith(Load(max + "\r\n"), {kLinesMsg});  // an empty 30001st line counts

  // A raised limit takes more, and names itself when it is passed.
  const LoadRules raised(kItemLimitWide, EncodingChoice::Detect, 30002);
  EXPECT_EQ(Load(max + "a,b\r\na,b", raised).result, LoadResult::Loaded);
  EXPECT_EQ(lines.size(), 30002u);
  dialogs.Clear();
  ExpectRefusedWith(Load(max + "a,b\r\na,b\r\na,b", raised),
                    {"   入力ファイルの行数は最大で３０００２行です。           "});
  EXPECT_EQ(msg::TooManyLines(kMaxLines), msg::kTooManyLines);
  EXPECT_EQ(msg::DocumentLineLimit(kMaxLines), msg::kDocumentLineLimit);
  EXPECT_EQ(msg::DocumentLineLimit(kMostLines), "   ファイルの行数は最大で１０４８５７６行です。           ");
}

TEST_F(Loader, ReadsOnPastCommaFaultsToTheEndOfTheFile) {
  V file(12, "a,b");
  file[2] = file[6] = "\"" + Repeat(",", 511) + "\"";
  file[10] = Repeat("\"", 255);
  ExpectRefusedWith(Load(Joined(file)), {CommaText(2), CommaText(6), QuoteText(10)});
}

TEST_F(Loader, AnOverlongLineAfterAFaultStillStopsTheReading) {
  V file(12, "a,b");
  file[2] = "\"" + Repeat(",", 511) + "\"";
  file[8] = std::string(8193, 'x');
  file[10] = Repeat("\"", 255);  // never reached
  ExpectRefusedWith(Load(Joined(file)), {CommaText(2), kLengthMsg});
}

TEST_F(Loader, LongItemInsideALineReadsOnLongLastItemStops) {
  V file(8, "a,b,c");
  file[4] = "a,b," + std::string(4097, 'x') + ",c";
  file[6] = "\"" + Repeat(",", 511) + "\"";
  ExpectRefusedWith(Load(Joined(file)), {LengthText(4, 3), CommaText(6)});

  // Exactly 4096 bytes, inside and last, pass.
  dialogs.Clear();
  V fine(3, "a,b,c");
  fine[1] = std::string(4096, 'x') + ",b," + std::string(4093, 'y');
  EXPECT_EQ(Load(Joined(fine)).result, LoadResult::Loaded);
  EXPECT_TRUE(lines == fine);

  dialogs.Clear();
  V last(8, "a,b,c");
  last[3] = "a,b," + std::string(4097, 'x');
  last[6] = Repeat(",", 511);  // never reached
  ExpectRefusedWith(Load(Joined(last)), {LengthText(3, 3)});
}

TEST_F(Loader, SeveralFaultsOfOneLineThenTheNextLines) {
  V file = {"a,b", std::string(4097, 'x') + Repeat(",a", 200) + Repeat("\"", 255) + Repeat(",", 311), "a,b,c",
            ItemsLine(70), ItemsLine(130)};
  // Line 2 differs from the title, line 3 has over 64 items: once the flag
  // is set neither is asked about or refused, but line 4's scan fault is
  // still reported.
  ExpectRefusedWith(Load(Joined(file)),
                    {CommaText(1), QuoteText(1), ItemsText(1, 129), LengthText(1, 1), ItemsText(4, 129)});
}

TEST_F(Loader, ItemCountQuestion) {
  const std::string bytes = Joined({"a,b,c", "a,b,c,d", "a,b,c", "a,b"});
  // はい on both differing lines: the file loads with them.
  EXPECT_EQ(Load(bytes).result, LoadResult::Loaded);
  EXPECT_EQ(lines, (V{"a,b,c", "a,b,c,d", "a,b,c", "a,b"}));
  ASSERT_EQ(dialogs.shown().size(), 2u);
  EXPECT_EQ(dialogs.shown()[0].text, QuestionText(1, 3, 4));
  EXPECT_EQ(dialogs.shown()[0].kind, MsgKind::Warning);
  EXPECT_EQ(dialogs.shown()[0].buttons, static_cast<MsgButtons>(mbYes | mbAbort));
  EXPECT_EQ(dialogs.shown()[1].text, QuestionText(3, 3, 2));

  // 中止 on the first: nothing loads and nothing more is read.
  dialogs.Clear();
  dialogs.Answer(mbAbort);
  ExpectRefusedWith(Load(bytes + Repeat(",", 600) + "\r\n"), {QuestionText(1, 3, 4)});

  // はい on the first, 中止 on the second.
  dialogs.Clear();
  dialogs.Answer(mbYes);
  dialogs.Answer(mbAbort);
  ExpectRefusedWith(Load(bytes), {QuestionText(1, 3, 4), QuestionText(3, 3, 2)});
}

TEST_F(Loader, QuotedCommasAndOddQuotesInTheCount) {
  // The same three items, counted through quotes.
  EXPECT_EQ(Load(Joined({"a,b,c", "\"a,x\",b,c", "a,b,\"c,d,e"})).result, LoadResult::Loaded);
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(Loader, EmptyTitleLineCountsOneItem) {
  EXPECT_EQ(Load(Joined({"", "\"a,b\"", "a,b", "x"})).result, LoadResult::Loaded);
  EXPECT_EQ(lines.size(), 4u);
  EXPECT_EQ(dialogs.texts(), V{QuestionText(2, 1, 2)});
}

TEST_F(Loader, TitleLineOf65Items) {
  const std::string bytes = Joined({ItemsLine(65), ItemsLine(65)});
  // Wide scan limit: the final item limit refuses line 0.
  ExpectRefusedWith(Load(bytes, kItemLimitWide), {FinalText(0)});
  // Narrow scan limit: the scan stage refuses it, naming 65, and reads on.
  dialogs.Clear();
  ExpectRefusedWith(Load(bytes, kItemLimitNarrow), {ItemsText(0, 65), ItemsText(1, 65)});
}

TEST_F(Loader, ItemLimitsOfTheScanAndTheFinalCheck) {
  // 128 items pass the wide scan and are then refused by the final check,
  // after the question about the differing count.
  ExpectRefusedWith(Load(Joined({"a,b", ItemsLine(128), "a,b"})), {QuestionText(1, 2, 128), FinalText(1)});
  dialogs.Clear();
  ExpectRefusedWith(Load(Joined({"a,b", ItemsLine(130), "a,b"})), {ItemsText(1, 129)});
  // 64 items pass everything.
  dialogs.Clear();
  EXPECT_EQ(Load(Joined({ItemsLine(64), ItemsLine(64)}), kItemLimitNarrow).result, LoadResult::Loaded);
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(Loader, LineNumbersCountTheTitleLineAsZero) {
  V file(6, "a,b");
  file[4] = Repeat("\"", 255);
  ExpectRefusedWith(Load(Joined(file)), {QuoteText(4)});
}

TEST_F(Loader, UnreadableFilesLeaveTheDestinationUntouched) {
  auto expectUntouched = [&](const std::string& path, int err) {
    Lines dest = {"old 0", "old 1"};
    LoadOutcome outcome = CsvLoader(path, kItemLimitWide, dialogs, dest);
    EXPECT_EQ(outcome.result, LoadResult::Unreadable) << path;
    EXPECT_EQ(outcome.error, std::strerror(err)) << path;
    EXPECT_EQ(dest, (V{"old 0", "old 1"})) << path;
    EXPECT_TRUE(dialogs.shown().empty());
  };
  expectUntouched((fs::path(dir_) / "missing.csv").string(), ENOENT);
  expectUntouched(dir_, EISDIR);
  expectUntouched("", ENOENT);
  // A read that fails part-way: the first page of this process's memory is
  // never mapped, so reading its image from the start fails with EIO.
  expectUntouched("/proc/self/mem", EIO);

  if (::geteuid() != 0) {
    std::string locked = Write("a,b\r\n", "locked.csv");
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    expectUntouched(locked, EACCES);
  }
}

TEST_F(Loader, RefusalEmptiesTheDestination) {
  lines = {"old"};
  std::string path = Write(Joined({ItemsLine(70)}));
  EXPECT_EQ(CsvLoader(path, kItemLimitNarrow, dialogs, lines).result, LoadResult::Refused);
  EXPECT_TRUE(lines.empty());
}

TEST_F(Loader, LoadedLinesAreViewsIntoTheFileReadOnce) {
  V file(100, std::string(4000, 'x') + "," + std::string(4000, 'y'));
  EXPECT_EQ(Load(Joined(file)).result, LoadResult::Loaded);
  // One block holds the file as read; every line lies in it after the one
  // before and its CR LF, and nothing but the lines holds the block.
  LineRuns runs(lines, "\r\n");
  const std::optional<std::string_view> whole = runs.Next();
  ASSERT_TRUE(whole);
  EXPECT_EQ(whole->data(), lines[0].data());
  EXPECT_EQ(whole->size(), Joined(file).size() - 2);
  EXPECT_FALSE(runs.Next());
  EXPECT_EQ(LinesProbe::BlockHolders(lines[0]), lines.size());
}

}  // namespace
}  // namespace cavel
