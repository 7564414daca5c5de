#include "ui/gridutil.h"

#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>
#include <vector>

namespace ui {

void SetRowHeight(QTableView* grid, int design) {
  grid->verticalHeader()->setMinimumSectionSize(1);
  grid->verticalHeader()->setDefaultSectionSize(std::max(design, grid->fontMetrics().height() + 2));
}

void FitGridColumns(QTableView* grid, std::initializer_list<int> percents) {
  if (grid == nullptr || grid->model() == nullptr) return;
  const std::vector<int> p(percents);
  const int lineWidth = grid->showGrid() ? 1 : 0;
  int totalHeight = 0;
  const int rows = grid->model()->rowCount();
  for (int r = 0; r < rows; ++r) totalHeight += grid->rowHeight(r) + lineWidth;
  int free = grid->viewport()->height() < totalHeight ? grid->viewport()->width() : grid->width() - 1 - 2 * grid->frameWidth();
  const int columns = std::min(grid->model()->columnCount(), static_cast<int>(p.size()));
  for (int c = 0; c < columns; ++c) {
    if (p[static_cast<std::size_t>(c)] == 0) free -= grid->columnWidth(c) + lineWidth;
  }
  for (int c = 0; c < columns; ++c) {
    const int percent = p[static_cast<std::size_t>(c)];
    if (percent == 0) continue;
    const int width = static_cast<int>(static_cast<double>(percent * free) / 100.0) - lineWidth;
    if (width < 0) return;
    grid->setColumnWidth(c, width);
  }
}

void SelectGridRow(QTableView* grid, int row) {
  const QAbstractItemModel* model = grid->model();
  if (model == nullptr || model->rowCount() == 0) return;
  const QModelIndex index = model->index(std::min(row, model->rowCount() - 1), 0);
  grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  grid->scrollTo(index, QAbstractItemView::EnsureVisible);
}

}  // namespace ui
