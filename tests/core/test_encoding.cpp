// Telling a UTF-8 file from a Shift-JIS one: no alarm on Shift-JIS.
#include "core/Encoding.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TempFolder.h"

namespace cavel {
namespace {

namespace fs = std::filesystem;

struct Case {
  const char* what;
  std::string bytes;
  bool utf8;
};

TEST(Encoding, PlainUtf8AgainstShiftJis) {
  const Case cases[] = {
      {"nothing", "", false},
      {"ASCII only", "name,age\r\nA,1\r\n", false},
      {"byte-order mark",
       "\xEF\xBB\xBF"
       "name,age",
       true},
      {"Japanese in UTF-8", "\xE5\x90\x8D\xE5\x89\x8D,\xE5\xB9\xB4\xE9\xBD\xA2", true},  // 名前,年齢
      {"the same in Shift-JIS", "\x96\xBC\x91\x4F,\x94\x4E\x97\xEE", false},
      {"a UTF-8 sign before a comma",
       "5\xC3\x97"
       "3,x",
       true},  // ×
      // Half-width katakana ﾃｽﾄｱ pair up as two well-formed sequences.
      {"half-width katakana that is well-formed UTF-8", "\xC3\xBD\xC4\xB1", false},
      {"half-width katakana", "\xB6\xC0\xB6\xC5,\xC3\xDE\xB0\xC0", false},  // ｶﾀｶﾅ,ﾃﾞｰﾀ
      // ﾃ then 院 (0x89 0x40): the katakana and the lead byte pair up.
      {"katakana before a kanji", "\xC3\x89\x40", false},
      // ソ 表 ポ: trail bytes 0x5C and 0x7C, which are ASCII.
      {"trail bytes 0x5C and 0x7C", "\x83\x5C,\x95\x5C,\x83\x7C", false},
      {"a sequence cut short", "a,\xE3\x81", false},
      {"an overlong form", "\xC0\xAF", false},
      {"UTF-8 after Shift-JIS", "\x83\x5C,\xE5\x90\x8D", false},
  };
  for (const Case& c : cases) EXPECT_EQ(PlainlyUtf8(c.bytes), c.utf8) << c.what;
}

TEST(Encoding, LinesAreJudgedAsOneFile) {
  EXPECT_TRUE(PlainlyUtf8(Lines{"\xEF\xBB\xBFT", "a"}));
  EXPECT_TRUE(PlainlyUtf8(Lines{"T", "a", "\xE5\x90\x8D"}));
  EXPECT_FALSE(PlainlyUtf8(Lines{"T", "\xE5\x90\x8D", "\x83\x5C"}));
  EXPECT_FALSE(PlainlyUtf8(Lines{"T", "a"}));
}

TEST(Encoding, NoAlarmOnTheShiftJisFilesOfTheSourceTree) {
  int files = 0;
  for (const fs::path& dir : {fs::path(CAVEL_SOURCE_DIR) / "samples", fs::path(CAVEL_TEST_DATA)})
    for (const auto& entry : fs::directory_iterator(dir))
      if (entry.path().extension() == ".csv") {
        ++files;
        EXPECT_FALSE(PlainlyUtf8(test::ReadFile(entry.path()))) << entry.path();
      }
  EXPECT_GE(files, 8);
}

}  // namespace
}  // namespace cavel
