// The technical data of the dam as the front end writes them.
#include "gui/common/technical_data.h"

#include "exchange/file_names.h"

#include <charconv>
#include <cmath>

namespace gui {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Counts the digits at `pos` and appends them to `out`.
std::size_t takeDigits(const std::string& text, std::size_t& pos, std::string& out) {
    std::size_t count = 0;
    while (pos < text.size() && isDigit(text[pos])) {
        out += text[pos++];
        ++count;
    }
    return count;
}

} // namespace

std::optional<double> parseLocaleNumber(const std::string& text,
                                        const std::string& decimalSeparator) {
    // The text is rebuilt with a point and parsed by a locale-free reader, so
    // the process's C locale never decides what a separator is.
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';

    std::string plain;
    std::size_t digits = takeDigits(text, pos, plain);
    if (!decimalSeparator.empty() &&
        text.compare(pos, decimalSeparator.size(), decimalSeparator) == 0) {
        pos += decimalSeparator.size();
        plain += '.';
        digits += takeDigits(text, pos, plain);
    }
    if (digits == 0) return std::nullopt;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        plain += 'e';
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) plain += text[pos++];
        if (takeDigits(text, pos, plain) == 0) return std::nullopt;
    }
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    if (pos != text.size()) return std::nullopt;

    double result = 0;
    const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), result);
    if (ec != std::errc() || end != plain.data() + plain.size() || !std::isfinite(result))
        return std::nullopt;
    return negative ? -result : result;
}

std::string formatGeneral(double value, const std::string& decimalSeparator) {
    if (value == 0.0) return "0"; // also a negative zero
    char buffer[64];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    if (ec != std::errc()) return "0";
    const std::string text(buffer, end);

    // to_chars writes "1.5e-07" / "1e+20"; the exponent is written without
    // its plus sign and without leading zeros.
    const std::size_t e = text.find('e');
    std::string mantissa = text.substr(0, e);
    std::string exponent;
    if (e != std::string::npos) {
        std::size_t pos = e + 1;
        if (text[pos] == '-') exponent += '-';
        if (text[pos] == '-' || text[pos] == '+') ++pos;
        while (pos + 1 < text.size() && text[pos] == '0')
            ++pos;
        exponent = "E" + exponent + text.substr(pos);
    }
    const std::size_t point = mantissa.find('.');
    if (point != std::string::npos) mantissa.replace(point, 1, decimalSeparator);
    return mantissa + exponent;
}

std::optional<std::string> scaleCoefficient(const std::string& text, double factor,
                                            const std::string& decimalSeparator) {
    const std::optional<double> value = parseLocaleNumber(text, decimalSeparator);
    if (!value) return std::nullopt;
    const double scaled = *value * factor;
    if (!std::isfinite(scaled)) return std::nullopt;
    return formatGeneral(scaled, decimalSeparator);
}

TechnicalDataConversion technicalDataFiles(const TechnicalDataTexts& texts,
                                           const std::string& decimalSeparator) {
    // Both coefficients are converted before anything is written, so a bad
    // one leaves every file as it was.
    const auto notValid = [](const std::string& text) {
        return TechnicalDataConversion{std::nullopt,
                                       "'" + text + "' is not a valid floating point value"};
    };
    const std::optional<std::string> outlet =
        scaleCoefficient(texts.outletCoefficient, kOutletCoefficientScale, decimalSeparator);
    if (!outlet) return notValid(texts.outletCoefficient);
    const std::optional<std::string> overflow =
        scaleCoefficient(texts.overflowCoefficient, kOverflowCoefficientScale, decimalSeparator);
    if (!overflow) return notValid(texts.overflowCoefficient);

    return {TechnicalDataFiles{{
                {exchange::kOutletCount, texts.outletCount},
                {exchange::kOutletDiameter, texts.outletDiameter},
                {exchange::kOutletCoefficient, *outlet},
                {exchange::kSpillwayWidth, texts.spillwayWidth},
                {exchange::kOverflowCoefficient, *overflow},
                {exchange::kRetentionHeight, texts.retentionHeight},
                {exchange::kStorageTop, texts.storageTop},
                {exchange::kCrestHeight, texts.crestHeight},
            }},
            {}};
}

FileResult writeTechnicalDataFiles(const std::filesystem::path& dir,
                                   const TechnicalDataFiles& files) {
    for (const OneValueFile& file : files) {
        FileResult result = writeOneLineFile(dir / file.name, file.line);
        if (!result) return result;
    }
    return {};
}

} // namespace gui
