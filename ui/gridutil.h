// Operations on the program's string grids.
#pragma once

#include <QTableWidget>
#include <initializer_list>

namespace ui {

// Rows of `design` pixels at the design size, taller when the grid's font
// needs it.
void SetRowHeight(QTableWidget* grid, int design);
// Cuts the grid to one blank row (the header stays).
void ClearGrid(QTableWidget* grid);
// Widths so that the columns with a non-zero percentage share the width the
// others leave; nothing happens for an absent grid.
void FitGridColumns(QTableWidget* grid, std::initializer_list<int> percents);
// Selects the whole row (the last one for a row beyond it) and scrolls it
// into view.
void SelectGridRow(QTableWidget* grid, int row);

}  // namespace ui
