#include "windows/MainGrid.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <algorithm>
#include <optional>

#include "windows/MainHost.h"
#include "windows/StringGrid.h"

namespace cavel {

MainGrid::MainGrid(QWidget* parent, MainHost& main) : main_(main) {
  view_ = new QTableView(parent);
  view_->setObjectName(QStringLiteral("StringGrid1"));
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

}  // namespace cavel
