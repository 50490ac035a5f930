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

std::string FullWidthDec(long long value) {
  std::string out;
  for (char c : Dec(value)) {
    if (c == '-') {
      out += "－";
    } else {
      // U+FF10 + digit: EF BC 90 .. EF BC 99.
      out += "\xEF\xBC";
      out += static_cast<char>(0x90 + (c - '0'));
    }
  }
  return out;
}

namespace {

// The longest start of `text` of at most `limit` bytes that ends between
// characters, as `length` measures them.
std::string_view WholeCharacters(std::string_view text, std::size_t limit,
                                 std::size_t (*length)(std::string_view, std::size_t)) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t len = length(text, pos);
    if (pos + len > limit) break;
    pos += len;
  }
  return text.substr(0, pos);
}

}  // namespace

std::string_view SjisPrefix(std::string_view text, std::size_t limit) {
  return WholeCharacters(text, limit, SjisCharLength);
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

std::string_view Utf8Prefix(std::string_view text, std::size_t limit) {
  return WholeCharacters(text, limit, Utf8CharLength);
}

bool ParseInt(std::string_view text, int& value, IntForm form) {
  const bool profile = form == IntForm::Profile;
  const auto blank = [profile](char c) { return c == ' ' || (profile && c == '\t'); };
  std::size_t i = 0, end = text.size();
  while (i < end && blank(text[i])) ++i;
  while (profile && end > i && blank(text[end - 1])) --end;
  bool negative = false;
  if (i < end && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  unsigned base = 10;
  if (profile && i < end && text[i] == '$') {
    base = 16;
    ++i;
  } else if (profile && end - i > 2 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == end) return false;
  const long long limit = static_cast<long long>(std::numeric_limits<int>::max()) + (negative ? 1 : 0);
  long long v = 0;
  for (; i < end; ++i) {
    const char c = text[i];
    unsigned digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return false;
    }
    v = v * base + digit;
    if (v > limit) return false;
  }
  value = static_cast<int>(negative ? -v : v);
  return true;
}

}  // namespace cavel
