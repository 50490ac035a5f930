// The item editor driven by any sequence of operations.
//
// Input: a header byte (bit k answers the k-th question: set はい(&Y)), the
// current line, the number of lines, those lines (each ended by CR), then one
// byte per operation (and a second byte for the operations that take one).
//
// Checked:
// - Open succeeds exactly when the current line exists and passes the line
//   checks, with one entry per item in their order, "NN : item";
// - the order table always holds distinct item numbers of the reference
//   line, at least one once open, and changes only as the operation reports;
// - a save either changes nothing (Document and DocumentChanged) or rebuilds
//   every line: each line's items in the order of the table (an item it
//   does not have empty), or the new first item in front; it refuses exactly
//   when a line fails its checks, a rebuilt line would be too long, would
//   fail the comma, quote or item checks, or would not split into the items
//   it was built from;
// - when every line of the Document passes the loader's checks, every line
//   a save writes into it does too, so that the file saved from it can be
//   opened again.
#include <algorithm>
#include <cstdint>
#include <set>
#include <string>

#include "FuzzSupport.h"
#include "core/ItemOrder.h"
#include "core/Messages.h"
#include "core/Text.h"

using namespace cavel;
using namespace cavel::fuzz;

namespace {

FUZZ_PLAIN bool PassesLoaderChecks(std::string_view line) {
  RecordingDialogs quiet;
  LineScan scan;
  bool failed = false;
  ScanLine(line, 0, ScanOptions{kMaxItems, true, true}, quiet, failed, scan);
  return !failed && line.size() <= kMaxLineBytes;
}

FUZZ_PLAIN bool PassesCheckLine(std::string_view line) {
  RecordingDialogs quiet;
  LineScan scan;
  return CheckLine(line, 0, quiet, scan);
}

// The rebuilt Document the save should make, or false when it should refuse.
FUZZ_PLAIN bool ExpectedSave(const Lines& document, const std::vector<int>& order, Lines& out) {
  out.clear();
  for (const Line& line : document) {
    if (!PassesCheckLine(line.view())) return false;
    auto items = SplitItems(line.view());
    std::vector<std::string_view> picked;
    for (int k : order) picked.push_back(k <= static_cast<int>(items.size()) ? items[k - 1] : std::string_view());
    std::string rebuilt = Join(picked);
    if (rebuilt.size() > kMaxLineBytes) return false;
    if (SplitItems(rebuilt).size() != order.size()) return false;
    if (!PassesCheckLine(rebuilt)) return false;
    out.push_back(Line(rebuilt));
  }
  return true;
}

FUZZ_PLAIN bool ExpectedPrefixSave(const Lines& document, std::string_view prefix, Lines& out) {
  out.clear();
  for (const Line& line : document) {
    if (prefix.size() + line.size() > kMaxLineBytes || !PassesCheckLine(line.view())) return false;
    if (SplitItems(line.view()).size() >= static_cast<std::size_t>(kMaxItems)) return false;
    const std::string prefixed = std::string(prefix) + std::string(line.view());
    if (!PassesCheckLine(prefixed)) return false;
    out.push_back(Line(prefixed));
  }
  return true;
}

FUZZ_PLAIN void CheckOrder(const ItemOrder& model, bool open) {
  const std::vector<int>& order = model.Order();
  FUZZ_CHECK(model.EntryCount() == static_cast<int>(order.size()));
  std::set<int> seen(order.begin(), order.end());
  FUZZ_CHECK(seen.size() == order.size());
  for (int k : order) FUZZ_CHECK(k >= 1 && k <= model.OpeningCount());
  if (open) {
    FUZZ_CHECK(!order.empty());
    FUZZ_CHECK(model.Cursor() >= 0 && model.Cursor() < model.EntryCount());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in(data, size);
  const std::uint8_t answers = in.Byte();
  int asked = 0;
  MainState state;
  state.CurrentLine = in.Byte() % 20;
  const std::size_t count = in.Byte() % 20;
  for (std::size_t i = 0; i < count && !in.empty(); ++i) state.Document.push_back(Line(in.Until('\r', 9000)));

  ItemOrder model;
  bool open = false;
  std::vector<std::string> items;
  auto doOpen = [&] {
    RecordingDialogs dialogs;
    open = model.Open(state, dialogs);
    const int line = state.CurrentLine;
    bool exists = line >= 0 && static_cast<std::size_t>(line) < state.Document.size();
    FUZZ_CHECK(open == (exists && PassesCheckLine(state.Document[line].view())));
    FUZZ_CHECK(open || model.EntryCount() == 0);
    if (!open) return;
    items.clear();
    for (auto item : SplitItems(state.Document[line].view())) items.emplace_back(item);
    FUZZ_CHECK(model.OpeningCount() == static_cast<int>(items.size()));
    FUZZ_CHECK(model.EntryCount() == model.OpeningCount());
    for (int row = 0; row < model.EntryCount(); ++row) {
      FUZZ_CHECK(model.EntryNumber(row) == row + 1);
      FUZZ_CHECK(model.Entry(row) == Dec2(row + 1) + " : " + items[row]);
    }
  };
  doOpen();

  // A save goes over every line twice (the model and the check): a few per input.
  int saves = 12;
  while (!in.empty()) {
    const std::uint8_t op = in.Byte();
    if (op % 8 >= 4 && op % 8 <= 6 && saves-- <= 0) continue;
    const std::vector<int> before = model.Order();
    const int cursor = model.Cursor();
    ListChange change;
    switch (op % 8) {
      case 0: model.SetCursor(static_cast<std::int8_t>(in.Byte())); break;
      case 1:
      case 2:
      case 3: change = ListCommand(model, op % 8 - 1); break;
      case 4:
      case 5:
      case 6: {
        const Lines document = state.Document;
        state.DocumentChanged = 0;
        RecordingDialogs dialogs;
        dialogs.answer = [&](const std::string&, MsgKind, MsgButtons buttons) {
          if (buttons != (mbYes | mbNo)) return ButtonsInOrder(buttons).front();
          return answers >> (asked++ % 8) & 1 ? mbYes : mbNo;
        };
        const int askedBefore = asked;
        Lines expected;
        bool expectOk;
        bool saved;
        if (op % 8 == 4) {
          expectOk = open && ExpectedSave(document, model.Order(), expected);
          saved = model.Save(state, dialogs);
        } else {
          std::string_view prefix = op % 8 == 5 ? "," : "\"1\",";
          bool yes = answers >> (askedBefore % 8) & 1;
          // The window is only shown after a successful Open; the model itself
          // does not need one for these two saves.
          expectOk = model.OpeningCount() < kMaxItems && yes && ExpectedPrefixSave(document, prefix, expected);
          saved = op % 8 == 5 ? model.AddSave(state, dialogs) : model.SpecialSave(state, dialogs);
        }
        FUZZ_CHECK(saved == expectOk);
        if (!saved) {
          FUZZ_CHECK(state.Document == document);
          FUZZ_CHECK(state.DocumentChanged == 0);
          break;
        }
        FUZZ_CHECK(state.Document == expected);
        FUZZ_CHECK(state.DocumentChanged == 1);
        // A Document that a file gave stays one that a file can give.
        if (std::all_of(document.begin(), document.end(),
                        [](const Line& line) { return PassesLoaderChecks(line.view()); }))
          for (const Line& line : state.Document) FUZZ_CHECK(PassesLoaderChecks(line.view()));
        break;
      }
      case 7:
        state.CurrentLine = static_cast<int>(in.Byte() % (state.Document.size() + 2)) - 1;
        doOpen();
        CheckOrder(model, open);
        continue;
    }
    CheckOrder(model, open);
    std::vector<int> expected = before;
    switch (change.kind) {
      case ListChange::Kind::None: break;
      case ListChange::Kind::Swapped: std::swap(expected[change.row], expected[change.row + 1]); break;
      case ListChange::Kind::Removed: expected.erase(expected.begin() + change.row); break;
      case ListChange::Kind::Inserted: FUZZ_CHECK(false); break;
    }
    FUZZ_CHECK(model.Order() == expected);
    if (change.kind == ListChange::Kind::Swapped) FUZZ_CHECK(model.EntryNumber(model.Cursor()) == before[cursor]);
  }
  return 0;
}
