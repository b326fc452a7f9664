// Cell names in A1 notation.
#include "gui/workbook/cell_reference.h"

#include <algorithm>

namespace gui {

std::string cellReference(int row, int column) {
    if (row < 1 || column < 1) return {};
    // Letters count from 1 (A) to 26 (Z) in every place, with no zero digit.
    std::string letters;
    for (int rest = column; rest > 0; rest = (rest - 1) / 26)
        letters += static_cast<char>('A' + (rest - 1) % 26);
    std::reverse(letters.begin(), letters.end());
    return letters + std::to_string(row);
}

} // namespace gui
