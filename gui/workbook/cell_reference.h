// Cell names in A1 notation, for naming a cell in a message.
#pragma once

#include <string>

namespace gui {

/// The name of the cell at `row` and `column` (both from 1) in A1 notation:
/// column letters A ... Z, AA ... ZZ, AAA ... (1, 27, 703, ...; XFD is
/// 16384, the last column of an .xlsx sheet), then the row in decimal. Rows
/// or columns below 1 give an empty string.
std::string cellReference(int row, int column);

} // namespace gui
