// Cell names in A1 notation for spreadsheet ranges.
#pragma once

#include <string>

namespace gui {

/// The name of the cell at `row` and `column` (both from 1) in A1 notation:
/// column letters A ... Z, AA ... IV (1 ... 256), then the row in decimal.
/// Columns beyond 702 (ZZ) are outside the two-letter scheme the workbooks
/// use and give an empty string, as do rows or columns below 1.
std::string cellReference(int row, int column);

} // namespace gui
