#include "core/Cp932.h"

#include <unicode/ucnv.h>

#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

#include "core/Text.h"

namespace cavel {

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

bool IsTrailByte(unsigned c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// The index of a three-byte UTF-8 sequence (its bytes from the lowest eight
// bits up) in Tables::fromThree: the lead byte's four bits, then the six of
// each continuation byte.
inline std::uint32_t ThreeIndex(std::uint32_t bytes) {
  return (bytes & 0x0F) | (bytes >> 4 & 0x3F0) | (bytes >> 6 & 0xFC00);
}

// A character's UTF-8, packed: the bytes from the lowest eight bits up, the
// length in the top eight; 0 for none.
std::uint32_t PackUtf8(char32_t c) {
  if (c < 0x80) return 1u << 24 | c;
  if (c < 0x800) return 2u << 24 | (0xC0 | c >> 6) | (0x80 | (c & 0x3F)) << 8;
  return 3u << 24 | (0xE0 | c >> 12) | (0x80 | (c >> 6 & 0x3F)) << 8 | (0x80 | (c & 0x3F)) << 16;
}

// Both directions as flat tables, filled once from the converter.
//   toUtf8[code]: the UTF-8 of a code (a byte, or lead << 8 | trail), packed
//   as above; 0 when the code is no character.
//   fromBmp[c]: the code of U+c as the bytes to write, the first in the low
//   eight bits (a pair's trail byte, at least 0x40, in the high eight); 0
//   when the code page has none.
struct Tables {
  std::array<std::uint32_t, 65536> toUtf8{};
  std::array<std::uint16_t, 65536> fromBmp{};
  // fromBmp again for the characters of three bytes in UTF-8 (U+0800 on),
  // indexed by the bits those bytes carry as they stand (ThreeIndex), so
  // that the conversion need not put the character together first.
  std::array<std::uint16_t, 65536> fromThree{};

  Tables() {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, void (*)(UConverter*)> converter(ucnv_open("windows-31j", &status), ucnv_close);
    if (U_FAILURE(status)) throw std::runtime_error("cavel: ICU has no windows-31j converter");
    UConverter* cnv = converter.get();
    // A byte sequence the converter cannot map stops it with an error
    // instead of giving a substitute.
    ucnv_setToUCallBack(cnv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setFromUCallBack(cnv, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    if (U_FAILURE(status)) throw std::runtime_error("cavel: ICU's windows-31j converter cannot be set up");

    std::vector<std::uint16_t> codes;  // every code that decodes, in order
    auto decode = [&](const char* bytes, int n) -> char16_t {
      UChar out[4];
      UErrorCode e = U_ZERO_ERROR;
      ucnv_resetToUnicode(cnv);
      const int32_t length = ucnv_toUChars(cnv, out, 4, bytes, n, &e);
      if (U_FAILURE(e) || length != 1 || U16_IS_SURROGATE(out[0])) return 0;
      return out[0];
    };
    // The ASCII half is the identity, as in code page 932 (0x5C backslash,
    // 0x7E tilde, the control bytes as themselves).
    for (char32_t b = 0; b < 0x80; ++b) toUtf8[b] = PackUtf8(b);
    for (int b = 0x80; b < 0x100; ++b) {
      if (IsSjisLead(static_cast<unsigned char>(b))) continue;
      const char c = static_cast<char>(b);
      if (char16_t u = decode(&c, 1)) {
        toUtf8[b] = PackUtf8(u);
        codes.push_back(static_cast<std::uint16_t>(b));
      }
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsSjisLead(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (!IsTrailByte(static_cast<unsigned>(trail))) continue;
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        if (char16_t u = decode(pair, 2)) {
          const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
          toUtf8[code] = PackUtf8(u);
          codes.push_back(code);
        }
      }
    }
    auto written = [](std::uint16_t code) {
      return static_cast<std::uint16_t>(code < 0x100 ? code : (code >> 8 | (code & 0xFF) << 8));
    };
    auto decoded = [&](std::uint16_t code) -> char32_t {
      // The character a code decodes to, read back from its UTF-8.
      const std::uint32_t packed = toUtf8[code];
      const unsigned length = packed >> 24;
      if (length == 1) return packed & 0x7F;
      if (length == 2) return (packed & 0x1F) << 6 | (packed >> 8 & 0x3F);
      return (packed & 0x0F) << 12 | (packed >> 8 & 0x3F) << 6 | (packed >> 16 & 0x3F);
    };
    for (char32_t u = 1; u < 0x80; ++u) fromBmp[u] = static_cast<std::uint16_t>(u);
    // Every decoded character gets the code the converter writes for it,
    // when that code decodes back to it; otherwise its first code.
    for (std::uint16_t code : codes) {
      const char32_t u = decoded(code);
      if (fromBmp[u] != 0) continue;
      const UChar c = static_cast<UChar>(u);
      char bytes[8];
      UErrorCode e = U_ZERO_ERROR;
      ucnv_resetFromUnicode(cnv);
      const int32_t length = ucnv_fromUChars(cnv, bytes, sizeof bytes, &c, 1, &e);
      std::uint16_t preferred = 0;
      if (U_SUCCESS(e) && length == 1) preferred = static_cast<unsigned char>(bytes[0]);
      if (U_SUCCESS(e) && length == 2)
        preferred = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 |
                                               static_cast<unsigned char>(bytes[1]));
      const bool roundTrips = preferred >= 0x80 && toUtf8[preferred] != 0 && decoded(preferred) == u;
      fromBmp[u] = written(roundTrips ? preferred : code);
      if (u >= 0x800) fromThree[ThreeIndex(PackUtf8(u) & 0xFFFFFF)] = fromBmp[u];
    }
  }
};

const Tables& TheTables() {
  static const std::unique_ptr<const Tables> tables = std::make_unique<const Tables>();
  return *tables;
}

// The sequence at `p` with `avail` bytes at hand: its length and character,
// 0 when it is not well-formed, -1 when it is well-formed as far as the
// bytes at hand go but they end first.
int Sequence(const unsigned char* p, std::size_t avail, char32_t& c) {
  const unsigned b = p[0];
  if (b < 0x80) {
    c = b;
    return 1;
  }
  int length;
  unsigned low = 0x80, high = 0xBF;  // the second byte's range
  if (b >= 0xC2 && b <= 0xDF) {
    length = 2;
    c = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    length = 3;
    c = b & 0x0F;
    if (b == 0xE0) low = 0xA0;   // no overlong forms
    if (b == 0xED) high = 0x9F;  // no surrogates
  } else if (b >= 0xF0 && b <= 0xF4) {
    length = 4;
    c = b & 0x07;
    if (b == 0xF0) low = 0x90;
    if (b == 0xF4) high = 0x8F;  // nothing past U+10FFFF
  } else {
    return 0;
  }
  for (int k = 1; k < length; ++k) {
    if (static_cast<std::size_t>(k) >= avail) return -1;
    const unsigned t = p[k];
    if (k == 1 ? (t < low || t > high) : (t & 0xC0) != 0x80) return 0;
    c = c << 6 | (t & 0x3F);
  }
  return length;
}

}  // namespace

std::size_t AsciiPrefix(std::string_view bytes) {
  const auto* const begin = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* p = begin;
  const auto* const end = p + bytes.size();
  // Thirty-two bytes at a time while they are all ASCII, then eight.
  while (end - p >= 32) {
    std::uint64_t w[4];
    std::memcpy(w, p, 32);
    if ((w[0] | w[1] | w[2] | w[3]) & kHighBits) break;
    p += 32;
  }
  while (end - p >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    if (word & kHighBits) break;
    p += 8;
  }
  while (p < end && *p < 0x80) ++p;
  return static_cast<std::size_t>(p - begin);
}

int Utf8Sequence(std::string_view bytes, char32_t& character) {
  if (bytes.empty()) return -1;
  return Sequence(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), character);
}

bool WellFormedUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    i += AsciiPrefix(bytes.substr(i));
    if (i == bytes.size()) break;
    char32_t c;
    const int n = Utf8Sequence(bytes.substr(i), c);
    if (n <= 0) return false;
    i += static_cast<std::size_t>(n);
  }
  return true;
}

