#include "core/Text.h"

#include <charconv>
#include <cstring>
#include <limits>

namespace cavel {

std::string Dec(long long value) { return std::to_string(value); }

std::string Dec5(long long value) {
  std::string digits = std::to_string(value);
  if (digits.size() >= 5) return digits;
  return std::string(5 - digits.size(), ' ') + digits;
}

std::string Dec2(long long value) {
  if (value >= 0 && value < 10) return std::string(1, '0') + static_cast<char>('0' + value);
  return std::to_string(value);
}

std::size_t SjisCharLength(std::string_view text, std::size_t pos) {
  if (pos + 1 < text.size() && IsSjisLead(static_cast<unsigned char>(text[pos]))) return 2;
  return 1;
}

std::string_view SjisPrefix(std::string_view text, std::size_t limit) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t len = SjisCharLength(text, pos);
    if (pos + len > limit) break;
    pos += len;
  }
  return text.substr(0, pos);
}

std::size_t SjisFind(std::string_view text, std::string_view needle, std::size_t from) {
  if (needle.empty() || needle.size() > text.size()) return std::string_view::npos;
  // Walk the character boundaries; at each, try a match. memmem finds the
  // candidates quickly; a candidate off a boundary is skipped.
  std::size_t boundary = 0;
  std::size_t pos = from;
  while (pos + needle.size() <= text.size()) {
    const void* hit = memmem(text.data() + pos, text.size() - pos, needle.data(), needle.size());
    if (!hit) return std::string_view::npos;
    std::size_t at = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
    while (boundary < at) boundary += SjisCharLength(text, boundary);
    if (boundary == at) return at;
    pos = at + 1;
  }
  return std::string_view::npos;
}

std::size_t Utf8CharLength(std::string_view text, std::size_t pos) {
  unsigned char c = static_cast<unsigned char>(text[pos]);
  std::size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
  if (len == 1 || pos + len > text.size()) return 1;
  for (std::size_t i = 1; i < len; ++i)
    if ((static_cast<unsigned char>(text[pos + i]) & 0xC0) != 0x80) return 1;
  return len;
}

bool ParseInt(std::string_view text, int& value) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  long long v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
    if (v > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return false;
  }
  if (negative) v = -v;
  if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return false;
  value = static_cast<int>(v);
  return true;
}

}  // namespace cavel
