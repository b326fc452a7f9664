// A number a user typed for a study (the start level), as the core reads it.
#pragma once

#include <QString>

#include <optional>
#include <string>

namespace gui {

/// The text with a decimal comma or point and blanks around it, in the form
/// the core reads (decimal point); empty when it is no number.
std::optional<std::string> typedNumber(const QString& typed);

} // namespace gui
