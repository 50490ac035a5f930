// Telling UTF-8 from Shift-JIS, and converting between UTF-8 and code page 932.
#include "core/Encoding.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "TempFolder.h"
#include "core/Cp932.h"

namespace cavel {
namespace {

namespace fs = std::filesystem;

constexpr TextEncoding S = TextEncoding::ShiftJis, U = TextEncoding::Utf8, B = TextEncoding::Utf8Bom;

TEST(Encoding, ShiftJisUnlessClearlyUtf8) {
  struct Case {
    const char* what;
    std::string bytes;
    TextEncoding found;
  } cases[] = {
      {"nothing", "", S},
      {"ASCII only", "name,age\r\nA,1\r\n", S},
      {"byte-order mark", "\xEF\xBB\xBFname", B},
      {"Japanese in UTF-8", "\xE5\x90\x8D\xE5\x89\x8D,\xE5\xB9\xB4\xE9\xBD\xA2", U},  // 名前,年齢
      {"the same in Shift-JIS", "\x96\xBC\x91\x4F,\x94\x4E\x97\xEE", S},
      {"two kana in UTF-8, which also read as Shift-JIS", "\xE3\x81\x8B\xE3\x82\x89", U},     // から
      {"one kanji in UTF-8, which also reads as Shift-JIS", "\xE6\x9D\xB1,\xE8\xA5\xBF", U},  // 東,西
      {"a level-2 kanji before 。", "code,name\r\n1,\xE1\x80\x81\x42\r\n", S},                // 痼。
      {"a level-2 kanji before a full-width blank", "1,\xE1\x80\x81\x40", S},
      {"a level-2 kanji before a full-width digit", "1,\xE1\x80\x82\x4F", S},
      {"half-width katakana that is well-formed UTF-8", "\xC3\xBD\xC4\xB1", S},      // ﾃｽﾄｱ
      {"a character outside code page 932, in UTF-8", "a,\xF0\xA0\xAE\xB7\r\n", U},  // 𠮷
      {"a sequence cut short", "a,\xE3\x81", S},
      {"an overlong form", "\xC0\xAF", S},
      {"UTF-8 after Shift-JIS", "\x83\x5C,\xE5\x90\x8D", S},
  };
  for (const Case& c : cases) EXPECT_EQ(DetectEncoding(c.bytes), c.found) << c.what;
}

TEST(Encoding, TheJudgeReadsPiecesAsTheWhole) {
  // Sequences and pairs cut between the pieces fed.
  for (const std::string bytes : {"a,\xE5\x90\x8D\xE5\x89\x8D\r\n", "1,\xE1\x80\x81\x42", "\x96\xBC\x91\x4F",
                                  "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88"}) {  // テスト, not Shift-JIS from its 3rd byte
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
      EncodingJudge judge;
      judge.Feed(std::string_view(bytes).substr(0, cut));
      judge.Feed(std::string_view(bytes).substr(cut));
      EXPECT_EQ(judge.Verdict(WellFormedUtf8(bytes)), DetectEncoding(bytes)) << cut;
    }
  }
}

// Short texts are where the readings meet: every line, and every item of
// it, of real Shift-JIS (the address data) and of real UTF-8 Japanese (the
// help book), each as a file of its own and each also in the other
// encoding, must be told right. A UTF-8 text with a single character past
// ASCII (such as "Ctrl+C、Ctrl+Ins") reads as well in Shift-JIS: such a
// file is left to the reading the rule errs toward, Shift-JIS, and to the
// command that reopens a file in a chosen encoding.
TEST(Encoding, NoFalseAlarmOnRealTextEitherWay) {
  std::set<std::string> sjis, utf8;  // the texts as found, past ASCII
  auto addUnits = [](const std::string& text, std::set<std::string>& to) {
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      start = end + 1;
      if (AsciiPrefix(line) == line.size()) continue;
      to.insert(line);
      // Every run of bytes between the separators of CSV and HTML.
      for (std::size_t at = 0; at < line.size();) {
        std::size_t stop = line.find_first_of(",\"<> \t", at);
        if (stop == std::string::npos) stop = line.size();
        std::string part = line.substr(at, stop - at);
        if (AsciiPrefix(part) < part.size()) to.insert(part);
        at = stop + 1;
      }
    }
  };
  std::vector<fs::path> addresses = {fs::path(CAVEL_SOURCE_DIR) / "samples" / "addresses.csv"};
  if (fs::exists(fs::path(CAVEL_SOURCE_DIR) / "../shared/data/addresses-1000.csv"))
    addresses.push_back(fs::path(CAVEL_SOURCE_DIR) / "../shared/data/addresses-1000.csv");
  for (const fs::path& file : addresses) addUnits(test::ReadFile(file), sjis);
  for (const auto& entry : fs::directory_iterator(fs::path(CAVEL_SOURCE_DIR) / "help"))
    if (entry.path().extension() == ".html") addUnits(test::ReadFile(entry.path()), utf8);
  std::erase_if(utf8, [](const std::string& text) {
    int past = 0;
    for (unsigned char c : text) past += c >= 0xC0;  // lead bytes
    return past < 2;
  });

