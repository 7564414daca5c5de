// Operations on the program's grids.
#pragma once

#include <QTableView>
#include <initializer_list>

namespace ui {

// Rows of `design` pixels at the design size, taller when the grid's font
// needs it.
void SetRowHeight(QTableView* grid, int design);
// Widths so that the columns with a non-zero percentage share the width the
// others leave; nothing happens for an absent grid.
void FitGridColumns(QTableView* grid, std::initializer_list<int> percents);
// Selects the whole row (the last one for a row beyond it) and scrolls it
// into view.
void SelectGridRow(QTableView* grid, int row);

}  // namespace ui
