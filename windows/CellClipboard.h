// The grid's cells on the desktop's clipboard, both ways.
//
// Copying puts two forms: the cells as tab-separated Unicode text for
// other programs, and the items as Shift-JIS CSV under Cavel's own type,
// so that a paste into Cavel gets back exactly the bytes that were copied
// (other programs take text/csv for UTF-8, so that type is not used for
// Shift-JIS). A paste reads Cavel's own form first, else the text.
#pragma once

#include <optional>
#include <string_view>

#include "core/Clipboard.h"

namespace cavel {

class Dialogs;

// Cavel's own clipboard type: CSV lines in Shift-JIS, each ended by CR LF.
inline constexpr char kCellsMimeType[] = "application/x-cavel-sjis-csv";

// `text`: Shift-JIS bytes, offered decoded as Unicode text; `csv`: Shift-JIS
// bytes, offered as they are under kCellsMimeType.
void PutCellsOnClipboard(std::string_view text, std::string_view csv);

// The cells on the clipboard (none: an empty PastedCells). A text that
// Shift-JIS cannot hold is refused, naming its characters: nullopt.
std::optional<PastedCells> CellsFromClipboard(Dialogs& dialogs);

}  // namespace cavel
