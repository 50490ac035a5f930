// Telling from a file's bytes whether it is written in UTF-8 or Shift-JIS.
//
// A file that starts with the byte-order mark is UTF-8. Any other is
// Shift-JIS unless every byte of it is well-formed UTF-8 and it holds a
// character past ASCII. Short Shift-JIS texts can be well-formed UTF-8 too:
// 痼。 (E1 80 81 42) reads as U+1001 and "B". So a file whose bytes also read
// as Shift-JIS throughout stays Shift-JIS unless its UTF-8 reading is
// clearly the likelier Japanese text: each reading is weighed by what its
// characters cost in bits, by how often Japanese text uses characters of
// their kind (kana, punctuation and the first level of kanji cheap; the
// second level, rare rows and user-defined codes dear; in the UTF-8 reading
// a character that code page 932 lacks dearest, and a character past ASCII
// run into an ASCII letter a little dearer), and UTF-8 must come 8 bits
// cheaper. Each reading stops being weighed as soon as it fails, which for
// a real file of either kind is within its first characters past ASCII.
#pragma once

#include <string_view>

#include "core/FileFormat.h"

namespace cavel {

class EncodingJudge {
 public:
  // Reads the next bytes of the file (after a byte-order mark) both ways,
  // as long as both readings hold.
  void Feed(std::string_view bytes);
  // Whether both readings still hold; once one has failed Feed reads no more.
  bool Judging() const { return utf8Holds_ && sjisHolds_; }
  // Whether a byte past ASCII was fed (before it, a run of ASCII bytes
  // tells nothing).
  // The encoding once every byte was fed (Shift-JIS or UTF-8). `utf8Valid`:
  // every byte of the file is well-formed UTF-8, which the caller knows
  // (Feed no longer looks once the Shift-JIS reading fails).
  TextEncoding Verdict(bool utf8Valid) const;

 private:
  void ReadUtf8(std::string_view bytes);
  void ReadSjis(std::string_view bytes);
  void CountUtf8(char32_t c);

  // The UTF-8 reading: a sequence the last bytes fed began, its cost, and
  // whether its last character was past ASCII.
  unsigned char carry_[4] = {};
  int carried_ = 0;
  bool utf8Holds_ = true;
  bool lastPastAscii_ = false;
  long long utf8Cost_ = 0;
  // The Shift-JIS reading: a lead byte the last bytes fed ended with, its
  // cost, and the ASCII bytes it took as trail bytes (each a character of
  // its own in the UTF-8 reading).
  int lead_ = -1;
  bool sjisHolds_ = true;
  long long sjisCost_ = 0;
  long long asciiTrails_ = 0;
  bool pastAscii_ = false;  // a byte past ASCII was fed
};

// The encoding of a whole file's bytes: UTF-8 with a byte-order mark when
// they start with one, else as the judge finds.
TextEncoding DetectEncoding(std::string_view bytes);

}  // namespace cavel
