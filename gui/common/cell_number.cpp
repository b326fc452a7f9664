// The conversion of a grid cell's text to the number that is drawn.
#include "gui/common/cell_number.h"

#include <charconv>
#include <cmath>

namespace gui {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(const std::string& text, std::size_t i) {
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

} // namespace

double cellNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    const std::size_t start = i;

    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t intStart = i;
    i = skipDigits(text, i);
    bool digits = i > intStart;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fracStart = i + 1;
        const std::size_t fracEnd = skipDigits(text, fracStart);
        if (digits || fracEnd > fracStart) {
            digits = true;
            i = fracEnd;
        }
    }
    if (!digits) return 0.0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        const std::size_t expEnd = skipDigits(text, j);
        if (expEnd > j) i = expEnd; // an exponent without digits is not part of the number
    }

    // from_chars takes no leading '+' and is independent of the locale.
    std::size_t first = start;
    if (text[first] == '+') ++first;
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data() + first, text.data() + i, value);
    (void)end;
    if (error != std::errc() || !std::isfinite(value)) return 0.0;
    return value;
}

} // namespace gui
