// Numbers as the front end meets them: typed by a Czech engineer (decimal
// comma or point) or read back from an exchange file (decimal point, as the
// core reads them), and the Czech texts that refuse what is not a number.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace desk {

enum class NumberError {
    None,
    Empty,      // nothing but blanks
    NotANumber, // letters, two separators, thousands separators, ...
    OutOfRange  // beyond what the core's single-precision values hold
};

struct ParsedNumber {
    NumberError error = NumberError::None;
    double value = 0.0; // the number, when error is None
    /// The number as an exchange file holds it, when error is None: the
    /// typed text with a decimal point, without blanks and without a plus
    /// sign ("12,5" -> "12.5", " -3,5e2 " -> "-3.5e2"). The core rounds this
    /// decimal text to single precision once, exactly as it would the
    /// engineer's own digits; no binary round trip comes between.
    std::string text;
    explicit operator bool() const { return error == NumberError::None; }
};

/// A number typed by the user: blanks (spaces, tabs, no-break spaces) around
/// it; an optional sign (+, - or the minus sign U+2212); digits with at most
/// one decimal comma or point and a digit on at least one side of it; an
/// optional exponent E or e with an optional sign and digits. No thousands
/// separators. A magnitude above the largest single-precision value is
/// OutOfRange; one below the smallest is taken as the 0 the core reads.
ParsedNumber parseTypedNumber(std::string_view typed);

/// The number a grid cell is drawn as: the typed number, or 0 for a cell that
/// is empty or not a number (so one bad cell cannot wreck a chart's axes).
double cellNumber(const std::string& text);

/// A value text of an exchange file as the core reads it: no blanks, a
/// decimal point only, an exponent E, e, D or d; otherwise the same rules.
/// Its `text` is the value text with E for the exponent.
ParsedNumber parseSavedNumber(std::string_view text);

/// A number's exchange text (ParsedNumber::text) times 10^power, written as a
/// plain decimal without exponent and without superfluous zeros: the digits
/// move, nothing is multiplied in binary, so ("0.385", 3) gives "385" and
/// never 384.99999. ("0.62", 4) "6200"; ("0.3855", 3) "385.5"; ("6200", -4)
/// "0.62"; ("-0", 4) "0".
std::string shiftDecimal(const std::string& text, int power);

/// An exchange text as a Czech engineer writes it, with a decimal comma:
/// "12.5" -> "12,5".
std::string czechNumber(std::string text);

/// A value text of an exchange file as a field shows it: the number as
/// parseSavedNumber writes it, with a decimal comma ("+2.5D1" -> "2,5E1").
/// A text that is no such number is shown as it is.
std::string savedFieldText(const std::string& saved);

/// A number for a message, with a decimal comma and at most six significant
/// digits: 15.5 -> "15,5".
std::string czechNumber(double value);

/// A number shown in a grid or a label, with a decimal comma and `decimals`
/// digits after it, no thousands separators: (48.7890015, 3) -> "48,789",
/// (1234567.0, 1) -> "1234567,0". The grids of results show discharges and
/// levels with 3 decimals.
std::string displayNumber(double value, int decimals);

/// A text the core or a file wrote, as the user reads it: every decimal point
/// that stands between two digits becomes a comma, nothing else changes
/// ("100.000 m3/s v kroku 10" -> "100,000 m3/s v kroku 10"; "OUT_DATA/TK",
/// "d. M." unchanged). Shows a figure without retyping it.
std::string czechFigures(std::string text);

/// A cell's text as a Czech engineer reads and copies it: a number
/// (parseTypedNumber: a comma or a point, an exponent) without the blanks
/// around it and with a decimal comma; any other text as it is.
std::string czechCellText(const std::string& text);

/// True when a plain decimal (as shiftDecimal writes it) has a fraction.
bool hasFraction(const std::string& plain);

/// The Czech refusal of a field's text: "<name>: „abc“ není číslo. ...".
std::string numberProblemText(const std::string& name, const std::string& typed, NumberError error);

/// The refusal of a typed value that must be a number not below 0 (a
/// diameter, a width, a height, an inflow), or empty when `number` is one.
std::string nonNegativeProblem(const std::string& name, const std::string& typed,
                               const ParsedNumber& number);

/// The name of a grid cell in messages: "Řádek 5, sloupec Q [m3/s]".
std::string cellName(int row, const std::string& columnHeader);

/// A field's place in a refusal: a field of a form (by the form's own
/// numbering) or a grid cell (column, row as in the grid, data rows from 1).
struct Refusal {
    int field = -1;
    int column = -1;
    int row = -1;
    std::string message; // Czech, complete
};

/// The question that follows warnings: each warning as its own paragraph,
/// then "Uložit přesto?".
std::string warningQuestion(const std::vector<std::string>& warnings);

} // namespace desk
