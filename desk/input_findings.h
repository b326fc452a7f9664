// The one check of the inputs (exchange/input_check.h) as the forms, the
// calculation window and the report say it: Czech sentences with decimal
// commas, naming the field or the curve's row.
#pragma once

#include "desk/typed_number.h"
#include "exchange/input_check.h"

#include <string>

namespace desk {

/// What the check found, as a complete Czech sentence. `field` names the
/// field of a one value (a form's label, "Technické údaje → Průměr potrubí
/// [m]"); `typed` is the value as the user typed it, shown instead of the
/// value read. Curve rows name their row and the row before with both
/// values; the start level its overtopping level to the centimetre:
/// "Výška vody 16 m leží na úrovni přelití nádrže nebo nad ní (14,50 m). …".
std::string findingSentence(const exchange::InputFinding& finding, const std::string& field = {},
                            const std::string& typed = {});

/// Why `number`, typed as `typed` into the field `name`, cannot be used: it
/// is no number, or the check refuses it as `quantity` (in `row` of a
/// table, from 1). Empty when it can.
std::string valueProblem(const ParsedNumber& number, exchange::InputQuantity quantity,
                         const std::string& name, const std::string& typed, int row = 0);

} // namespace desk
