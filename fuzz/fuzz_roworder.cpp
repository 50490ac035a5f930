// The row order editor driven by any sequence of operations.
//
// Input: a header byte (bits 6 and 7: start from a Document a few lines short
// of the line limit), the current line, the number of lines taken from the
// input, those lines (each ended by CR), then one byte per operation.
//
// Checked after every operation:
// - the rows are the rows before with exactly the change the operation
//   reports (two neighbours swapped, one row inserted, one removed) and
//   nothing else; an inserted row is the held line (paste) or an empty
//   record of the cursor line's shape (add);
// - LineCount() is the number of rows and never exceeds 30000; an insert at
//   the limit is refused with a message and changes nothing;
// - the cursor is on a row (-1 only without rows) and stays on its line
//   through an insert;
// - a save hands the rows to the Document with CurrentLine at the cursor,
//   and a later Open starts again from them.
#include <algorithm>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "core/Messages.h"
#include "core/RowOrder.h"

using namespace cavel;
using namespace cavel::fuzz;

namespace {

// Applies `change` to `rows`; `inserted` is the new row.
void Apply(Lines& rows, ListChange change, const std::string& inserted) {
  switch (change.kind) {
    case ListChange::Kind::None: break;
    case ListChange::Kind::Swapped:
      FUZZ_CHECK(change.row >= 0 && change.row + 1 < static_cast<int>(rows.size()));
      rows.SwapLines(static_cast<std::size_t>(change.row), static_cast<std::size_t>(change.row) + 1);
      break;
    case ListChange::Kind::Inserted:
      FUZZ_CHECK(change.row >= 0 && change.row <= static_cast<int>(rows.size()));
      rows.insert(rows.begin() + change.row, Line(inserted));
      break;
    case ListChange::Kind::Removed:
      FUZZ_CHECK(change.row >= 0 && change.row < static_cast<int>(rows.size()));
      rows.erase(rows.begin() + change.row);
      break;
  }
}

// The rows around `row` are those of the expected list.
void CheckNear(const Lines& rows, const Lines& expected, int row) {
  for (int r = std::max(row - 1, 0); r <= row + 1 && r < static_cast<int>(rows.size()); ++r)
    FUZZ_CHECK(rows[r] == expected[r]);
}

void CheckCursor(const RowOrder& model) {
  FUZZ_CHECK(model.LineCount() == static_cast<int>(model.Rows().size()));
  FUZZ_CHECK(model.LineCount() <= static_cast<int>(kMaxLines));
  if (model.LineCount() == 0)
    FUZZ_CHECK(model.Cursor() == -1);
  else
    FUZZ_CHECK(model.Cursor() >= 0 && model.Cursor() < model.LineCount());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in(data, size);
  const std::uint8_t header = in.Byte();
  MainState state;
  state.CurrentLine = static_cast<std::int16_t>(in.Word());
  const std::size_t taken = in.Byte() % 16;
  if ((header & 0xC0) == 0xC0) state.Document = Lines(kMaxLines - (header & 7), Line("a,b"));
  for (std::size_t i = 0; i < taken && !in.empty(); ++i) state.Document.push_back(Line(in.Until('\r', 9000)));
  if (state.Document.size() > kMaxLines) state.Document.resize(kMaxLines);

  RowOrder model;
  model.Open(state);
  FUZZ_CHECK(model.Rows() == state.Document);
  FUZZ_CHECK(!model.PasteEnabled());
  CheckCursor(model);
  if (model.LineCount() > 0) FUZZ_CHECK(model.Cursor() == std::clamp(state.CurrentLine, 0, model.LineCount() - 1));

  // The rows as they should be, changed alongside the model. A small list is
  // compared whole after every operation, a large one around the change and
  // whole at every save, every Open and the end.
  Lines expected = state.Document;
  const bool large = expected.size() > 1000;
  int budget = large ? 24 : 4096;
  while (!in.empty() && budget-- > 0) {
    const std::uint8_t op = in.Byte();
    const Lines& before = expected;
    const int cursor = model.Cursor();
    const std::string atCursor = cursor >= 0 ? std::string(before[static_cast<std::size_t>(cursor)].view())
                                             : std::string();
    const std::string held(model.HeldLine().view());
    const bool pasteEnabled = model.PasteEnabled();
    RecordingDialogs dialogs;
    ListChange change;
    std::string inserted;
    bool atLimit = before.size() >= kMaxLines;
    switch (op % 13) {
      case 0: model.SetCursor(static_cast<int>(static_cast<std::int8_t>(in.Byte())) * 37 + in.Byte()); break;
      case 1:
      case 2: change = ListCommand(model, op % 13 - 1); break;
      case 3:
        model.Copy();
        if (cursor >= 0) FUZZ_CHECK(model.HeldLine() == atCursor && model.PasteEnabled());
        break;
      case 4:
        change = model.Cut();
        if (change) FUZZ_CHECK(model.HeldLine() == atCursor && model.PasteEnabled());
        break;
      case 5: change = model.Delete(); break;
      case 6:
      case 7:
        change = op % 13 == 6 ? model.PrevPaste(dialogs) : model.NextPaste(dialogs);
        inserted = held;
        if (pasteEnabled && cursor >= 0) {
          FUZZ_CHECK(bool(change) == !atLimit);
          FUZZ_CHECK(dialogs.shown.size() == (atLimit ? 1u : 0u));
        } else {
          FUZZ_CHECK(!change && dialogs.shown.empty());
        }
        break;
      case 8:
      case 9: {
        change = op % 13 == 8 ? model.PrevAdd(dialogs) : model.NextAdd(dialogs);
        if (cursor >= 0 && !atLimit) {
          RecordingDialogs quiet;
          LineScan scan;
          bool passes = CheckLine(atCursor, cursor, quiet, scan);
          FUZZ_CHECK(bool(change) == passes);
          inserted = scan.separators.empty() ? "@" : std::string(scan.separators.size(), ',');
        } else {
          FUZZ_CHECK(!change);
          FUZZ_CHECK(dialogs.shown.size() == (cursor >= 0 ? 1u : 0u));
        }
        break;
      }
      case 10: {
        bool saved = model.Save(state, dialogs);
        FUZZ_CHECK(saved && dialogs.shown.empty());
        FUZZ_CHECK(state.Document == before);
        FUZZ_CHECK(state.CurrentLine == cursor);
        FUZZ_CHECK(state.DocumentChanged == 1);
        FUZZ_CHECK(model.LineCount() == 0 && model.Cursor() == -1 && !model.PasteEnabled());
        model.Open(state);
        FUZZ_CHECK(model.Rows() == state.Document);
        CheckCursor(model);
        continue;
      }
      case 11: {
        int line = state.CurrentLine;
        model.Cancel(state);
        FUZZ_CHECK(state.CurrentLine == (cursor >= 0 && cursor <= line ? cursor : line));
        continue;
      }
      case 12:
        FUZZ_CHECK(model.Rows() == expected);
        model.Open(state);
        expected = state.Document;
        FUZZ_CHECK(model.Rows() == expected);
        FUZZ_CHECK(model.HeldLine() == held);
        CheckCursor(model);
        continue;
    }
    Apply(expected, change, inserted);
    FUZZ_CHECK(model.LineCount() == static_cast<int>(expected.size()));
    CheckCursor(model);
    if (large) {
      CheckNear(model.Rows(), expected, change.row);
      CheckNear(model.Rows(), expected, model.Cursor());
    } else {
      FUZZ_CHECK(model.Rows() == expected);
    }
    if (change.kind == ListChange::Kind::Inserted) FUZZ_CHECK(model.Rows()[model.Cursor()] == atCursor);
    if (change.kind == ListChange::Kind::Swapped) FUZZ_CHECK(model.Rows()[model.Cursor()] == atCursor);
    if (!change && op % 13 != 0) FUZZ_CHECK(model.Cursor() == cursor);
  }
  FUZZ_CHECK(model.Rows() == expected);
  return 0;
}