Utf8Converted Utf8ToCp932(const char* in, std::size_t size, char* out) {
  const Tables& t = TheTables();
  const auto* p = reinterpret_cast<const unsigned char*>(in);
  const auto* const end = p + size;
  auto* o = reinterpret_cast<unsigned char*>(out);
  Utf8Converted result;
  while (p < end) {
    if (*p < 0x80) {
      // A run of ASCII, as it stands: in place and not moved yet, nothing
      // to write; else copied as it is looked at, 32 bytes at a time (all
      // of them read before any is written, so that writing behind in the
      // same buffer is safe).
      if (o == p) {
        p += AsciiPrefix(std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p)));
        o = const_cast<unsigned char*>(p);
        continue;
      }
      while (end - p >= 32) {
        std::uint64_t w[4];
        std::memcpy(w, p, 32);
        if ((w[0] | w[1] | w[2] | w[3]) & kHighBits) break;
        std::memcpy(o, w, 32);
        p += 32;
        o += 32;
      }
      while (end - p >= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        if (w & kHighBits) break;
        std::memcpy(o, &w, 8);
        p += 8;
        o += 8;
      }
      while (p < end && *p < 0x80) *o++ = *p++;
      continue;
    }
    // Kana and kanji: runs of three-byte sequences, which the table takes
    // at once.
    if ((*p & 0xF0) == 0xE0) {
      const unsigned char* const runStart = p;
      if constexpr (std::endian::native == std::endian::little) {
        // Two at a time while both take two bytes, as kana and kanji do.
        const std::uint16_t* const fromThree = t.fromThree.data();
        while (end - p >= 8) {
          std::uint64_t w;
          std::memcpy(&w, p, 8);
          if ((w & 0xC0C0F0C0C0F0u) != 0x8080E08080E0u) break;
          const std::uint32_t code1 = fromThree[ThreeIndex(static_cast<std::uint32_t>(w))];
          const std::uint32_t code2 = fromThree[ThreeIndex(static_cast<std::uint32_t>(w >> 24))];
          if (code1 <= 0xFF || code2 <= 0xFF) break;
          const std::uint32_t pair = code1 | code2 << 16;
          std::memcpy(o, &pair, 4);
          o += 4;
          p += 6;
        }
      }
      while (end - p >= 3) {
        const std::uint32_t b0 = p[0], b1 = p[1], b2 = p[2];
        if ((b0 & 0xF0) != 0xE0 || (b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80) break;
        const std::uint16_t code = t.fromThree[ThreeIndex(b0 | b1 << 8 | b2 << 16)];
        if (code == 0) break;
        // Two bytes are stored even for a one-byte code: the second lands
        // on input already read.
        o[0] = static_cast<unsigned char>(code);
        o[1] = static_cast<unsigned char>(code >> 8);
        o += 1 + (code > 0xFF);
        p += 3;
      }
      if (p != runStart) {
        result.nonAscii = true;
        continue;
      }
    }
    char32_t c = 0;
    const int length = Sequence(p, static_cast<std::size_t>(end - p), c);
    if (length <= 0) {
      result.stop = length < 0 ? Utf8Stop::Incomplete : Utf8Stop::Invalid;
      break;
    }
    const std::uint16_t code = c < 0x10000 ? t.fromBmp[c] : 0;
    if (code == 0) {
      result.stop = Utf8Stop::Unmappable;
      result.character = c;
      break;
    }
    o[0] = static_cast<unsigned char>(code);
    if (code > 0xFF) o[1] = static_cast<unsigned char>(code >> 8);
    o += 1 + (code > 0xFF);
    p += length;
    result.nonAscii = true;
  }
  result.read = static_cast<std::size_t>(p - reinterpret_cast<const unsigned char*>(in));
  result.written = static_cast<std::size_t>(o - reinterpret_cast<unsigned char*>(out));
  return result;
}

