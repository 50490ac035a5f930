// Small text helpers shared by the core modules.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cavel {

// Decimal text of a number, with a minus sign when negative.
std::string Dec(long long value);
// The number right-aligned in a field of five characters, padded with blanks
// on the left; a longer number is written in full.
std::string Dec5(long long value);
// The number in two digits ("01" ... "09", "10" ...).
std::string Dec2(long long value);

// Shift-JIS (code page 932) lead bytes: 0x81-0x9F and 0xE0-0xFC.
inline bool IsSjisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
// Length of the Shift-JIS character that starts at `pos` (1 or 2; a lead
// byte at the very end counts as 1).
std::size_t SjisCharLength(std::string_view text, std::size_t pos);
// The longest prefix of `text` of at most `limit` bytes that does not cut a
// double-byte character in two.
std::string_view SjisPrefix(std::string_view text, std::size_t limit);
// A number in full-width digits (UTF-8), as the messages write their limits.
std::string FullWidthDec(long long value);
// Position of the first occurrence of `needle` in `text` that starts on a
// Shift-JIS character boundary, or npos. An empty needle is never found.
std::size_t SjisFind(std::string_view text, std::string_view needle, std::size_t from = 0);

// Length of the UTF-8 character that starts at `pos` (1 for a byte that does
// not begin a well-formed sequence). File names on this platform are UTF-8.
std::size_t Utf8CharLength(std::string_view text, std::size_t pos);
// The longest prefix of `text` of at most `limit` bytes that does not cut a
// UTF-8 character in two (a file name cut to fit).
std::string_view Utf8Prefix(std::string_view text, std::size_t limit);

// Parses a whole text as an integer with an optional sign; false when it is
// not one or does not fit an int, and `value` is left as it was.
//  - Decimal: decimal digits, blanks (" ") allowed before the number only;
//  - Profile: the numbers of a settings file: decimal, or hexadecimal after
//    "$" or "0x"/"0X", blanks and tabs allowed around the number.
enum class IntForm { Decimal, Profile };
bool ParseInt(std::string_view text, int& value, IntForm form = IntForm::Decimal);

}  // namespace cavel
