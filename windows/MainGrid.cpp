#include "windows/MainGrid.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QTableView>
#include <algorithm>
#include <climits>
#include <optional>

#include "core/Clipboard.h"
#include "core/Messages.h"
#include "platform/Keys.h"
#include "platform/Sjis.h"
#include "windows/CellClipboard.h"
#include "windows/MainHost.h"
#include "windows/StringGrid.h"

namespace cavel {

MainGrid::MainGrid(QWidget* parent, MainHost& main) : main_(main) {
  view_ = new GridView(parent);
  view_->setObjectName(QStringLiteral("StringGrid1"));
  view_->onInputMethod = [this](QInputMethodEvent& event) { return InputMethod(event); };
  model_ = new StringGridModel(cells_, this);
  frame_ = new StringGridFrame(*view_, *model_, kRowHeight, kDesignColWidth);
  view_->hide();
  connect(frame_, &StringGridFrame::doubleClicked, this, &MainGrid::doubleClicked);
}

MainGrid::~MainGrid() { delete view_; }

// ---- the fill ----------------------------------------------------------------------

void MainGrid::Fill() { FillGrid(main_.State(), main_.Dlg(), main_.SettingsPath(), *this); }

void MainGrid::SetCaption(const std::string& caption) { main_.SetCaption(caption); }

void MainGrid::DelayTime(int milliseconds) { main_.DelayTime(milliseconds); }

void MainGrid::ApplyFill(GridFill& fill) {
  DropEdit();
  // The current cell, and for an empty Document the widths, outlive the
  // model's reset.
  const std::vector<int> before = ColumnWidths();
  const QModelIndex current = view_->currentIndex();
  const int row = CurrentRow();
  std::optional<std::vector<int>> widths;
  view_->horizontalHeader()->setDefaultSectionSize(main_.State().ColWidth);
  model_->Reset([&] { widths = fill.ApplyTo(cells_); });
  SetColumnWidths(widths ? *widths : before);
  SelectCell(row, current.isValid() ? current.column() : 0);
}

void MainGrid::FollowDocument() {
  MainState& state = main_.State();
  if (state.GridBuilt == 0) return;
  DropEdit();
  const LinesDiff& change = state.LastChange;
  GridCells::Followed followed = GridCells::Followed::Refill;
  if (ShowsFile()) {
    const QModelIndex current = view_->currentIndex();
    const int row = CurrentRow();
    // A change of the counts resets the model; the current cell outlives it.
    followed = cells_.Follow(state.Document, change);
    if (followed == GridCells::Followed::Reshaped) {
      model_->Reset([] {});
      SelectCell(row, current.isValid() ? current.column() : 0);
    } else if (followed == GridCells::Followed::Rows && change.inserted > 0) {
      const int first = static_cast<int>(change.at) + 1;
      model_->RowsChanged(first, first + static_cast<int>(change.inserted) - 1);
    }
  }
  if (followed != GridCells::Followed::Refill) return;
  state.GridBuilt = 0;
  if (!view_->isHidden()) Fill();
}

void MainGrid::SetRowCount(int rows) {
  DropEdit();
  model_->Reset([&] { cells_.SetRowCount(rows); });
}

void MainGrid::BlankCells(int cols, int rows) {
  cells_.BlankCells(cols, rows);
  model_->CellsChanged();
}

// ---- the current row -----------------------------------------------------------

int MainGrid::CurrentRow() const {
  const QModelIndex current = view_->currentIndex();
  return current.isValid() ? current.row() + 1 : 1;
}

QModelIndex MainGrid::SelectCell(int row, int column) {
  const int rows = model_->rowCount(), cols = model_->columnCount();
  if (rows == 0 || cols == 0) return {};
  // Row 0 is fixed: the first row that can be current is row 1.
  const QModelIndex cell = model_->index(std::clamp(row - 1, 0, rows - 1), std::clamp(column, 0, cols - 1));
  view_->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect);
  return cell;
}

void MainGrid::SetCurrentRow(int row) {
  const QModelIndex current = view_->currentIndex();
  SetCurrentCell(row, current.isValid() ? current.column() + 1 : 1);
}

void MainGrid::SetCurrentCell(int row, int item) {
  const QModelIndex cell = SelectCell(row, item - 1);
  // A hidden grid has no size to scroll by: the switch to the grid scrolls.
  if (cell.isValid() && !view_->isHidden()) view_->scrollTo(cell);
}

// ---- the file shown and the widths ------------------------------------------------

bool MainGrid::ShowsFile() const { return GridShowsFile(main_.State(), cells_); }

std::string MainGrid::CornerText() const { return std::string(cells_.Cell(0, 0)); }

std::vector<int> MainGrid::ColumnWidths() const { return frame_->Widths(); }

