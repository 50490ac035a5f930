#include "core/FileFormat.h"

#include "core/Messages.h"

namespace cavel {

std::string_view LineEndBytes(LineEnd lineEnd) {
  switch (lineEnd) {
    case LineEnd::CrLf: return "\r\n";
    case LineEnd::Cr: return "\r";
    case LineEnd::Lf: return "\n";
  }
  return "\r\n";
}

std::string_view EncodingKey(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::ShiftJis: return "shift_jis";
    case TextEncoding::Utf8: return "utf-8";
    case TextEncoding::Utf8Bom: return "utf-8-bom";
  }
  return "shift_jis";
}

std::string_view LineEndKey(LineEnd lineEnd) {
  switch (lineEnd) {
    case LineEnd::CrLf: return "crlf";
    case LineEnd::Cr: return "cr";
    case LineEnd::Lf: return "lf";
  }
  return "crlf";
}

std::array<SaveType, 11> SaveAsTypes() {
  using E = TextEncoding;
  using L = LineEnd;
  // Shift-JIS and UTF-8 with the byte-order mark with CR LF are what
  // spreadsheets read; UTF-8 with LF is what most other programs write.
  constexpr FileFormat kOrder[] = {{E::ShiftJis, L::CrLf}, {E::Utf8Bom, L::CrLf}, {E::Utf8, L::Lf},
                                   {E::Utf8, L::CrLf},     {E::Utf8Bom, L::Lf},   {E::ShiftJis, L::Lf},
                                   {E::ShiftJis, L::Cr},   {E::Utf8, L::Cr},      {E::Utf8Bom, L::Cr}};
  std::array<SaveType, 11> types;
  types[0] = {std::string(msg::kFilterCsv), "*.CSV", std::nullopt};
  types[1] = {std::string(msg::kFilterAll), "*", std::nullopt};
  for (std::size_t i = 0; i < std::size(kOrder); ++i) types[i + 2] = {msg::FormatFilter(kOrder[i]), "*.CSV", kOrder[i]};
  return types;
}

FileFormat SaveAsFormat(std::size_t type, FileFormat own) {
  const std::array<SaveType, 11> types = SaveAsTypes();
  return type < types.size() ? types[type].format.value_or(own) : own;
}

}  // namespace cavel
