#include "core/Messages.h"

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

}  // namespace

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
  static const char kHex[] = "0123456789ABCDEF";
  std::string code = "U+";
  int digits = character > 0xFFFF ? 5 + (character > 0xFFFFF) : 4;
  for (int d = digits - 1; d >= 0; --d) code += kHex[(character >> (4 * d)) & 0xF];
  return LineMessage(line, Concat({" 行目の，", Dec(item), " 項目に Shift-JIS にない文字 ", code, " があります。"}));
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
  return Concat({"   保存の途中で終了したファイルを，元の内容に戻せません。", kBR, "   ", path, kBR, "   ", reason, kBR,
                 "   元の内容は次のファイルに残っています : ", copy, "           "});
}

std::string NotShiftJis(std::string_view characters) {
  return Concat({"   Shift-JIS で表せない文字があります : ", characters, kBR,
                 "   この文字を直してから保存して下さい。           "});
}

std::string StatusCaption(std::string_view base, std::string_view file, std::string_view word) {
  return Concat({base, "    ", file, "    ", word});
}

std::string LineCountCaption(std::string_view base, std::string_view file, long count) {
  return Concat({base, "    ", file, "    ", kLineCountWord, " : ", Dec5(count)});
}

std::string PositionCaption(std::string_view base, std::string_view file, long line) {
  return Concat({base, "    ", file, "    ", kPositionWord, " : ", Dec5(line)});
}

std::string CreateLabel(int n) { return "項目" + Dec2(n); }

}  // namespace cavel::msg
