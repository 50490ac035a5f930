#include "core/Encoding.h"

#include <cstdint>

#include "core/Cp932.h"
#include "core/Text.h"

namespace cavel {

namespace {

// What a character costs, in tenths of a bit: -log2 of its share in
// Japanese text, taken as its kind's share spread over the kind's codes.
constexpr int kAsciiCost = 76;     // half of all characters, over 95 codes
constexpr int kAdjacentCost = 40;  // UTF-8: a character past ASCII, then an ASCII letter
constexpr int kUtf8Margin = 80;    // the UTF-8 reading must cost this much less

int CharacterCost(std::uint16_t code) {
  if (code == 0) return 300;                         // not in code page 932
  if (code < 0x80) return kAsciiCost;                //
  if (code <= 0xDF) return 110;                      // half-width katakana
  if (code >= 0x829F && code <= 0x82F1) return 97;   // hiragana
  if (code >= 0x8340 && code <= 0x8396) return 103;  // katakana
  if (code >= 0x8140 && code <= 0x81AC) return 111;  // punctuation and common signs
  if (code >= 0x81AD && code <= 0x81FC) return 143;  // mathematical signs
  if (code >= 0x824F && code <= 0x8279) return 108;  // full-width digits and capitals
  if (code >= 0x8281 && code <= 0x829A) return 137;  // full-width small letters
  if (code >= 0x839F && code <= 0x84BE) return 156;  // Greek, Cyrillic, box drawing
  if (code >= 0x8740 && code <= 0x879C) return 148;  // ① ㈱ and the like
  if (code >= 0x889F && code <= 0x9872) return 139;  // kanji, first level
  if (code >= 0x989F && code <= 0xEAA4) return 184;  // kanji, second level
  if (code >= 0xF040 && code <= 0xF9FC) return 275;  // user-defined
  return 195;                                        // the IBM extensions
}

}  // namespace

void EncodingJudge::CountUtf8(char32_t c) {
  lastPastAscii_ = true;
  utf8Cost_ += CharacterCost(Cp932Code(c));
}

void EncodingJudge::ReadUtf8(std::string_view bytes) {
  std::size_t i = 0;
  // A sequence begun by the bytes fed before.
  while (carried_ > 0 && i < bytes.size()) {
    carry_[carried_++] = static_cast<unsigned char>(bytes[i++]);
    char32_t c;
    const int n = Utf8Sequence(std::string_view(reinterpret_cast<const char*>(carry_), carried_), c);
    if (n == 0) {
      utf8Holds_ = false;
      return;
    }
    if (n > 0) {
      carried_ = 0;
      CountUtf8(c);
    }
  }
  while (i < bytes.size()) {
    const std::size_t ascii = AsciiPrefix(bytes.substr(i));
    if (ascii > 0) {
      const unsigned char first = static_cast<unsigned char>(bytes[i]);
      if (lastPastAscii_ && first >= 0x40 && first <= 0x7E) utf8Cost_ += kAdjacentCost;
      lastPastAscii_ = false;
      i += ascii;
      if (i == bytes.size()) break;
    }
    char32_t c;
    const int n = Utf8Sequence(bytes.substr(i), c);
    if (n == 0) {
      utf8Holds_ = false;
      return;
    }
    if (n < 0) {  // the rest begins a sequence that the next bytes finish
      for (; i < bytes.size(); ++i) carry_[carried_++] = static_cast<unsigned char>(bytes[i]);
      return;
    }
    CountUtf8(c);
    i += static_cast<std::size_t>(n);
  }
}

void EncodingJudge::ReadSjis(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  std::size_t i = 0;
  auto pair = [&](unsigned lead, unsigned trail) {
    const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
    if (!Cp932Valid(code)) {
      sjisHolds_ = false;
      return false;
    }
    sjisCost_ += CharacterCost(code);
    if (trail < 0x80) ++asciiTrails_;
    return true;
  };
  if (lead_ >= 0 && size > 0) {
    if (!pair(static_cast<unsigned>(lead_), p[0])) return;
    lead_ = -1;
    i = 1;
  }
  while (i < size) {
    i += AsciiPrefix(bytes.substr(i));
    if (i == size) break;
    const unsigned c = p[i];
    if (IsSjisLead(static_cast<unsigned char>(c))) {
      if (i + 1 == size) {
        lead_ = static_cast<int>(c);
        return;
      }
      if (!pair(c, p[i + 1])) return;
      i += 2;
    } else {
      if (!Cp932Valid(static_cast<std::uint16_t>(c))) {
        sjisHolds_ = false;
        return;
      }
      sjisCost_ += CharacterCost(static_cast<std::uint16_t>(c));
      ++i;
    }
  }
}

void EncodingJudge::Feed(std::string_view bytes) {
  if (!Judging()) return;
  // Up to the first byte past ASCII both readings are the same.
  if (!pastAscii_) {
    bytes.remove_prefix(AsciiPrefix(bytes));
    pastAscii_ = !bytes.empty();
  }
  ReadUtf8(bytes);
  if (Judging()) ReadSjis(bytes);
}

TextEncoding EncodingJudge::Verdict(bool utf8Valid) const {
  // Once the Shift-JIS reading has failed, the UTF-8 reading stops where it
  // stood (perhaps inside a sequence); whether the rest is UTF-8 is the
  // caller's to say.
  if (!utf8Valid || !utf8Holds_ || !pastAscii_) return TextEncoding::ShiftJis;
  if (!sjisHolds_) return TextEncoding::Utf8;
  if (carried_ > 0) return TextEncoding::ShiftJis;  // cut short at the end
  if (lead_ >= 0) return TextEncoding::Utf8;        // a lead byte at the end

  return utf8Cost_ + asciiTrails_ * kAsciiCost + kUtf8Margin < sjisCost_ ? TextEncoding::Utf8 : TextEncoding::ShiftJis;
}

TextEncoding DetectEncoding(std::string_view bytes) {
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) return TextEncoding::Utf8Bom;
  EncodingJudge judge;
  judge.Feed(bytes);
  return judge.Verdict(WellFormedUtf8(bytes));
}

}  // namespace cavel
