// Numbers typed by the user or read back from an exchange file.
#include "desk/typed_number.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace desk {

namespace {

constexpr std::string_view kMinusSign = "\xE2\x88\x92"; // U+2212
constexpr std::string_view kNoBreakSpace = "\xC2\xA0";  // U+00A0
// Exponents are counted only this far: every number beyond it is out of
// range or zero anyway, and the count cannot overflow.
constexpr long kExponentLimit = 100000;

enum class Syntax { Typed, Saved };

// A number taken apart: sign, digits around the decimal separator, exponent.
struct Parts {
    bool negative = false;
    std::string whole;    // digits before the separator
    std::string fraction; // digits after it
    bool separator = false;
    char exponentLetter = 0; // 0: no exponent
    bool exponentNegative = false;
    std::string exponentDigits;

    long exponent() const {
        long value = 0;
        for (char c : exponentDigits)
            value = std::min(value * 10 + (c - '0'), kExponentLimit);
        return exponentNegative ? -value : value;
    }
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool takePrefix(std::string_view& text, std::string_view prefix) {
    if (text.substr(0, prefix.size()) != prefix) return false;
    text.remove_prefix(prefix.size());
    return true;
}

std::string_view trimBlanks(std::string_view text) {
    for (bool trimmed = true; trimmed;) {
        trimmed = false;
        if (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
            text.remove_prefix(1);
            trimmed = true;
        } else if (takePrefix(text, kNoBreakSpace)) {
            trimmed = true;
        }
    }
    for (bool trimmed = true; trimmed;) {
        trimmed = false;
        if (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
            text.remove_suffix(1);
            trimmed = true;
        } else if (text.size() >= kNoBreakSpace.size() &&
                   text.substr(text.size() - kNoBreakSpace.size()) == kNoBreakSpace) {
            text.remove_suffix(kNoBreakSpace.size());
            trimmed = true;
        }
    }
    return text;
}

// A sign at the front of `text`, taken off; true for a minus.
bool takeSign(std::string_view& text, Syntax syntax) {
    if (takePrefix(text, "+")) return false;
    if (takePrefix(text, "-")) return true;
    return syntax == Syntax::Typed && takePrefix(text, kMinusSign);
}

std::string takeDigits(std::string_view& text) {
    std::size_t n = 0;
    while (n < text.size() && isDigit(text[n]))
        ++n;
    std::string digits(text.substr(0, n));
    text.remove_prefix(n);
    return digits;
}

bool isExponentLetter(char c, Syntax syntax) {
    return c == 'E' || c == 'e' || (syntax == Syntax::Saved && (c == 'D' || c == 'd'));
}

// Splits a number without blanks around it; false when it is not one.
bool split(std::string_view text, Syntax syntax, Parts& parts) {
    parts.negative = takeSign(text, syntax);
    parts.whole = takeDigits(text);
    if (!text.empty() &&
        (text.front() == '.' || (syntax == Syntax::Typed && text.front() == ','))) {
        text.remove_prefix(1);
        parts.separator = true;
        parts.fraction = takeDigits(text);
    }
    if (parts.whole.empty() && parts.fraction.empty()) return false;
    if (!text.empty() && isExponentLetter(text.front(), syntax)) {
        parts.exponentLetter = text.front();
        text.remove_prefix(1);
        parts.exponentNegative = takeSign(text, syntax);
        parts.exponentDigits = takeDigits(text);
        if (parts.exponentDigits.empty()) return false;
    }
    return text.empty();
}

// The value of the parts, or OutOfRange beyond single precision.
NumberError evaluate(const Parts& parts, double& value) {
    const std::string digits = parts.whole + parts.fraction;
    const std::size_t first = digits.find_first_not_of('0');
    value = 0.0;
    if (first != std::string::npos) {
        // The first significant digit stands at 10^magnitude.
        const long magnitude =
            static_cast<long>(parts.whole.size()) - 1 - static_cast<long>(first) + parts.exponent();
        if (magnitude > std::numeric_limits<float>::max_exponent10) return NumberError::OutOfRange;
        // Far below the smallest float the core reads 0; no need to parse.
        if (magnitude >= std::numeric_limits<float>::min_exponent10 - 30) {
            std::string plain = parts.whole + "." + parts.fraction;
            if (parts.exponentLetter != 0) plain += "e" + std::to_string(parts.exponent());
            const auto [end, error] =
                std::from_chars(plain.data(), plain.data() + plain.size(), value);
            if (error != std::errc() || end != plain.data() + plain.size()) value = 0.0;
            if (value > std::numeric_limits<float>::max()) return NumberError::OutOfRange;
        }
    }
    if (parts.negative) value = -value;
    return NumberError::None;
}

ParsedNumber parse(std::string_view text, Syntax syntax) {
    ParsedNumber result;
    if (syntax == Syntax::Typed) text = trimBlanks(text);
    if (text.empty()) {
        result.error = NumberError::Empty;
        return result;
    }
    Parts parts;
    if (!split(text, syntax, parts)) {
        result.error = NumberError::NotANumber;
        return result;
    }
    result.error = evaluate(parts, result.value);
    if (!result) return result;
    result.text = parts.negative ? "-" : "";
    result.text += parts.whole;
    if (parts.separator) result.text += "." + parts.fraction;
    if (parts.exponentLetter != 0) {
        result.text += syntax == Syntax::Saved ? 'E' : parts.exponentLetter;
        if (parts.exponentNegative) result.text += '-';
        result.text += parts.exponentDigits;
    }
    return result;
}

} // namespace

ParsedNumber parseTypedNumber(std::string_view typed) {
    return parse(typed, Syntax::Typed);
}

double cellNumber(const std::string& text) {
    const ParsedNumber number = parseTypedNumber(text);
    return number ? number.value : 0.0;
}

ParsedNumber parseSavedNumber(std::string_view text) {
    return parse(text, Syntax::Saved);
}

std::string shiftDecimal(const std::string& text, int power) {
    Parts parts;
    if (!split(text, Syntax::Saved, parts)) return text;
    std::string digits = parts.whole + parts.fraction;
    // The decimal point stands after `point` digits (before the first when <= 0).
    long point = static_cast<long>(parts.whole.size()) + parts.exponent() + power;
    if (point <= 0) {
        digits.insert(0, static_cast<std::size_t>(1 - point), '0');
        point = 1;
    }
    if (point > static_cast<long>(digits.size()))
        digits.append(static_cast<std::size_t>(point) - digits.size(), '0');
    std::string whole = digits.substr(0, static_cast<std::size_t>(point));
    std::string fraction = digits.substr(static_cast<std::size_t>(point));
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));
    fraction.erase(fraction.find_last_not_of('0') + 1);
    const bool zero = whole == "0" && fraction.empty();
    return (parts.negative && !zero ? "-" : "") + whole + (fraction.empty() ? "" : "." + fraction);
}

