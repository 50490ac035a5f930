#include "core/Messages.h"

#include "core/Cp932.h"
#include "core/Text.h"

namespace cavel::msg {

namespace {

// The parts joined, in one allocation: the loader may ask a question on
// every line of a file.
std::string Concat(std::initializer_list<std::string_view> parts) {
  std::size_t size = 0;
  for (auto p : parts) size += p.size();
  std::string s;
  s.reserve(size);
  for (auto p : parts) s += p;
  return s;
}

// "   " L text, then BR and NOTE: the shape of every message that names a line.
std::string LineMessage(long line, std::string_view text) { return Concat({"   ", Dec(line), text, kBR, kNOTE}); }

// The first line of the paste's refusals: the size of what was pasted.
std::string PasteSize(long rows, long cols) {
  return Concat({"   貼り付ける範囲は ", Dec(rows), " 行 × ", Dec(cols), " 項目です。", kBR});
}

}  // namespace

std::string TooManyLines(std::size_t limit) {
  return Concat({"   入力ファイルの行数は最大で", FullWidthDec(static_cast<long long>(limit)), "行です。           "});
}

std::string DocumentLineLimit(std::size_t limit) {
  return Concat({"   ファイルの行数は最大で", FullWidthDec(static_cast<long long>(limit)), "行です。           "});
}

std::string ArgumentFileMissing(std::string_view argument) {
  return Concat({"   ", argument, "の指定されたファイルが存在しません。   "});
}

std::string CommaCount(long line) { return LineMessage(line, " 行目のカンマの数が，512 以上です。"); }

std::string QuoteCount(long line) { return LineMessage(line, " 行目の二重引用符の数が，256 以上です。"); }

std::string ItemCount(long line, long limitPlusOne) {
  return LineMessage(line, Concat({" 行目の項目の数が，", Dec(limitPlusOne), " 以上です。"}));
}

std::string ItemLength(long line, long item) {
  return LineMessage(line, Concat({" 行目の，", Dec(item), " 項目の文字数が４０９６文字以上です。"}));
}

std::string NoShiftJisCharacter(long line, long item, char32_t character) {
  return LineMessage(line, Concat({" 行目の，", Dec(item), " 項目に Shift-JIS にない文字 ", CodePointName(character),
                                   " があります。"}));
}

std::string NotUtf8(long line) { return LineMessage(line, " 行目に UTF-8 でないバイトがあります。"); }

std::string NotShiftJisBytes(long line, long item) {
  return LineMessage(
      line, Concat({" 行目の，", Dec(item), " 項目に Shift-JIS でないバイトがあるため，UTF-8 で保存できません。"}));
}

namespace {

std::string_view LineEndName(LineEnd lineEnd) {
  switch (lineEnd) {
    case LineEnd::CrLf: return "CR LF";
    case LineEnd::Cr: return "CR";
    case LineEnd::Lf: return "LF";
  }
  return "CR LF";
}

}  // namespace

std::string FormatLabel(FileFormat format) {
  std::string_view encoding = format.encoding == TextEncoding::ShiftJis ? "Shift-JIS"
                              : format.encoding == TextEncoding::Utf8   ? "UTF-8"
                                                                        : "UTF-8 (BOM)";
  return Concat({encoding, " · ", LineEndName(format.lineEnd)});
}

std::string FormatFilter(FileFormat format) {
  std::string_view encoding = format.encoding == TextEncoding::ShiftJis ? "Shift-JIS"
                              : format.encoding == TextEncoding::Utf8   ? "UTF-8"
                                                                        : "UTF-8 BOM付き";
  return Concat({"CSVﾌｧｲﾙ ", encoding, " ", LineEndName(format.lineEnd), "(*.CSV)"});
}

std::string ItemCountDiffers(long line, long titleItems, long lineItems) {
  return Concat({"   ", Dec(line), " 行目の項目の個数が違います。", kBR, kNOTE, "   先頭行は ", Dec(titleItems),
                 " 項目です。", "指定行は ", Dec(lineItems), " 項目です。", kBR, "   ファイルを開きますか。"});
}

std::string FinalItemLimit(long line) {
  return Concat({"   ", Dec(line), " 行目の項目の個数が，６４項目以上です。   ", kBR});
}

std::string MissingClosingQuote(long line, long item) {
  return LineMessage(line, Concat({" 行目の，", Dec(item), " 項目の最後に \" がありません。"}));
}

std::string QuoteInMiddle(long line, long item) {
  return LineMessage(line, Concat({" 行目の，", Dec(item), " 項目で，途中に \" があります。"}));
}

std::string ConvertedLineTooLong(long line) { return LineMessage(line, " 行目の，文字数が８１９２文字以上です。"); }

std::string ItemNotInFile(long item, long titleItems) {
  return Concat(
      {"   ", Dec(item), " 項目目はこのファイルにありません（先頭行は ", Dec(titleItems), " 項目です）。           "});
}

std::string NoSuchGroup(int group) {
  return Concat({"   置換文字の \\", Dec(group), " に当たる括弧が検索文字にありません。           "});
}

std::string RegexRefused(std::string_view reason) {
  return Concat({"   正規表現に誤りがあります。", kBR, "   ", reason, "           "});
}

std::string RegexFailed(std::string_view reason) {
  return Concat({"   正規表現で検索できません。", kBR, "   ", reason, "           "});
}

std::string ItemCountChanged(long line, long before, long after) {
  return LineMessage(
      line, Concat({" 行目の項目の個数が，置換で ", Dec(before), " 項目から ", Dec(after), " 項目に変わります。"}));
}

std::string ReplacedCount(std::size_t count) {
  return Concat({"   ", Dec(static_cast<long long>(count)), " 箇所を置換しました。   "});
}

std::string SortKeyLabel(int key) { return Concat({"第", Dec(key), "キー"}); }

std::string ItemChoice(int item, std::string_view title) { return Concat({Dec(item), " : ", title}); }

std::string SearchNotShiftJis(std::string_view characters) {
  return Concat({"   Shift-JIS で表せない文字があります : ", characters, kBR,
                 "   この文字は検索文字と置換文字に使えません。           "});
}

std::string CannotWrite(std::string_view path) { return Concat({path, " に書き込めません"}); }

std::string NotAnInteger(std::string_view text) { return Concat({"'", text, "' は整数ではありません"}); }

std::string FileError(std::string_view path, std::string_view reason) {
  return Concat({"   ", path, kBR, "   ", reason, "           "});
}

std::string SaveError(std::string_view path, std::string_view reason, std::string_view kept) {
  if (kept.empty()) return FileError(path, reason);
  return Concat(
      {"   ", path, kBR, "   ", reason, kBR, "   元の内容は次のファイルに残っています : ", kept, "           "});
}

std::string SaveRestored(std::string_view path) {
  return Concat({"   保存の途中で終了したファイルを，元の内容に戻しました。", kBR, "   ", path, "           "});
}

std::string SaveNotRestored(std::string_view path, std::string_view reason, std::string_view copy) {
  if (copy.empty())
    return Concat({"   保存の途中で終了したファイルを，元の内容に戻せません。", kBR, "   ", path, kBR, "   ", reason,
                   "           "});
  return Concat({"   保存の途中で終了したファイルを，元の内容に戻せません。", kBR, "   ", path, kBR, "   ", reason, kBR,
                 "   元の内容は次のファイルに残っています : ", copy, "           "});
}

std::string SaveRecordsLeft(const std::vector<LeftEntry>& entries) {
  std::string text =
      "   保存の途中で終了したときの記録のうち，次のものは確かめられないので，使わずにそのまま残しました。";
  for (const LeftEntry& e : entries) text += Concat({kBR, "   ", e.path, " : ", e.reason});
  return text + "           ";
}

std::string NotShiftJis(std::string_view characters) {
  return Concat({"   Shift-JIS で表せない文字があります : ", characters, kBR,
                 "   この文字を直してから保存して下さい。           "});
}

std::string PastLastItem(long line, long items) {
  return LineMessage(line, Concat({" 行目の項目は ", Dec(items), " 項目までです。"}));
}

std::string PastePastLastItem(long rows, long cols, long line, long items) {
  return PasteSize(rows, cols) + PastLastItem(line, items);
}

std::string PastePastLastLine(long rows, long cols, long lastLine) {
  return Concat({PasteSize(rows, cols), "   最後の行は ", Dec(lastLine), " 行目です。", kBR, kNOTE});
}

std::string CharNotHeld(long line, long item, char32_t code) {
  return LineMessage(line,
                     Concat({" 行目の，", Dec(item), " 項目に入れられない文字があります : ", CodePointName(code)}));
}

std::string ItemBoundsChanged(long line, long item) {
  return LineMessage(line, Concat({" 行目の，", Dec(item), " 項目の値で，行の項目の区切りが変わります。", kBR,
                                   "   カンマか \" を含む値は \" で囲み，中の \" は \"\" と重ねて下さい。"}));
}

std::string PasteNotShiftJis(const std::vector<char32_t>& codes) {
  constexpr std::size_t kNamed = 8;
  std::string names;
  for (std::size_t i = 0; i < codes.size() && i < kNamed; ++i) names += (i ? " " : "") + CodePointName(codes[i]);
  if (codes.size() > kNamed) names += Concat({" ほか ", Dec(static_cast<long long>(codes.size() - kNamed)), " 文字"});
  return Concat({"   Shift-JIS で表せない文字があります : ", names, kBR, "   貼り付けできません。           "});
}

std::string CodePointName(char32_t code) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string digits;
  for (unsigned long c = code; c != 0 || digits.size() < 4; c >>= 4) digits.insert(digits.begin(), kHex[c & 0xF]);
  return "U+" + digits;
}

std::string StatusCaption(std::string_view base, std::string_view file, std::string_view word) {
  return Concat({base, "    ", ReadableFileName(file), "    ", word});
}

std::string LineCountCaption(std::string_view base, std::string_view file, long count) {
  return Concat({base, "    ", ReadableFileName(file), "    ", kLineCountWord, " : ", Dec5(count)});
}

std::string PositionCaption(std::string_view base, std::string_view file, long line) {
  return Concat({base, "    ", ReadableFileName(file), "    ", kPositionWord, " : ", Dec5(line)});
}

std::string CreateLabel(int n) { return "項目" + Dec2(n); }

}  // namespace cavel::msg
