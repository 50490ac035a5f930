// Telling a file written in UTF-8 from one in Shift-JIS.
//
// The program holds every file as Shift-JIS bytes. A file that is plainly
// UTF-8 still loads byte for byte, but its text shows garbled and anything
// typed into it is written as Shift-JIS among the UTF-8 bytes, so the user
// is told.
#pragma once

#include <string_view>

#include "core/Dialogs.h"
#include "core/Document.h"

namespace cavel {

// True when `bytes` begin with the UTF-8 byte-order mark, or when they are
// well-formed UTF-8 throughout and hold at least one multi-byte sequence
// that Shift-JIS would not plausibly produce. A pair of half-width katakana
// (0xC2-0xDF then 0xA1-0xBF) is also a well-formed two-byte sequence and
// does not count. Shift-JIS text with kanji or kana of two bytes is never
// well-formed UTF-8: its lead bytes 0x81-0x9F are continuation bytes there,
// and its trail bytes include ASCII (0x40-0x7E, among them 0x5C and 0x7C).
bool PlainlyUtf8(std::string_view bytes);
// The same for a file's lines (line ends are ASCII and split no sequence).
bool PlainlyUtf8(const Lines& lines);

// After a file has loaded: when its lines are plainly UTF-8, the notice
// "    このファイルは UTF-8 で書かれているようです。" ... (information, OK).
// True when it was shown.
bool TellIfUtf8(const Lines& lines, Dialogs& dialogs);

}  // namespace cavel
