#include "ui/gridutil.h"

#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>
#include <vector>

namespace ui {

void SetRowHeight(QTableWidget* grid, int design) {
  grid->verticalHeader()->setMinimumSectionSize(1);
  grid->verticalHeader()->setDefaultSectionSize(std::max(design, grid->fontMetrics().height() + 2));
}

void ClearGrid(QTableWidget* grid) {
  grid->setRowCount(1);
  for (int c = 0; c < grid->columnCount(); ++c) grid->setItem(0, c, new QTableWidgetItem());
}

void FitGridColumns(QTableWidget* grid, std::initializer_list<int> percents) {
  if (grid == nullptr) return;
  const std::vector<int> p(percents);
  const int lineWidth = grid->showGrid() ? 1 : 0;
  int totalHeight = 0;
  for (int r = 0; r < grid->rowCount(); ++r) totalHeight += grid->rowHeight(r) + lineWidth;
  int free = grid->viewport()->height() < totalHeight ? grid->viewport()->width() : grid->width() - 1 - 2 * grid->frameWidth();
  const int columns = std::min(grid->columnCount(), static_cast<int>(p.size()));
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

void SelectGridRow(QTableWidget* grid, int row) {
  if (grid->rowCount() == 0) return;
  row = std::min(row, grid->rowCount() - 1);
  grid->setCurrentCell(row, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  grid->scrollToItem(grid->item(row, 0), QAbstractItemView::EnsureVisible);
}

}  // namespace ui