void MainGrid::SetColumnWidths(const std::vector<int>& widths) { frame_->SetWidths(widths); }

void MainGrid::ResetWidths() {
  view_->horizontalHeader()->setDefaultSectionSize(main_.State().ColWidth);
  SetColumnWidths(DefaultWidths(cells_, main_.State().ColWidth));
}

void MainGrid::ToggleWidths() {
  std::vector<int> widths = ColumnWidths();
  if (StringGridWidthChg(main_.State(), main_.Dlg(), main_.SettingsPath(), cells_, widths)) SetColumnWidths(widths);
}

void MainGrid::RememberWidths() {
  RememberGridWidths(main_.State(), main_.Dlg(), main_.SettingsPath(), cells_, ColumnWidths());
}

void MainGrid::StoreWidthsAtExit() {
  StoreGridWidthsAtExit(main_.State(), main_.Dlg(), main_.SettingsPath(), cells_, ColumnWidths());
}

// ---- changes made in the grid ---------------------------------------------------

bool MainGrid::ShowsDocument() {
  const MainState& state = main_.State();
  if (state.GridBuilt == 1 && ShowsFile() && HoldsLines(static_cast<int>(state.Document.size()))) return true;
  Refuse(main_.Dlg(), std::string(msg::kGridNotLoaded));
  return false;
}

// A file whose lines end in CR LF holds a line break inside an item as a
// bare LF. Every file is read and written so today; a file of LF lines,
// which cannot hold one, is told here by its line end.
ItemLineBreaks MainGrid::LineBreaks() const {
  // A file whose lines end at LF cannot hold one inside a line.
  return main_.State().DocumentFormat.lineEnd == LineEnd::Lf ? ItemLineBreaks::Refused : ItemLineBreaks::HeldAsLf;
}

bool MainGrid::KeyDown(QKeyEvent& key) {
  if (editor_) {
    QCoreApplication::sendEvent(editor_, &key);
    return true;
  }
  if (IsKey(key, Qt::Key_F2, Qt::NoModifier)) {
    BeginEdit(nullptr, true);
    return true;
  }
  if (IsKey(key, Qt::Key_Delete, Qt::NoModifier)) {
    EmptySelection();
    return true;
  }
  // A character typed with Shift or none (Ctrl and Alt keys are commands).
  const QString text = key.text();
  const char32_t first = text.isEmpty() ? 0 : text.toUcs4().value(0);
  if ((HeldModifiers(key) & ~Qt::ShiftModifier) == Qt::NoModifier && QChar::isPrint(first)) {
    BeginEdit(&text, true);
    return true;
  }
  return false;
}

bool MainGrid::BeginEdit(const QString* typed, bool focus) {
  if (!ShowsDocument()) return false;
  const QModelIndex cell = view_->currentIndex();
  if (!cell.isValid()) return false;
  const MainState& state = main_.State();
  const int line = cell.row(), item = cell.column() + 1;
  const std::string_view bytes = state.Document[static_cast<std::size_t>(line)].view();
  const std::vector<std::string_view> items = SplitItems(bytes);
  if (item > static_cast<int>(items.size())) {
    Refuse(main_.Dlg(), msg::PastLastItem(line, static_cast<long>(items.size())));
    return false;
  }
  edit_ = {cell, line, item, std::string(bytes), SjisDecode(items[static_cast<std::size_t>(item - 1)])};
  auto* editor = new CellEditor;
  // The caret at the end of the text.
  editor->setText(typed ? *typed : edit_.shown);
  connect(editor, &CellEditor::committed, this, [this] { CommitEdit(); });
  connect(editor, &CellEditor::cancelled, this, [this] { DropEdit(); });
  connect(editor, &CellEditor::left, this, [this] { LeaveEdit(); });
  view_->scrollTo(cell);
  view_->setIndexWidget(cell, editor);
  editor_ = editor;
  if (focus) editor->setFocus();
  return true;
}

bool MainGrid::CommitEdit() {
  if (!editor_) return true;
  MainState& state = main_.State();
  const QString text = editor_->text();
  const bool lineStands = static_cast<std::size_t>(edit_.line) < state.Document.size() &&
                          state.Document[static_cast<std::size_t>(edit_.line)].view() == edit_.lineBefore;
  // Put back as it was shown: the item's bytes stand as they are.
  if (!lineStands || text == edit_.shown) {
    DropEdit();
    return true;
  }
  const SjisEncoded encoded = SjisEncode(text);
  if (!encoded.ok()) {
    Refuse(main_.Dlg(), msg::NotShiftJis(encoded.unmappable.toStdString()));
    KeepEditing();
    return false;
  }
  // An undo comes back to the line.
  state.CurrentLine = edit_.line;
  if (!EditCell(state, main_.Dlg(), edit_.line, edit_.item, encoded.bytes, LineBreaks())) {
    KeepEditing();
    return false;
  }
  DropEdit();
  main_.ShowDocumentChange();
  return true;
}