Cp932Measured MeasureCp932(std::string_view bytes) {
  const Tables& t = TheTables();
  const auto* const begin = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* p = begin;
  const auto* const end = p + bytes.size();
  Cp932Measured m;
  while (p < end) {
    if (*p < 0x80) {
      const std::size_t ascii =
          AsciiPrefix(std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p)));
      p += ascii;
      m.utf8Size += ascii;
      continue;
    }
    std::uint32_t packed = 0;
    int length = 1;
    if (IsSjisLead(*p)) {
      length = 2;
      if (end - p >= 2) packed = t.toUtf8[static_cast<unsigned>(p[0]) << 8 | p[1]];
    } else {
      packed = t.toUtf8[*p];
    }
    if (packed == 0) {
      m.bad = static_cast<std::size_t>(p - begin);
      return m;
    }
    m.utf8Size += packed >> 24;
    p += length;
  }
  return m;
}

char* Cp932ToUtf8(std::string_view bytes, char* out) {
  const Tables& t = TheTables();
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = p + bytes.size();
  while (p < end) {
    if (*p < 0x80) {
      while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (word & kHighBits) break;
        std::memcpy(out, &word, 8);
        p += 8;
        out += 8;
      }
      while (p < end && *p < 0x80) *out++ = static_cast<char>(*p++);
      continue;
    }
    std::uint32_t packed = 0;
    if (IsSjisLead(*p)) {
      if (end - p < 2) break;
      packed = t.toUtf8[static_cast<unsigned>(p[0]) << 8 | p[1]];
      p += 2;
    } else {
      packed = t.toUtf8[*p];
      ++p;
    }
    const unsigned length = packed >> 24;
    for (unsigned k = 0; k < length; ++k) *out++ = static_cast<char>(packed >> (8 * k));
  }
  return out;
}

