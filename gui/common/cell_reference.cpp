// Cell names in A1 notation for spreadsheet ranges.
#include "gui/common/cell_reference.h"

namespace gui {

std::string cellReference(int row, int column) {
    if (row < 1 || column < 1 || column > 26 * 27) return {};
    int q = column / 26;
    int s = column % 26;
    if (s == 0) {
        q -= 1;
        s = 26;
    }
    std::string name;
    if (q > 0) name += static_cast<char>('A' + q - 1);
    name += static_cast<char>('A' + s - 1);
    return name + std::to_string(row);
}

} // namespace gui