std::string czechNumber(std::string text) {
    for (char& c : text)
        if (c == '.') c = ',';
    return text;
}

std::string savedFieldText(const std::string& saved) {
    const ParsedNumber number = parseSavedNumber(saved);
    return number ? czechNumber(number.text) : saved;
}

std::string czechNumber(double value) {
    char buffer[32];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return error == std::errc() ? czechNumber(std::string(buffer, end)) : std::string("?");
}

std::string displayNumber(double value, int decimals) {
    char buffer[400]; // room for the 309 digits of the largest double
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                            std::chars_format::fixed, std::max(decimals, 0));
    if (error != std::errc()) return "?";
    std::string shown = czechNumber(std::string(buffer, end));
    // A value that rounds to zero is shown as zero, not "-0,000".
    if (shown.starts_with('-') && shown.find_first_not_of("-0,") == std::string::npos)
        shown.erase(0, 1);
    return shown;
}

std::string czechFigures(std::string text) {
    for (std::size_t i = 1; i + 1 < text.size(); ++i)
        if (text[i] == '.' && isDigit(text[i - 1]) && isDigit(text[i + 1])) text[i] = ',';
    return text;
}

std::string czechCellText(const std::string& text) {
    return parseTypedNumber(text) ? czechNumber(std::string(trimBlanks(text))) : text;
}

bool hasFraction(const std::string& plain) {
    return plain.find('.') != std::string::npos;
}

std::string numberProblemText(const std::string& name, const std::string& typed,
                              NumberError error) {
    switch (error) {
    case NumberError::None:
        break;
    case NumberError::Empty:
        return name + ": chybí hodnota. Zadejte číslo.";
    case NumberError::NotANumber:
        return name + ": „" + typed +
               "“ není číslo. Zadejte číslo s desetinnou čárkou nebo tečkou, například 12,5 "
               "(bez mezer mezi číslicemi).";
    case NumberError::OutOfRange:
        return name + ": „" + typed + "“ je mimo rozsah čísel, se kterými výpočet pracuje.";
    }
    return {};
}

std::string nonNegativeProblem(const std::string& name, const std::string& typed,
                               const ParsedNumber& number) {
    if (!number) return numberProblemText(name, typed, number.error);
    if (number.value < 0.0)
        return name + ": „" + typed + "“ je záporné číslo. Zadejte nulu nebo kladné číslo.";
    return {};
}

std::string cellName(int row, const std::string& columnHeader) {
    return "Řádek " + std::to_string(row) + ", sloupec " + columnHeader;
}

std::string warningQuestion(const std::vector<std::string>& warnings) {
    std::string text;
    for (const std::string& warning : warnings)
        text += warning + "\n\n";
    return text + "Uložit přesto?";
}

} // namespace desk
