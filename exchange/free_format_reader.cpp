// List-directed reading of the IN_* exchange files.
#include "exchange/free_format_reader.h"

#include "exchange/file_error.h"

#include <charconv>
#include <sstream>

namespace exchange {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}
bool isSeparator(char c) {
    return isBlank(c) || c == ',';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string describe(const std::string& what, std::size_t index, std::size_t count) {
    std::string text =
        "ocekavana hodnota " + std::to_string(index + 1) + " z " + std::to_string(count);
    return what.empty() ? text : what + ", " + text;
}

// A token as a message can show it: a console line of plain ASCII, whatever
// bytes the file held (a NUL would cut the message short, a long run of
// bytes without a separator would flood the console).
std::string printable(std::string_view token) {
    constexpr std::size_t kLongest = 40;
    std::string text;
    for (std::size_t i = 0; i < token.size() && i < kLongest; ++i) {
        const auto c = static_cast<unsigned char>(token[i]);
        if (c >= 0x20 && c < 0x7F) {
            text += static_cast<char>(c);
        } else {
            static const char digits[] = "0123456789ABCDEF";
            text += std::string("\\x") + digits[c >> 4] + digits[c & 15];
        }
    }
    if (token.size() > kLongest) text += "...";
    return text;
}

std::string readAll(std::istream& in) {
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The digits of an exponent, counted only as far as any float needs.
long exponentValue(std::string_view digits, bool negative) {
    long value = 0;
    for (char c : digits)
        value = std::min(value * 10 + (c - '0'), 100000L);
    return negative ? -value : value;
}

} // namespace

bool parseRealToken(std::string_view token, float& value) {
    // Accept [sign] (digits [. [digits]] | . digits) [(E|D) [sign] digits].
    std::size_t i = 0;
    const std::size_t n = token.size();
    const bool negative = n > 0 && token[0] == '-';
    if (i < n && (token[i] == '+' || token[i] == '-')) ++i;
    const std::size_t mantissa = i;
    // Where the first significant digit stands (10^magnitude), which tells an
    // underflow from an overflow.
    std::size_t digits = 0;
    long wholeSignificant = 0; // digits before the point, leading zeros left out
    long zerosAfterPoint = 0;  // zeros after the point before any other digit
    bool nonZero = false;
    while (i < n && isDigit(token[i])) {
        nonZero = nonZero || token[i] != '0';
        wholeSignificant += nonZero;
        ++i, ++digits;
    }
    if (i < n && token[i] == '.') {
        ++i;
        while (i < n && isDigit(token[i])) {
            nonZero = nonZero || token[i] != '0';
            zerosAfterPoint += !nonZero;
            ++i, ++digits;
        }
    }
    if (digits == 0) return false;
    long magnitude = wholeSignificant > 0 ? wholeSignificant - 1 : -zerosAfterPoint - 1;
    // std::from_chars takes no plus sign and no D exponent.
    std::string text(negative ? "-" : "");
    text += token.substr(mantissa, i - mantissa);
    if (i < n && (token[i] == 'e' || token[i] == 'E' || token[i] == 'd' || token[i] == 'D')) {
        ++i;
        const bool exponentNegative = i < n && token[i] == '-';
        if (i < n && (token[i] == '+' || token[i] == '-')) ++i;
        const std::size_t exponentStart = i;
        while (i < n && isDigit(token[i]))
            ++i;
        if (i == exponentStart) return false;
        const std::string_view exponent = token.substr(exponentStart, i - exponentStart);
        magnitude += exponentValue(exponent, exponentNegative);
        text += exponentNegative ? "E-" : "E";
        text += exponent;
    }
    if (i != n) return false;

    float parsed = 0.0f;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (end != text.data() + text.size()) return false;
    if (error == std::errc::result_out_of_range) {
        // Overflow has no single-precision value; a number too small for
        // single precision rounds to zero, which is what it means.
        if (magnitude >= 0) return false;
        parsed = negative ? -0.0f : 0.0f;
    } else if (error != std::errc()) {
        return false;
    }
    value = parsed;
    return true;
}

bool parseWholeToken(std::string_view token, std::int32_t& value) {
    const char* first = token.data();
    const char* last = token.data() + token.size();
    if (first != last && *first == '+') ++first;
    if (first == last || (*first == '-' && (first + 1 == last || token[0] == '+'))) return false;
    std::int32_t parsed = 0;
    const auto [ptr, ec] = std::from_chars(first, last, parsed);
    if (ec != std::errc() || ptr != last) return false;
    value = parsed;
    return true;
}

FreeFormatReader::FreeFormatReader(std::istream& in, std::string fileName, Layout layout)
    : FreeFormatReader(readAll(in), std::move(fileName), layout) {}

FreeFormatReader::FreeFormatReader(std::string text, std::string fileName, Layout layout)
    : m_text(std::move(text)), m_fileName(std::move(fileName)), m_layout(layout),
      m_lineEnd(m_text.find('\n') == std::string::npos ? '\r' : '\n') {}

std::string FreeFormatReader::where() const {
    return m_fileName + ", radek " + std::to_string(m_lineNumber);
}

void FreeFormatReader::refuseText(const std::string& value, const std::string& what,
                                  const std::string& allowed) const {
    throw FileError(kErrOutOfRange, "nepripustna hodnota '" + value + "': " + where() + " (" +
                                        what + ", povoleno " + allowed + ")");
}

void FreeFormatReader::refuse(float value, const std::string& what,
                              const std::string& allowed) const {
    // The shortest text that reads back as the same float: "2", "0.5", "1e+30".
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    refuseText(std::string(text, result.ptr), what, allowed);
}

void FreeFormatReader::refuse(std::int32_t value, const std::string& what,
                              const std::string& allowed) const {
    refuseText(std::to_string(value), what, allowed);
}

void FreeFormatReader::refuseToken(std::string_view token, const std::string& what,
                                   std::size_t index, std::size_t count,
                                   const char* expected) const {
    throw FileError(kErrBadValue, "chybna hodnota '" + printable(token) + "': " + where() + " (" +
                                      describe(what, index, count) + ", " + expected + ")");
}

bool FreeFormatReader::nextLine() {
    if (m_next >= m_text.size()) return false;
    const std::size_t end = m_text.find(m_lineEnd, m_next);
    m_pos = m_next;
    m_stop = end == std::string::npos ? m_text.size() : end;
    m_next = end == std::string::npos ? m_text.size() : end + 1;
    ++m_lineNumber;
    return true;
}

bool FreeFormatReader::lineHasValue() const {
    for (std::size_t p = m_pos; p < m_stop; ++p)
        if (!isSeparator(m_text[p])) return true;
    return false;
}

std::string_view FreeFormatReader::nextToken(const std::string& what, std::size_t index,
                                             std::size_t count) {
    for (;;) {
        while (m_pos < m_stop && isSeparator(m_text[m_pos]))
            ++m_pos;
        if (m_pos < m_stop) break;
        if (!nextLine())
            throw FileError(kErrEndOfFile, "konec souboru: " + m_fileName + ", radek " +
                                               std::to_string(m_lineNumber + 1) + " (" +
                                               describe(what, index, count) + ")");
        if (m_layout == Layout::Table && !lineHasValue())
            throw FileError(kErrBadValue, "prazdny radek: " + where() + " (" +
                                              describe(what, index, count) + ")");
    }
    const std::size_t start = m_pos;
    while (m_pos < m_stop && !isSeparator(m_text[m_pos]))
        ++m_pos;
    const std::string_view token(m_text.data() + start, m_pos - start);
    refuseDecimalComma(token, what, index, count);
    return token;
}

void FreeFormatReader::refuseDecimalComma(std::string_view token, const std::string& what,
                                          std::size_t index, std::size_t count) const {
    if (!(m_pos + 1 < m_stop && m_text[m_pos] == ',' && isDigit(m_text[m_pos + 1]) &&
          isDigit(token.back())))
        return;
    // The number as it was written, up to the next blank: "2,5", "1,000.00".
    std::size_t end = m_pos;
    while (end < m_stop && !isBlank(m_text[end]))
        ++end;
    refuseToken(std::string_view(token.data(), end - (m_pos - token.size())), what, index, count,
                "desetinna carka? v souborech se pise tecka");
}

void FreeFormatReader::endRead(std::string_view lastToken, const std::string& what) const {
    std::size_t first = m_pos;
    while (first < m_stop && isBlank(m_text[first]))
        ++first;
    if (first == m_stop) return;
    std::size_t last = m_stop;
    while (isBlank(m_text[last - 1]))
        --last;
    throw FileError(kErrBadValue,
                    "za hodnotou '" + printable(lastToken) + "' nasleduje text '" +
                        printable(std::string_view(m_text.data() + first, last - first)) +
                        "': " + where() + " (" + (what.empty() ? "" : what + ", ") +
                        "za hodnotou smi na radku byt jen mezery)");
}

void FreeFormatReader::readReals(std::span<float> items, const std::string& what) {
    // Every read starts on a new line; the rest of the previous one is blank.
    m_pos = m_stop;
    std::string_view token;
    for (std::size_t k = 0; k < items.size(); ++k) {
        token = nextToken(what, k, items.size());
        if (!parseRealToken(token, items[k]))
            refuseToken(token, what, k, items.size(), "ocekavano realne cislo");
    }
    if (!items.empty()) endRead(token, what);
}

float FreeFormatReader::readReal(const std::string& what) {
    float value = 0.0f;
    readReals(std::span<float>(&value, 1), what);
    return value;
}

std::int32_t FreeFormatReader::readWhole(const std::string& what) {
    m_pos = m_stop;
    const std::string_view token = nextToken(what, 0, 1);
    std::int32_t value = 0;
    if (!parseWholeToken(token, value)) refuseToken(token, what, 0, 1, "ocekavano cele cislo");
    endRead(token, what);
    return value;
}

} // namespace exchange
