// A number a user typed for a study.
#include "gui/varianty/typed_number.h"

#include "gui/common/saved_inputs.h"

#include <algorithm>

namespace gui {

std::optional<std::string> typedNumber(const QString& typed) {
    std::string text = typed.trimmed().toStdString();
    std::replace(text.begin(), text.end(), ',', '.');
    if (!savedNumber(text)) return std::nullopt;
    return text;
}

} // namespace gui
