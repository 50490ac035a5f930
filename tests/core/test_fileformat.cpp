// Files of every format through the loader and back through the writer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempFolder.h"
#include "LinesProbe.h"
#include "core/Cp932.h"
#include "core/CsvLoader.h"
#include "core/CsvWriter.h"
#include "core/Messages.h"

namespace cavel {
namespace {

using E = TextEncoding;
using L = LineEnd;

// 名前,数 / 東京,"1" / ｱ,2 in Shift-JIS.
const std::vector<std::string> kLines = {"\x96\xBC\x91\x4F,\x90\x94", "\x93\x8C\x8B\x9E,\"1\"", "\xB1,2"};

std::string Bytes(const CsvContent& content) {
  std::string out;
  EXPECT_TRUE(content.Pieces([&](std::string_view piece) {
    out += piece;
    return true;
  }));
  EXPECT_EQ(content.Size(), out.size());
  return out;
}

// The file `lines` make in `format`, a line end after each.
std::string FileOf(const std::vector<std::string>& lines, FileFormat format) {
  std::string file = format.encoding == E::Utf8Bom ? std::string(kByteOrderMark) : "";
  for (const std::string& line : lines)
    file += (format.Utf8() ? Cp932ToUtf8(line) : line) + std::string(LineEndBytes(format.lineEnd));
  return file;
}

TEST(FileFormat, EveryEncodingAndLineEndLoadsAndSavesByteForByte) {
  for (E e : {E::ShiftJis, E::Utf8, E::Utf8Bom}) {
    for (L l : {L::CrLf, L::Cr, L::Lf}) {
      const FileFormat format{e, l};
      const std::string file = FileOf(kLines, format);
      SCOPED_TRACE(std::string(EncodingKey(e)) + " " + std::string(LineEndKey(l)));
      ScriptedDialogs dialogs;
      Lines lines;
      const LoadOutcome outcome = CsvLoaderFromBytes(file, kItemLimitWide, dialogs, lines);
      ASSERT_EQ(outcome.result, LoadResult::Loaded);
      EXPECT_TRUE(dialogs.shown().empty());
      EXPECT_EQ(outcome.format, format);
      EXPECT_EQ(lines, kLines);
      EXPECT_EQ(Bytes(CsvContent(lines, outcome.format)), file);
      // A last line without its line end loads the same, and gets one.
      Lines cut;
      const std::string unended = file.substr(0, file.size() - LineEndBytes(l).size());
      ASSERT_EQ(CsvLoaderFromBytes(unended, kItemLimitWide, dialogs, cut).format, format);
      EXPECT_EQ(cut, kLines);
    }
  }
}

TEST(FileFormat, OddFiles) {
  struct Case {
    const char* what;
    std::string file;
    std::vector<std::string> lines;
    FileFormat format;
  } cases[] = {
      {"empty", "", {}, {E::ShiftJis, L::CrLf}},
      {"the byte-order mark alone", "\xEF\xBB\xBF", {}, {E::Utf8Bom, L::CrLf}},
      {"no line end", "a,b", {"a,b"}, {E::ShiftJis, L::CrLf}},
      // Spreadsheets write a line break inside an item as a bare LF.
      {"a bare LF in a quoted item, CR LF records",
       "a,\"x\ny\"\r\nb,c\r\n",
       {"a,\"x\ny\"", "b,c"},
       {E::ShiftJis, L::CrLf}},
      {"one CR makes every LF a byte of its line", "a\nb\rc\n", {"a\nb", "c\n"}, {E::ShiftJis, L::Cr}},
      {"the first line end is the file's", "a\rb\r\nc\r\n", {"a", "b", "c"}, {E::ShiftJis, L::Cr}},
      {"a CR as the last byte", "a\r", {"a"}, {E::ShiftJis, L::Cr}},
      {"0x1A ends an LF file", "a\nb\n\x1A\r\n", {"a", "b"}, {E::ShiftJis, L::Lf}},
      // 痼。 in Shift-JIS is well-formed UTF-8 (U+1001 "B").
      {"Shift-JIS that reads as UTF-8",
       "code,name\r\n1,\xE1\x80\x81\x42\r\n",
       {"code,name", "1,\xE1\x80\x81\x42"},
       {E::ShiftJis, L::CrLf}},
      {"UTF-8 lines, then a Shift-JIS one",
       "\xE6\x9D\xB1\n\x93\x8C\n",
       {"\xE6\x9D\xB1", "\x93\x8C"},
       {E::ShiftJis, L::Lf}},
  };
  for (const Case& c : cases) {
    ScriptedDialogs dialogs;
    Lines lines;
    const LoadOutcome outcome = CsvLoaderFromBytes(c.file, kItemLimitWide, dialogs, lines);
    ASSERT_EQ(outcome.result, LoadResult::Loaded) << c.what;
    EXPECT_EQ(outcome.format, c.format) << c.what;
    EXPECT_EQ(lines, c.lines) << c.what;
  }
  // A file with nothing but the mark is saved as it was.
  EXPECT_EQ(Bytes(CsvContent(Lines{}, FileFormat{E::Utf8Bom, L::CrLf})), "\xEF\xBB\xBF");
}

TEST(FileFormat, WhatUtf8CannotCarryRefusesTheLoadNamingItsLine) {
  struct Case {
    const char* what;
    std::string file;
    EncodingChoice choice;
    std::string message;
  } cases[] = {
      {"a character code page 932 lacks", "a,b\r\nc,d\xF0\xA0\xAE\xB7\r\n", EncodingChoice::Detect,
       msg::NoShiftJisCharacter(1, 2, 0x20BB7)},
      {"an emoji, LF", "a,b\n\"x,\xF0\x9F\x98\x80\",y\n", EncodingChoice::Detect,
       msg::NoShiftJisCharacter(1, 1, 0x1F600)},
      {"the wave dash", "\xE6\x9D\xB1,\xE3\x80\x9C\r\n", EncodingChoice::Detect,
       msg::NoShiftJisCharacter(0, 2, 0x301C)},
      {"a byte that is not UTF-8 after the mark",
       "\xEF\xBB\xBF"
       "a\r\nb\r\n\x93\x8C\r\n",
       EncodingChoice::Detect, msg::NotUtf8(2)},
      {"cut short at the end, read as UTF-8", "a\n\xE6\x9D", EncodingChoice::Utf8, msg::NotUtf8(1)},
  };
  for (const Case& c : cases) {
    ScriptedDialogs dialogs;
    Lines lines{"stale"};
    EXPECT_EQ(CsvLoaderFromBytes(c.file, {kItemLimitWide, c.choice}, dialogs, lines).result, LoadResult::Refused)
        << c.what;
    EXPECT_TRUE(lines.empty()) << c.what;
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{c.message}) << c.what;
  }
}

TEST(FileFormat, AChosenEncodingOverridesTheBytes) {
  ScriptedDialogs dialogs;
  Lines lines;
  // 痼。 read as UTF-8: U+1001 is not in code page 932.
  EXPECT_EQ(CsvLoaderFromBytes("1,\xE1\x80\x81\x42\r\n", {kItemLimitWide, EncodingChoice::Utf8}, dialogs, lines).result,
            LoadResult::Refused);
  // Japanese UTF-8 read as Shift-JIS keeps its bytes; after the mark it
  // is UTF-8 all the same (the mark is no Shift-JIS), cut short or not.
  const std::string file = "\xE6\x9D\xB1\r\n";
  LoadOutcome o = CsvLoaderFromBytes(file, {kItemLimitWide, EncodingChoice::ShiftJis}, dialogs, lines);
  EXPECT_EQ(o.format, (FileFormat{E::ShiftJis, L::CrLf}));
  EXPECT_EQ(lines, (Lines{"\xE6\x9D\xB1"}));
  for (const std::string& marked : {"\xEF\xBB\xBF" + file, std::string("\xEF\xBB")}) {
    o = CsvLoaderFromBytes(marked, {kItemLimitWide, EncodingChoice::ShiftJis}, dialogs, lines);
    EXPECT_EQ(o.format.encoding, marked.size() > 2 ? E::Utf8Bom : E::ShiftJis);
    EXPECT_EQ(lines, (Lines{marked.size() > 2 ? "\x93\x8C" : "\xEF\xBB"}));
  }
}

// Lines cut before the format is known are cut again when it turns out
// otherwise; that is only ever seen past the first piece the loader reads.
TEST(FileFormat, FormatFoundLateInALargeFile) {
  std::string file;
  std::size_t lineCount = 0;
  for (; file.size() < (3u << 20); ++lineCount) file += "\xE6\x9D\xB1\xE4\xBA\xAC," + std::string(200, 'x') + "\n";
  ScriptedDialogs dialogs;
  Lines lines;
  // All UTF-8 and LF: taken as the loader cut them.
  LoadOutcome o = CsvLoaderFromBytes(file, kItemLimitWide, dialogs, lines);
  ASSERT_EQ(o.result, LoadResult::Loaded);
  EXPECT_EQ(o.format, (FileFormat{E::Utf8, L::Lf}));
  ASSERT_EQ(lines.size(), lineCount);
  EXPECT_EQ(lines[lineCount - 1], "\x93\x8C\x8B\x9E," + std::string(200, 'x'));
  // A byte that is not UTF-8 at the end: Shift-JIS, every line as read.
  o = CsvLoaderFromBytes(file + "\x93\x8C,y\n", kItemLimitWide, dialogs, lines);
  ASSERT_EQ(o.result, LoadResult::Loaded);
  EXPECT_EQ(o.format, (FileFormat{E::ShiftJis, L::Lf}));
  ASSERT_EQ(lines.size(), lineCount + 1);
  EXPECT_EQ(lines[0], "\xE6\x9D\xB1\xE4\xBA\xAC," + std::string(200, 'x'));
  // A CR at the end: one line of all the rest, refused as too long.
  EXPECT_EQ(CsvLoaderFromBytes(file + "\r", kItemLimitWide, dialogs, lines).result, LoadResult::Refused);
  EXPECT_EQ(dialogs.texts(), std::vector<std::string>{std::string(msg::kLineTooLong)});
}

// ASCII lines are the same in either encoding: checked as they come, and
// not again when the file turns out to be Shift-JIS.
TEST(FileFormat, AsciiLinesAskOnceBeforeTheEncodingIsKnown) {
  ScriptedDialogs dialogs;
  Lines lines;
  const std::string file = "a,b\r\nc\r\n1,\xE1\x80\x81\x42\r\n";  // then 痼。 in Shift-JIS
  ASSERT_EQ(CsvLoaderFromBytes(file, kItemLimitWide, dialogs, lines).result, LoadResult::Loaded);
  EXPECT_EQ(dialogs.texts(), std::vector<std::string>{msg::ItemCountDiffers(1, 2, 1)});
  EXPECT_EQ(lines, (Lines{"a,b", "c", "1,\xE1\x80\x81\x42"}));
}

TEST(FileFormat, Utf8IsNotWrittenFromBytesThatAreNotShiftJis) {
  test::TempFolder folder("fileformat");
  const std::string path = folder.File("out.csv");
  ASSERT_TRUE(test::WriteFile(path, "old"));
  const Lines lines{"a,b", "c,\"x\x82\xA0\",\x80", "\x82"};  // a stray byte, a lead byte at the end
  EXPECT_FALSE(FindUnwritable(lines, FileFormat{E::ShiftJis, L::Lf}));
  ScriptedDialogs dialogs;
  for (E e : {E::Utf8, E::Utf8Bom}) {
    EXPECT_FALSE(SaveLines(path, lines, FileFormat{e, L::CrLf}, dialogs));
    EXPECT_EQ(dialogs.texts().back(), msg::NotShiftJisBytes(1, 3));
    EXPECT_EQ(test::ReadFile(path), "old");
  }
  EXPECT_TRUE(SaveLines(path, lines, FileFormat{E::ShiftJis, L::Lf}, dialogs));
  EXPECT_EQ(test::ReadFile(path), "a,b\nc,\"x\x82\xA0\",\x80\n\x82\n");
}

}  // namespace
}  // namespace cavel
