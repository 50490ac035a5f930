// The item editor: the items of one reference line as a list of entries
// "NN : item" that the user reorders and thins out; saving rebuilds every
// line of the Document in that order. Two further saves put a new first
// item in front of every line.
//
// The window shows Entry(0) ... Entry(EntryCount() - 1) with Cursor()
// selected and maps its buttons and keys to the operations. Each save
// either replaces the Document completely or leaves it untouched; the
// window closes after every save, whatever its outcome.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Dialogs.h"
#include "core/Document.h"
#include "core/EditorList.h"
#include "core/LineCheck.h"
#include "core/MainState.h"

namespace cavel {

class ItemOrder : public EditorList {
 public:
  // Reads the reference line, Document line CurrentLine, through the line
  // checks (their messages name CurrentLine). Returns false, with no entry,
  // when the line fails or there is no such line (an empty Document): the
  // window is then not shown.
  bool Open(const MainState& state, Dialogs& dialogs);

  int EntryCount() const { return static_cast<int>(order_.size()); }
  // The reference line's item count when it was read.
  int OpeningCount() const { return openingCount_; }
  // Row `row` of the list: the item number in two digits, " : ", the item
  // exactly as it stands in the reference line (Shift-JIS bytes).
  const std::string& Entry(int row) const { return entries_[static_cast<std::size_t>(row)]; }
  // The item number (1-based) that row `row` stands for.
  int EntryNumber(int row) const { return order_[static_cast<std::size_t>(row)]; }
  // The order table: the item numbers in list order.
  const std::vector<int>& Order() const { return order_; }

  int RowCount() const override { return EntryCount(); }
  std::string_view RowText(int row) const override { return Entry(row); }

  // Up, Down and Delete: EditorList's, on the entries and the order table together.

  // 保存: every line rebuilt from its items in the order of the table (an
  // item number beyond a line's items gives an empty item). Each line is
  // checked first; a failing line, or a rebuilt line over 8192 bytes or
  // (with the commas of the empty items it gained) over the comma limit,
  // refuses the whole save.
  bool Save(MainState& state, Dialogs& dialogs);
  // 追加保存: an empty first item in front of every line, after the 64-item
  // refusal and the question; the list's order is not applied. A line that
  // the new item would take past the comma or quote limit refuses the save.
  bool AddSave(MainState& state, Dialogs& dialogs);
  // 特殊保存: the first item "1" (in double quotes) in front of every line.
  bool SpecialSave(MainState& state, Dialogs& dialogs);

 private:
  void SwapRows(int a, int b) override;
  void EraseRow(int row) override;
  bool PrefixSave(MainState& state, Dialogs& dialogs, std::string_view question, std::string_view prefix);

  std::vector<std::string> entries_;  // the rows of the list, in list order
  std::vector<int> order_;            // the item number of each row
  int openingCount_ = 0;
  LineScan scan_;
};

}  // namespace cavel