std::string Cp932ToUtf8(std::string_view bytes) {
  std::string out(bytes.size() * 3, '\0');  // no code is more than three bytes of UTF-8
  char* end = Cp932ToUtf8(bytes, out.data());
  out.resize(static_cast<std::size_t>(end - out.data()));
  return out;
}

std::string ReadableFileName(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  while (true) {
    const std::size_t slash = bytes.find('/');
    const std::string_view part = bytes.substr(0, slash);
    if (WellFormedUtf8(part)) {
      out += part;
    } else if (MeasureCp932(part).bad == std::string_view::npos) {
      out += Cp932ToUtf8(part);
    } else {
      for (std::size_t i = 0; i < part.size();) {
        char32_t c;
        const int n = Utf8Sequence(part.substr(i), c);
        if (n > 0) {
          out += part.substr(i, static_cast<std::size_t>(n));
          i += static_cast<std::size_t>(n);
        } else {
          out += "\xEF\xBF\xBD";
          ++i;
        }
      }
    }
    if (slash == std::string_view::npos) return out;
    out += '/';
    bytes.remove_prefix(slash + 1);
  }
}

std::uint16_t Cp932Code(char32_t c) {
  if (c >= 0x10000) return 0;
  const std::uint16_t code = TheTables().fromBmp[c];
  return code <= 0xFF ? code : static_cast<std::uint16_t>((code & 0xFF) << 8 | code >> 8);
}

bool Cp932Valid(std::uint16_t code) { return TheTables().toUtf8[code] != 0; }

}  // namespace cavel
