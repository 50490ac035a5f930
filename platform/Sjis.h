// Shift-JIS (code page 932) <-> QString at the widget boundary.
//
// Lines stay bytes everywhere else; a window decodes only what it paints and
// encodes only what the user typed. The tables are built once from Qt's
// "windows-31j" codec (ICU), so decoding and encoding are what Windows code
// page 932 does: 0x5C is the backslash, 0x7E the tilde, the NEC and IBM
// extension rows decode, and a character with two codes encodes to the one
// Windows writes (髙 to FB FC, ∵ to 81 E6).
#pragma once

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

namespace cavel {

// The text of Shift-JIS bytes. A byte or byte pair that is not a character of
// code page 932 (a stray trail byte, an unassigned code, a lead byte at the
// very end) shows as U+FFFD; the bytes themselves are never touched.
QString SjisDecode(std::string_view bytes);

// True when the byte pair (lead, trail) is a character of code page 932.
bool SjisValidPair(unsigned char lead, unsigned char trail);

struct SjisEncoded {
  std::string bytes;   // the Shift-JIS bytes, when every character could be encoded
  QString unmappable;  // the characters that Shift-JIS cannot hold, each once, in order
  bool ok() const { return unmappable.isEmpty(); }
};

// Encodes `text`. Characters that Shift-JIS cannot hold are not substituted:
// they are listed in `unmappable` and `bytes` is left empty.
SjisEncoded SjisEncode(QStringView text);

}  // namespace cavel
