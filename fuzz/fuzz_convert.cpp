// The conversion between UTF-8 and code page 932 both ways, and the
// judging of an encoding, on any bytes.
//
// The input is taken as UTF-8 and as code page 932, and checked:
// - UTF-8 to code page 932 converts exactly: what it wrote converts back to
//   the very bytes it read; it stops only where it says (the end, a sequence
//   cut short, a byte no sequence takes, or a character the code page has
//   no code for); converting in place writes the same; and ICU's own
//   decoding of what it wrote is ICU's decoding of what it read (control
//   characters aside, which stay as they are);
// - code page 932 to UTF-8 finds the first byte that is no character, and
//   before it writes well-formed UTF-8 that ICU's windows-31j converter
//   agrees with, that converts back to code page 932 without a stop, and
//   whose second round trip changes nothing;
// - the judge gives the same verdict however the bytes are cut in two.
#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <cstdint>
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "core/Cp932.h"
#include "core/Encoding.h"

using namespace cavel;

namespace {

// The control bytes as one letter: the converter maps some of them to other
// control characters, as IBM's code pages do, where code page 932 and the
// program keep them as they are. A control byte is never part of a
// character of two bytes, in either encoding.
FUZZ_PLAIN std::string NoControls(std::string_view bytes) {
  std::string out(bytes);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return out;
}

// ICU's own readings: windows-31j bytes, and UTF-8, as UTF-16.
FUZZ_PLAIN std::u16string FromCp932(std::string_view raw) {
  const std::string bytes = NoControls(raw);
  static UConverter* const converter = [] {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* c = ucnv_open("windows-31j", &status);
    ucnv_setToUCallBack(c, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    FUZZ_CHECK(U_SUCCESS(status));
    return c;
  }();
  std::u16string out(bytes.size() + 1, u'\0');
  UErrorCode status = U_ZERO_ERROR;
  ucnv_resetToUnicode(converter);
  const int32_t n = ucnv_toUChars(converter, out.data(), static_cast<int32_t>(out.size()), bytes.data(),
                                  static_cast<int32_t>(bytes.size()), &status);
  FUZZ_CHECK(U_SUCCESS(status));
  out.resize(static_cast<std::size_t>(n));
  return out;
}

FUZZ_PLAIN std::u16string FromUtf8(std::string_view raw) {
  const std::string bytes = NoControls(raw);
  std::u16string out(bytes.size() + 1, u'\0');
  UErrorCode status = U_ZERO_ERROR;
  int32_t n = 0;
  u_strFromUTF8(out.data(), static_cast<int32_t>(out.size()), &n, bytes.data(), static_cast<int32_t>(bytes.size()),
                &status);
  FUZZ_CHECK(U_SUCCESS(status));
  out.resize(static_cast<std::size_t>(n));
  return out;
}

void CheckFromUtf8(std::string_view in) {
  std::string out(in.size(), '\0');
  const Utf8Converted c = Utf8ToCp932(in.data(), in.size(), out.data());
  FUZZ_CHECK(c.read <= in.size() && c.written <= c.read);
  out.resize(c.written);
  const std::string_view read = in.substr(0, c.read), rest = in.substr(c.read);
  FUZZ_CHECK(Cp932ToUtf8(out) == read);
  FUZZ_CHECK(MeasureCp932(out).bad == std::string_view::npos);
  FUZZ_CHECK(FromCp932(out) == FromUtf8(read));
  char32_t character = 0;
  switch (c.stop) {
    case Utf8Stop::None: FUZZ_CHECK(rest.empty()); break;
    case Utf8Stop::Incomplete: FUZZ_CHECK(Utf8Sequence(rest, character) < 0); break;
    case Utf8Stop::Invalid: FUZZ_CHECK(Utf8Sequence(rest, character) == 0); break;
    case Utf8Stop::Unmappable:
      FUZZ_CHECK(Utf8Sequence(rest, character) > 0);
      FUZZ_CHECK(character == c.character && Cp932Code(character) == 0);
      break;
  }
  std::string inPlace(in);
  const Utf8Converted p = Utf8ToCp932(inPlace.data(), inPlace.size(), inPlace.data());
  FUZZ_CHECK(p.read == c.read && p.stop == c.stop && inPlace.substr(0, p.written) == out);
}

void CheckFromCp932(std::string_view in) {
  const Cp932Measured m = MeasureCp932(in);
  const std::string_view good = in.substr(0, std::min(m.bad, in.size()));
  if (m.bad != std::string_view::npos) FUZZ_CHECK(MeasureCp932(in.substr(m.bad)).bad == 0);
  const std::string utf8 = Cp932ToUtf8(good);
  FUZZ_CHECK(utf8.size() == MeasureCp932(good).utf8Size && WellFormedUtf8(utf8));
  FUZZ_CHECK(FromUtf8(utf8) == FromCp932(good));
  std::string back(utf8.size(), '\0');
  const Utf8Converted c = Utf8ToCp932(utf8.data(), utf8.size(), back.data());
  FUZZ_CHECK(c.stop == Utf8Stop::None);
  back.resize(c.written);
  FUZZ_CHECK(Cp932ToUtf8(back) == utf8);
}

void CheckJudge(std::string_view in, std::size_t cut) {
  if (in.substr(0, kByteOrderMark.size()) == kByteOrderMark) return;
  const TextEncoding whole = DetectEncoding(in);
  EncodingJudge judge;
  judge.Feed(in.substr(0, cut));
  judge.Feed(in.substr(cut));
  FUZZ_CHECK(judge.Verdict(WellFormedUtf8(in)) == whole);
  if (whole == TextEncoding::Utf8) FUZZ_CHECK(WellFormedUtf8(in) && AsciiPrefix(in) < in.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte says where the judge's input is cut.
  const std::size_t cut = data[0] % size;
  const std::string_view in(reinterpret_cast<const char*>(data) + 1, size - 1);
  CheckFromUtf8(in);
  CheckFromCp932(in);
  CheckJudge(in, std::min(cut, in.size()));
  return 0;
}
