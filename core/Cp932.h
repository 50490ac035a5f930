// Code page 932 (Shift-JIS as Windows writes it) against UTF-8.
//
// The mapping is ICU's "windows-31j" converter, the one the views decode
// with, read once into two flat tables. Only mappings that go both ways are
// used: a character reaches a code only when that code decodes back to it
// (U+301C, which the converter reaches only through a fallback, has no
// code), so UTF-8 converted to code page 932 converts back to the very same
// bytes. A character with several codes (∵ at 81 E6, 87 9A and FA 5B) is
// given the one the converter writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cavel {

// ---- UTF-8 to code page 932 ----------------------------------------------------------

// What ended a conversion from UTF-8 before the end of its input.
enum class Utf8Stop {
  None,        // every byte was converted
  Incomplete,  // a sequence that the input's end cuts short (more may follow)
  Invalid,     // a byte that no well-formed sequence takes
  Unmappable,  // a character that code page 932 does not hold
};

struct Utf8Converted {
  std::size_t read = 0;     // bytes of input converted, up to the stop
  std::size_t written = 0;  // bytes of output
  Utf8Stop stop = Utf8Stop::None;
  char32_t character = 0;  // Unmappable: the character
  bool nonAscii = false;   // a character past ASCII was converted
};

// Converts the UTF-8 at `in` into code page 932 at `out` until the input
// ends or a sequence cannot be converted. The output is never longer than
// the input read, so `out` may be `in`, or lie before it in the same buffer.
Utf8Converted Utf8ToCp932(const char* in, std::size_t size, char* out);

// The well-formed UTF-8 sequence at the start of `bytes`: its length, and its
// character in `character`; 0 when the bytes are not one, -1 when they are
// well-formed as far as they go but end first.
int Utf8Sequence(std::string_view bytes, char32_t& character);
// Whether all of `bytes` is well-formed UTF-8.
bool WellFormedUtf8(std::string_view bytes);

// ---- code page 932 to UTF-8 ------------------------------------------------------

struct Cp932Measured {
  std::size_t utf8Size = 0;                  // bytes of UTF-8 up to the first fault
  std::size_t bad = std::string_view::npos;  // where a byte that is no character stands
};

// Walks code page 932 bytes: the size of their UTF-8, and the first byte
// (or pair) that is not a character of the code page.
Cp932Measured MeasureCp932(std::string_view bytes);
// Writes the UTF-8 of `bytes` at `out` and returns the end of what it wrote.
// Every character must be one of the code page (MeasureCp932 found no fault):
// what is not is left out.
char* Cp932ToUtf8(std::string_view bytes, char* out);
std::string Cp932ToUtf8(std::string_view bytes);

// The length of the run of ASCII bytes (below 0x80) that `bytes` start with.
std::size_t AsciiPrefix(std::string_view bytes);

// A file name's bytes as text to show, in UTF-8: each part between slashes
// as it is when it is UTF-8, else read as code page 932 when every byte of
// it is a character there (names unpacked from old archives); a byte that
// is neither shows as U+FFFD. The name itself stays the bytes the system
// gave.
std::string ReadableFileName(std::string_view bytes);

// ---- single codes ----------------------------------------------------------------------

// The code of `c` (a byte below 0x100, lead << 8 | trail above), 0 when the
// code page has none. U+0000 is the byte 0 and answers 0 as well.
std::uint16_t Cp932Code(char32_t c);
// Whether `code` (as above) is a character of the code page.
bool Cp932Valid(std::uint16_t code);

}  // namespace cavel
