#pragma once
// Column fitting of a result grid, part of the shared module.

class FlexGrid;

namespace modGeneral {

// Hides the grid once, fits every column to the texts it holds (in ascending order; a
// hidden column stays hidden, an empty one narrows to the minimum), shows it again.
void FitGridColumns(FlexGrid& grid);

} // namespace modGeneral
