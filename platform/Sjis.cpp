#include "platform/Sjis.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <array>
#include <memory>

#include "core/Text.h"

namespace cavel {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsTrail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// Both directions as flat tables. decode[b] for a single byte b, decode[lead
// << 8 | trail] for a pair; 0 marks "not a character" (U+0000 is only ever
// the single byte 0x00, handled apart). encode[u] is the code of U+u, 0 when
// Shift-JIS has none.
struct Tables {
  std::array<char16_t, 65536> decode{};
  std::array<std::uint16_t, 65536> encode{};

  Tables() {
    QStringDecoder decoder("windows-31j", QStringDecoder::Flag::Stateless);
    QStringEncoder encoder("windows-31j", QStringEncoder::Flag::Stateless);
    // The ASCII half is the identity, as in code page 932 (0x5C backslash,
    // 0x7E tilde, the control bytes as themselves).
    for (int b = 0; b < 0x80; ++b) decode[b] = static_cast<char16_t>(b);
    // The codec's error flag stays set once raised, so a code is judged by
    // what it decodes to: one character that is not a substitute.
    auto decodeOne = [&](const char* bytes, int n) -> char16_t {
      QString s = decoder.decode(QByteArrayView(bytes, n));
      decoder.resetState();
      if (s.size() != 1) return 0;
      char16_t u = s.at(0).unicode();
      return (u == kReplacement || u == 0x1A) ? 0 : u;
    };
    for (int b = 0x80; b < 0x100; ++b) {
      if (IsSjisLead(static_cast<unsigned char>(b))) continue;
      char c = static_cast<char>(b);
      decode[b] = decodeOne(&c, 1);
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsSjisLead(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (!IsTrail(static_cast<unsigned char>(trail))) continue;
        char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        decode[lead << 8 | trail] = decodeOne(pair, 2);
      }
    }
    // Every decoded character encodes to the code the codec prefers for it
    // (for characters with several codes, the one Windows writes).
    for (int u = 0; u < 0x80; ++u) encode[u] = static_cast<std::uint16_t>(u);
    for (int code = 0x80; code < 0x10000; ++code) {
      char16_t u = decode[code];
      if (u == 0 || encode[u] != 0) continue;
      QChar ch(u);
      QByteArray bytes = encoder.encode(QStringView(&ch, 1));
      encoder.resetState();
      std::uint16_t preferred = 0;
      if (bytes.size() == 1) preferred = static_cast<unsigned char>(bytes[0]);
      if (bytes.size() == 2)
        preferred = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 |
                                               static_cast<unsigned char>(bytes[1]));
      // Keep only a code that decodes back to the character (a substitute
      // for a character the codec cannot write does not).
      encode[u] = (preferred != 0 && decode[preferred] == u) ? preferred : static_cast<std::uint16_t>(code);
    }
  }
};

const Tables& TheTables() {
  static const std::unique_ptr<Tables> tables = std::make_unique<Tables>();
  return *tables;
}

}  // namespace

bool SjisValidPair(unsigned char lead, unsigned char trail) {
  return IsSjisLead(lead) && IsTrail(trail) && TheTables().decode[lead << 8 | trail] != 0;
}

QString SjisDecode(std::string_view bytes) {
  const Tables& t = TheTables();
  QString out;
  out.resize(static_cast<qsizetype>(bytes.size()));
  char16_t* dst = reinterpret_cast<char16_t*>(out.data());
  qsizetype n = 0;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  for (std::size_t i = 0; i < size;) {
    unsigned char c = p[i];
    if (c < 0x80) {
      dst[n++] = c;
      ++i;
    } else if (IsSjisLead(c)) {
      if (i + 1 < size && IsTrail(p[i + 1])) {
        char16_t u = t.decode[c << 8 | p[i + 1]];
        dst[n++] = u ? u : kReplacement;
        i += 2;
      } else {
        // A lead byte without a trail byte: at the end of the text, or
        // followed by a byte that cannot be a trail byte (shown on its own).
        dst[n++] = kReplacement;
        ++i;
      }
    } else {
      char16_t u = t.decode[c];
      dst[n++] = u ? u : kReplacement;
      ++i;
    }
  }
  out.truncate(n);
  return out;
}

SjisEncoded SjisEncode(QStringView text) {
  const Tables& t = TheTables();
  SjisEncoded result;
  result.bytes.reserve(static_cast<std::size_t>(text.size()) * 2);
  for (qsizetype i = 0; i < text.size(); ++i) {
    char16_t u = text[i].unicode();
    std::uint16_t code = 0;
    bool surrogatePair = QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate();
    if (!surrogatePair && !QChar::isSurrogate(u)) code = t.encode[u];
    if (code == 0 && u != 0) {
      QStringView bad = text.mid(i, surrogatePair ? 2 : 1);
      if (!result.unmappable.contains(bad)) result.unmappable.append(bad);
      if (surrogatePair) ++i;
      continue;
    }
    if (code < 0x100) {
      result.bytes.push_back(static_cast<char>(code));
    } else {
      result.bytes.push_back(static_cast<char>(code >> 8));
      result.bytes.push_back(static_cast<char>(code & 0xFF));
    }
  }
  if (!result.ok()) result.bytes.clear();
  return result;
}

}  // namespace cavel
