#include "core/Encoding.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/Messages.h"

namespace cavel {

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

bool Continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Whether a two-byte sequence (its first byte 0xC2-0xDF, a half-width
// katakana in Shift-JIS) could be Shift-JIS: a second half-width katakana
// (0xA1-0xBF), or a lead byte (0x81-0x9F) whose trail byte, the byte after
// the sequence, Shift-JIS allows (0x40-0x7E, 0x80-0xFC).
bool PlausibleSjisPair(unsigned char second, const unsigned char* next, const unsigned char* end) {
  if (second >= 0xA1) return true;
  if (second == 0x80 || second == 0xA0 || next == end) return false;
  return (*next >= 0x40 && *next <= 0x7E) || (*next >= 0x80 && *next <= 0xFC);
}

// Scans `s` as UTF-8. False at the first byte that is not part of a
// well-formed sequence; sets `foreign` on a multi-byte sequence that
// Shift-JIS would not plausibly produce: one of three or four bytes, or a
// pair that is not PlausibleSjisPair.
bool ScanUtf8(std::string_view s, bool& foreign) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const auto* const end = p + s.size();
  while (p < end) {
    // ASCII, eight bytes at a time.
    while (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, 8);
      if (word & kHighBits) break;
      p += 8;
    }
    while (p < end && *p < 0x80) ++p;
    // A run of multi-byte sequences, up to the next ASCII byte.
    while (p < end && *p >= 0x80) {
      const unsigned char c = *p;
      // The common case first: three bytes, neither E0 nor ED, whose
      // second byte may be any continuation byte.
      if (c >= 0xE1 && c <= 0xEF && c != 0xED) {
        if (end - p < 3 || !Continuation(p[1]) || !Continuation(p[2])) return false;
        foreign = true;
        p += 3;
        continue;
      }
      std::ptrdiff_t length = 0;
      unsigned char low = 0x80, high = 0xBF;  // the second byte's range
      if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
      } else if (c == 0xE0 || c == 0xED) {
        length = 3;
        if (c == 0xE0) low = 0xA0;   // no overlong forms
        if (c == 0xED) high = 0x9F;  // no surrogates
      } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;  // nothing past U+10FFFF
      } else {
        return false;
      }
      if (end - p < length || p[1] < low || p[1] > high) return false;
      for (std::ptrdiff_t k = 2; k < length; ++k)
        if (!Continuation(p[k])) return false;
      if (length > 2 || !PlausibleSjisPair(p[1], p + 2, end)) foreign = true;
      p += length;
    }
  }
  return true;
}

bool HasByteOrderMark(std::string_view s) { return s.size() >= 3 && s.substr(0, 3) == "\xEF\xBB\xBF"; }

}  // namespace

bool PlainlyUtf8(std::string_view bytes) {
  if (HasByteOrderMark(bytes)) return true;
  bool foreign = false;
  return ScanUtf8(bytes, foreign) && foreign;
}

bool PlainlyUtf8(const Lines& lines) {
  if (!lines.empty() && HasByteOrderMark(lines.front().view())) return true;
  bool foreign = false;
  for (const Line& line : lines)
    if (!ScanUtf8(line.view(), foreign)) return false;
  return foreign;
}

bool TellIfUtf8(const Lines& lines, Dialogs& dialogs) {
  if (!PlainlyUtf8(lines)) return false;
  Notice(dialogs, std::string(msg::kLooksLikeUtf8));
  return true;
}

}  // namespace cavel
