#include "search/FitGridColumns.h"

#include "search/FlexGrid.h"

namespace modGeneral {

void FitGridColumns(FlexGrid& grid) {
    grid.hide();
    for (int c = 0; c < grid.Cols(); ++c)
        grid.AutoSize(c);
    grid.show();
}

} // namespace modGeneral