  int tested = 0, wrong = 0;
  auto expect = [&](const std::string& bytes, TextEncoding found) {
    ++tested;
    if (DetectEncoding(bytes) == found) return;
    ++wrong;
    ADD_FAILURE() << (found == U ? "taken for Shift-JIS: " : "taken for UTF-8: ") << Cp932ToUtf8(bytes);
  };
  for (const std::string& text : sjis) {
    expect(text, S);
    expect(Cp932ToUtf8(text), U);
  }
  for (const std::string& text : utf8) {
    std::string converted(text.size(), '\0');
    const Utf8Converted c = Utf8ToCp932(text.data(), text.size(), converted.data());
    if (c.stop != Utf8Stop::None) continue;  // a character code page 932 lacks
    expect(text, U);
    expect(converted.substr(0, c.written), S);
  }
  EXPECT_GT(tested, 2000);
  std::printf("[ corpus ] %d texts, %d told wrong\n", tested, wrong);
}

TEST(Cp932, ConvertsExactlyAndOnlyWhatGoesBothWays) {
  struct Case {
    const char* what;
    std::string utf8;
    std::string sjis;  // empty: not converted
    Utf8Stop stop;
  } cases[] = {
      {"ASCII, backslash and tilde as themselves", "a\\~\r\n", "a\\~\r\n", Utf8Stop::None},
      {"kanji, kana, half-width katakana", "\xE6\xBC\xA2\xE3\x81\x82\xEF\xBD\xB1", "\x8A\xBF\x82\xA0\xB1",
       Utf8Stop::None},
      {"髙, ①, ㈱", "\xE9\xAB\x99\xE2\x91\xA0\xE3\x88\xB1", "\xFB\xFC\x87\x40\x87\x8A", Utf8Stop::None},
      {"∵ takes the code Windows writes", "\xE2\x88\xB5", "\x81\xE6", Utf8Stop::None},
      {"FF5E full-width tilde", "\xEF\xBD\x9E", "\x81\x60", Utf8Stop::None},
      {"301C wave dash, reached only by a fallback", "\xE3\x80\x9C", "", Utf8Stop::Unmappable},
      {"U+20BB7", "\xF0\xA0\xAE\xB7", "", Utf8Stop::Unmappable},
      {"an emoji", "\xF0\x9F\x98\x80", "", Utf8Stop::Unmappable},
      {"U+00E9 é", "\xC3\xA9", "", Utf8Stop::Unmappable},
      {"U+FFFD itself", "\xEF\xBF\xBD", "", Utf8Stop::Unmappable},
      {"a stray continuation byte", "\x80", "", Utf8Stop::Invalid},
      {"a surrogate", "\xED\xA0\x80", "", Utf8Stop::Invalid},
      {"an overlong backslash", "\xE0\x81\x9C", "", Utf8Stop::Invalid},
      {"a sequence cut short", "\xE6\xBC", "", Utf8Stop::Incomplete},
  };
  for (const Case& c : cases) {
    std::string out(c.utf8.size(), '\0');
    const Utf8Converted r = Utf8ToCp932(c.utf8.data(), c.utf8.size(), out.data());
    EXPECT_EQ(r.stop, c.stop) << c.what;
    if (c.stop != Utf8Stop::None) continue;
    EXPECT_EQ(out.substr(0, r.written), c.sjis) << c.what;
    EXPECT_EQ(Cp932ToUtf8(c.sjis), c.utf8) << c.what;
  }
  // Every code of the code page goes to UTF-8 and back to the code its
  // character is written as.
  int codes = 0;
  for (unsigned code = 0x80; code < 0x10000; ++code) {
    if (!Cp932Valid(static_cast<std::uint16_t>(code))) continue;
    ++codes;
    std::string bytes = code < 0x100 ? std::string(1, static_cast<char>(code))
                                     : std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    const std::string utf8 = Cp932ToUtf8(bytes);
    std::string back(utf8);
    const Utf8Converted r = Utf8ToCp932(back.data(), back.size(), back.data());  // in place
    ASSERT_EQ(r.stop, Utf8Stop::None) << std::hex << code;
    EXPECT_EQ(Cp932ToUtf8(back.substr(0, r.written)), utf8) << std::hex << code;
  }
  EXPECT_GT(codes, 9000);
  EXPECT_EQ(MeasureCp932("a\x82\xA0\x80").bad, 3u);
  EXPECT_EQ(MeasureCp932("a\x82").bad, 1u);  // a lead byte at the end
}

TEST(Cp932, FileNamesInShiftJisShowReadable) {
  const struct {
    std::string bytes, shown;
  } cases[] = {
      {"/data/\xE8\xA1\xA8.csv", "/data/表.csv"},                                // UTF-8 as it is
      {"/data/\x95\x5C.csv", "/data/表.csv"},                                    // Shift-JIS: 95 5C
      {"/\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF/\x95\x5C.csv", "/データ/表.csv"},  // one part each
      {"/x/\xFF\x41",
       "/x/\xEF\xBF\xBD"
       "A"},  // neither
  };
  for (const auto& c : cases) EXPECT_EQ(ReadableFileName(c.bytes), c.shown) << c.shown;
}

}  // namespace
}  // namespace cavel
