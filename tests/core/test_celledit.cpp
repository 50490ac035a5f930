#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "StateSupport.h"
#include "core/CellEdit.h"
#include "core/Messages.h"

namespace cavel {
namespace {

using test::Refusals;
using test::StateWith;
using Texts = std::vector<std::string>;

Texts TextsOf(const Lines& lines) {
  Texts texts;
  for (const Line& line : lines) texts.emplace_back(line.view());
  return texts;
}

const Lines kDocument = {"t1,t2,t3", "a,\"b\",c", "d,e,\"f,g\"", "g,h"};

// Runs `change` on a state holding `document`. A change that passes is one
// undo step, which gives the document back; a refusal changes nothing.
// Returns the lines after it, or the refusals.
Texts Change(const Lines& document, const std::function<bool(MainState&, Dialogs&)>& change) {
  MainState state = StateWith(document);
  ScriptedDialogs dialogs;
  if (!change(state, dialogs)) {
    EXPECT_TRUE(state.Document == document);
    EXPECT_FALSE(state.Undo.CanUndo());
    return Refusals(dialogs);
  }
  EXPECT_TRUE(dialogs.shown().empty());
  EXPECT_EQ(state.Undo.UndoCount(), 1u);
  const Texts after = TextsOf(state.Document);
  EXPECT_TRUE(UndoChange(state) && state.Document == document);
  return after;
}

Texts With(std::size_t line, const std::string& text, const Lines& document = kDocument) {
  Texts lines = TextsOf(document);
  lines[line] = text;
  return lines;
}

TEST(CellEdit, TheChangedLineIsCheckedAsTheRecordWindowChecksIt) {
  const std::string long4096(4096, 'a'), long4090(4090, 'b');
  const Lines limits = {"t", long4096 + "," + long4090 + ",c"};  // 8189 bytes
  const struct {
    Lines document;
    int line, item;
    std::string bytes;
    ItemLineBreaks breaks;
    Texts result;
  } cases[] = {
      {kDocument, 1, 2, "\"x,y\"", ItemLineBreaks::HeldAsLf, With(1, "a,\"x,y\",c")},
      {kDocument, 1, 3, "\"odd", ItemLineBreaks::HeldAsLf, With(1, "a,\"b\",\"odd")},  // the last item may
      {kDocument, 1, 2, "\"l1\nl2\"", ItemLineBreaks::HeldAsLf, With(1, "a,\"l1\nl2\",c")},
      {kDocument, 1, 2, "\"l1\nl2\"", ItemLineBreaks::Refused, {msg::CharNotHeld(1, 2, U'\n')}},
      {kDocument, 1, 1, "\nx", ItemLineBreaks::HeldAsLf, {msg::CharNotHeld(1, 1, U'\n')}},
      {kDocument, 1, 2, "x\ry", ItemLineBreaks::HeldAsLf, {msg::CharNotHeld(1, 2, U'\r')}},
      {kDocument, 1, 2, "x\x1Ay", ItemLineBreaks::HeldAsLf, {msg::CharNotHeld(1, 2, U'\x1A')}},
      {kDocument, 3, 3, "x", ItemLineBreaks::HeldAsLf, {msg::PastLastItem(3, 2)}},
      // A cell is one item: the items after it may not move, even where
      // their number stays the same (a | "b,e,"f | g").
      {kDocument, 1, 1, "x,y", ItemLineBreaks::HeldAsLf, {msg::ItemBoundsChanged(1, 1)}},
      {kDocument, 2, 1, "a,\"b", ItemLineBreaks::HeldAsLf, {msg::ItemBoundsChanged(2, 1)}},
      {kDocument, 1, 1, std::string(4097, 'x'), ItemLineBreaks::HeldAsLf, {msg::ItemLength(1, 1)}},
      {kDocument, 1, 1, std::string(255, '"'), ItemLineBreaks::HeldAsLf, {msg::QuoteCount(1)}},
      {limits, 1, 3, "cccc", ItemLineBreaks::HeldAsLf, With(1, long4096 + "," + long4090 + ",cccc", limits)},
      {limits, 1, 3, "ccccc", ItemLineBreaks::HeldAsLf, {std::string(msg::kRecordTooLong)}},
  };
  for (const auto& c : cases) {
    const auto edit = [&](MainState& s, Dialogs& d) { return EditCell(s, d, c.line, c.item, c.bytes, c.breaks); };
    EXPECT_EQ(Change(c.document, edit), c.result) << c.line << "," << c.item << " " << c.bytes.substr(0, 20);
  }
}

TEST(CellEdit, PasteQuotesEachValueAsTheItemItReplacesOrAsItNeeds) {
  const std::string v4000(4000, 'v');
  const struct {
    std::string text;
    CellRange selection;
    ItemLineBreaks breaks;
    Texts result;
  } cases[] = {
      {"x\ty,z\nq\"r\t\"l1\r\nl2\"",
       {1, 1, 2, 2},
       ItemLineBreaks::HeldAsLf,
       {"t1,t2,t3", "a,\"x\",\"y,z\"", "d,\"q\"\"r\",\"l1\nl2\"", "g,h"}},
      // Ragged rows write as far as they go; one value fills a selection.
      {"1\t2\n3", {1, 1, 1, 1}, ItemLineBreaks::HeldAsLf, {"t1,t2,t3", "1,\"2\",c", "3,e,\"f,g\"", "g,h"}},
      {"v\n", {1, 2, 2, 3}, ItemLineBreaks::HeldAsLf, {"t1,t2,t3", "a,\"v\",v", "d,v,\"v\"", "g,h"}},
      {"", {1, 1, 1, 1}, ItemLineBreaks::HeldAsLf, {std::string(msg::kNothingToPaste)}},
      {"1\n2\n3", {2, 2, 1, 1}, ItemLineBreaks::HeldAsLf, {msg::PastePastLastLine(3, 1, 3)}},
      {"1\t2", {3, 3, 2, 2}, ItemLineBreaks::HeldAsLf, {msg::PastePastLastItem(1, 2, 3, 2)}},
      {"v", {2, 3, 2, 3}, ItemLineBreaks::HeldAsLf, {msg::PastePastLastItem(2, 2, 3, 2)}},
      {"\"l1\nl2\"", {1, 1, 1, 1}, ItemLineBreaks::Refused, {msg::CharNotHeld(1, 1, U'\n')}},
      {"a\x1A", {1, 1, 1, 1}, ItemLineBreaks::HeldAsLf, {msg::CharNotHeld(1, 1, U'\x1A')}},
      {v4000 + "\t" + v4000 + "\t" + v4000, {1, 1, 1, 1}, ItemLineBreaks::HeldAsLf, {msg::ConvertedLineTooLong(1)}},
      // Enclosed as "b" was, 4095 bytes make a 4097-byte item.
      {std::string(4095, 'v'), {1, 1, 2, 2}, ItemLineBreaks::HeldAsLf, {msg::ItemLength(1, 2)}},
  };
  for (const auto& c : cases) {
    const PastedCells cells = ParsePasted(c.text);
    const auto paste = [&](MainState& s, Dialogs& d) { return PasteCells(s, d, cells, c.selection, c.breaks); };
    EXPECT_EQ(Change(kDocument, paste), c.result) << c.text.substr(0, 20);
  }
}

TEST(CellEdit, DeleteEmptiesItemsAndKeepsTheirQuotes) {
  const auto del = [](const CellRange& range) {
    return [range](MainState& s, Dialogs&) { return DeleteCells(s, range); };
  };
  EXPECT_EQ(Change(kDocument, del({1, 3, 2, 3})), (Texts{"t1,t2,t3", "a,\"\",", "d,,\"\"", "g,"}));
  EXPECT_EQ(Change({"t", ",\"\""}, del({1, 1, 1, 2})), Texts{});  // empty already: no step, no message
}

}  // namespace
}  // namespace cavel
