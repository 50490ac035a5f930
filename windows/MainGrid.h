// The main window's grid view: the table view StringGrid1 with its model
// and frame over the grid's cells (windows/StringGrid.h), the window side
// of the grid fill (core/GridFill.h), what the main window asks of the
// grid (its current row, its corner, its column widths and the width
// commands), and the changes made in the grid: a cell edited in place, the
// clipboard's copy and paste, emptying cells (core/CellEdit.h).
#pragma once

#include <QModelIndex>
#include <QObject>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "core/CellEdit.h"
#include "core/GridFill.h"
#include "windows/CellEditor.h"

class QInputMethodEvent;
class QKeyEvent;
class QWidget;

namespace cavel {

class MainHost;
class StringGridFrame;
class StringGridModel;

class MainGrid : public QObject, public GridFillHost {
  Q_OBJECT
 public:
  static constexpr int kRowHeight = 24, kDesignColWidth = 84;

  // The view is made hidden, a child of `parent`.
  MainGrid(QWidget* parent, MainHost& main);
  // The view goes first: its model shows the cells that go with the grid.
  ~MainGrid() override;

  QTableView* View() const { return view_; }
  StringGridModel* Model() const { return model_; }
  const GridCells& Cells() const { return cells_; }

  // Fills the grid from the Document, with its captions and pauses.
  void Fill();
  // After a change of the Document that the main window shows at once
  // (LastChange): the changed rows show their new cells, with no fill and
  // no pause, the current cell kept. A grid that cannot follow (it was not
  // filled for the Document, or a fill stopped early) is filled again when
  // it is shown, at once when it is shown now.
  void FollowDocument();
  // Gives the grid `rows` empty rows (before any fill).
  void SetRowCount(int rows);
  int RowCount() const { return cells_.RowCount(); }
  // The current row (row i + 1 shows line i); 1 while there is none.
  int CurrentRow() const;
  // Makes `row` current in the current column, within the rows there are;
  // a grid that is shown scrolls to it.
  void SetCurrentRow(int row);
  // Makes the cell of item `item` (1..) in `row` current, as SetCurrentRow.
  void SetCurrentCell(int row, int item);
  // True when the grid's rows are those of `lines` lines.
  bool HoldsLines(int lines) const { return RowCount() == lines + 1; }
  // True when the grid shows the open file (cell (0, 0) is CurrentFileName).
  bool ShowsFile() const;
  // Cell (0, 0): the name of the file the grid was filled for.
  std::string CornerText() const;
  // One width per column, column 0 first.
  std::vector<int> ColumnWidths() const;
  // Sets the widths of the first columns, column 0 first.
  void SetColumnWidths(const std::vector<int>& widths);
  // Empties the cells of columns 0..cols-1 in rows 0..rows-1 that exist.
  void BlankCells(int cols, int rows);
  // Every column back to the default width ColWidth.
  void ResetWidths();

  // Ctrl+W: the remembered widths or the default ones, in turn.
  void ToggleWidths();
  // Ctrl+M: remembers the widths for the open file, after asking.
  void RememberWidths();
  // At exit: remembers the widths when the settings say so.
  void StoreWidthsAtExit();

  // ---- changes made in the grid ------------------------------------------------
  // The grid's own keys: F2 edits the current cell with the caret at the
  // end of its text, a typed character starts editing it with that
  // character, Delete empties the selected cells. True when the key was
  // used. A key the view gets while a cell editor is open (an input
  // method's composition keeps the focus on the view) goes to the editor.
  bool KeyDown(QKeyEvent& key);
  // The open cell editor; nullptr when none is open.
  CellEditor* Editor() const { return editor_; }
  // Writes an open editor's value as Enter does; true when no editor is
  // left open (none was, or the value was written or stood unchanged).
  bool CommitEdit();
  // Closes an open editor without writing (Esc, or the Document it was
  // opened on has gone).
  void DropEdit();
  // The selected rectangle of cells, the current cell when none is
  // selected; none without a current cell.
  std::optional<CellRange> SelectedCells() const;
  // The selected cells to the clipboard; the clipboard's cells into the
  // grid from the selection; the selected cells emptied. Each change is
  // one undo step, shown at once (MainHost::ShowDocumentChange).
  void CopySelection();
  void PasteClipboard();
  void EmptySelection();

 signals:
  // A double click anywhere on the grid but on a column's edge.
  void doubleClicked();

 private:
  void SetCaption(const std::string& caption) override;
  void DelayTime(int milliseconds) override;
  // Moves the fill's cells into the grid and sets the widths it returns.
  void ApplyFill(GridFill& fill) override;
  // Makes the cell of grid row `row` in model column `column` current, both
  // kept within the grid; nothing when the grid has no cell.
  QModelIndex SelectCell(int row, int column);

  // True when the grid shows every line of the Document as it stands;
  // otherwise the grid-not-loaded warning.
  bool ShowsDocument();
  // Whether the open file's items may hold a line break.
  ItemLineBreaks LineBreaks() const;
  // Opens the editor on the current cell with `typed` (nullptr: the item).
  bool BeginEdit(const QString* typed, bool focus);
  // The editor after a refusal: open on its cell, with the focus.
  void KeepEditing();
  // The focus went elsewhere: the value is written, the cell the user went
  // to stays current.
  void LeaveEdit();
  bool InputMethod(QInputMethodEvent& event);
  // Selects `range` (kept within the grid), `current` the current cell.
  void SelectRange(const CellRange& range, QModelIndex current);

  struct OpenEdit {
    QPersistentModelIndex cell;
    int line = 0;
    int item = 1;
    std::string lineBefore;  // the line the editor was opened on
    QString shown;           // the item as the editor first showed it
  };

  MainHost& main_;
  GridCells cells_;
  GridView* view_ = nullptr;
  StringGridModel* model_ = nullptr;
  StringGridFrame* frame_ = nullptr;
  QPointer<CellEditor> editor_;
  OpenEdit edit_;
};

}  // namespace cavel
