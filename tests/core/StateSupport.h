// Small helpers shared by the editor-model tests.
#pragma once

#include <string>

#include "core/Dialogs.h"
#include "core/Document.h"
#include "core/MainState.h"

namespace cavel::test {

inline MainState StateWith(Lines document, int currentLine = 0) {
  MainState state;
  state.Document = std::move(document);
  state.CurrentLine = currentLine;
  state.DocumentChanged = 0;
  return state;
}

// `count` lines "line<i>" (the title line being line0).
inline Lines Numbered(std::size_t count) {
  Lines lines;
  lines.reserve(count);
  for (std::size_t i = 0; i < count; ++i) lines.push_back(Line("line" + std::to_string(i)));
  return lines;
}

// The texts of the messages shown, with their kind and buttons checked to be
// the refusal's (warning, 中止(&A) alone).
inline std::vector<std::string> Refusals(const ScriptedDialogs& dialogs) {
  std::vector<std::string> out;
  for (const auto& s : dialogs.shown()) {
    if (s.kind != MsgKind::Warning || s.buttons != mbAbort) {
      out.push_back("<not a refusal> " + s.text);
      continue;
    }
    out.push_back(s.text);
  }
  return out;
}

}  // namespace cavel::test