void MainGrid::KeepEditing() {
  if (!editor_) return;
  const QModelIndex cell = view_->currentIndex();
  if (edit_.cell.isValid() && cell != QModelIndex(edit_.cell))
    view_->selectionModel()->setCurrentIndex(edit_.cell, QItemSelectionModel::ClearAndSelect);
  view_->ComposeInto(nullptr);
  editor_->setFocus();
}

void MainGrid::LeaveEdit() {
  if (!editor_ || editor_->hasFocus() || view_->ComposingInto() == editor_) return;
  const QModelIndex target = view_->currentIndex();
  const int row = target.row(), column = target.column();
  if (!CommitEdit() || !target.isValid()) return;
  SelectCell(row + 1, column);
}

void MainGrid::DropEdit() {
  CellEditor* editor = editor_;
  if (!editor) return;
  editor_ = nullptr;
  view_->ComposeInto(nullptr);
  // The grid keeps the focus the editor had.
  if (editor->hasFocus()) view_->setFocus();
  editor->hide();
  if (edit_.cell.isValid() && view_->indexWidget(edit_.cell) == editor)
    view_->setIndexWidget(edit_.cell, nullptr);
  else
    editor->deleteLater();
}

bool MainGrid::InputMethod(QInputMethodEvent& event) {
  if (!editor_) {
    if (event.preeditString().isEmpty() && event.commitString().isEmpty()) return false;
    const QString none;
    if (!BeginEdit(&none, false)) return true;
  }
  CellEditor* editor = editor_;
  QCoreApplication::sendEvent(editor, &event);
  // The focus moves to the editor once the composition is over.
  if (editor->Composing()) {
    view_->ComposeInto(editor);
  } else {
    view_->ComposeInto(nullptr);
    editor->setFocus();
  }
  return true;
}

std::optional<CellRange> MainGrid::SelectedCells() const {
  const QItemSelection selection = view_->selectionModel()->selection();
  if (selection.isEmpty()) {
    const QModelIndex current = view_->currentIndex();
    if (!current.isValid()) return std::nullopt;
    return CellRange::Cell(current.row(), current.column() + 1);
  }
  int top = INT_MAX, bottom = -1, left = INT_MAX, right = -1;
  for (const QItemSelectionRange& r : selection) {
    top = std::min(top, r.top());
    bottom = std::max(bottom, r.bottom());
    left = std::min(left, r.left());
    right = std::max(right, r.right());
  }
  return CellRange{top, bottom, left + 1, right + 1};
}

void MainGrid::SelectRange(const CellRange& range, QModelIndex current) {
  const int rows = model_->rowCount(), cols = model_->columnCount();
  if (rows == 0 || cols == 0) return;
  auto cell = [&](int line, int item) {
    return model_->index(std::clamp(line, 0, rows - 1), std::clamp(item - 1, 0, cols - 1));
  };
  if (!current.isValid()) current = cell(range.firstLine, range.firstItem);
  QItemSelectionModel* selection = view_->selectionModel();
  selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
  selection->select(QItemSelection(cell(range.firstLine, range.firstItem), cell(range.lastLine, range.lastItem)),
                    QItemSelectionModel::ClearAndSelect);
}

void MainGrid::CopySelection() {
  if (!ShowsDocument()) return;
  const std::optional<CellRange> range = SelectedCells();
  if (!range) return;
  const Lines& document = main_.State().Document;
  PutCellsOnClipboard(CopyCellsText(document, *range), CopyCellsCsv(document, *range));
}

void MainGrid::PasteClipboard() {
  if (!ShowsDocument()) return;
  const std::optional<CellRange> range = SelectedCells();
  if (!range) return;
  const std::optional<PastedCells> cells = CellsFromClipboard(main_.Dlg());
  main_.State().CurrentLine = range->firstLine;
  if (!cells || !PasteCells(main_.State(), main_.Dlg(), *cells, *range, LineBreaks())) return;
  main_.ShowDocumentChange();
  SelectRange(PasteTarget(*cells, *range), QModelIndex());
}

void MainGrid::EmptySelection() {
  if (!ShowsDocument()) return;
  const std::optional<CellRange> range = SelectedCells();
  if (!range) return;
  const QModelIndex current = view_->currentIndex();
  const int row = current.row(), column = current.column();
  main_.State().CurrentLine = range->firstLine;
  if (!DeleteCells(main_.State(), *range)) return;
  main_.ShowDocumentChange();
  SelectRange(*range, current.isValid() ? model_->index(row, column) : QModelIndex());
}

}  // namespace cavel
