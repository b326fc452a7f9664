// List-directed reading of the IN_* exchange files.
#include "core/io/free_format_reader.h"

#include "core/errors.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace veldron {

namespace {

bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == ',';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Numbers in the exchange files always use the decimal point, whatever the
// user's locale says.
locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

std::string describe(const std::string& what, std::size_t index, std::size_t count) {
    std::string text =
        "ocekavana hodnota " + std::to_string(index + 1) + " z " + std::to_string(count);
    return what.empty() ? text : what + ", " + text;
}

// A token as a message can show it: a console line of plain ASCII, whatever
// bytes the file held (a NUL would cut the message short, a long run of
// bytes without a separator would flood the console).
std::string printable(const std::string& token) {
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

} // namespace

bool parseRealToken(const std::string& token, float& value) {
    // Accept [sign] (digits [. [digits]] | . digits) [(E|D) [sign] digits].
    std::size_t i = 0;
    const std::size_t n = token.size();
    if (i < n && (token[i] == '+' || token[i] == '-')) ++i;
    std::size_t mantissaDigits = 0;
    while (i < n && isDigit(token[i]))
        ++i, ++mantissaDigits;
    if (i < n && token[i] == '.') {
        ++i;
        while (i < n && isDigit(token[i]))
            ++i, ++mantissaDigits;
    }
    if (mantissaDigits == 0) return false;
    std::string text = token;
    if (i < n && (token[i] == 'e' || token[i] == 'E' || token[i] == 'd' || token[i] == 'D')) {
        text[i] = 'E';
        ++i;
        if (i < n && (token[i] == '+' || token[i] == '-')) ++i;
        std::size_t exponentDigits = 0;
        while (i < n && isDigit(token[i]))
            ++i, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    if (i != n) return false;

    errno = 0;
    char* end = nullptr;
    const float parsed = strtof_l(text.c_str(), &end, cLocale());
    if (end != text.c_str() + text.size()) return false;
    // Overflow has no single-precision value; underflow rounds correctly to a
    // tiny or zero value, which is what the number means.
    if (std::isinf(parsed)) return false;
    value = parsed;
    return true;
}

bool parseWholeToken(const std::string& token, std::int32_t& value) {
    const char* first = token.data();
    const char* last = token.data() + token.size();
    if (first != last && *first == '+') ++first;
    if (first == last || (*first == '-' && first + 1 == last)) return false;
    std::int32_t parsed = 0;
    const auto [ptr, ec] = std::from_chars(first, last, parsed);
    if (ec != std::errc() || ptr != last) return false;
    value = parsed;
    return true;
}

FreeFormatReader::FreeFormatReader(std::istream& in, std::string fileName)
    : m_in(in), m_fileName(std::move(fileName)) {}

void FreeFormatReader::fail(int code, const std::string& text) const {
    throw FileError(code, text);
}

void FreeFormatReader::refuseText(const std::string& value, const std::string& what,
                                  const std::string& allowed) const {
    fail(kErrOutOfRange, "nepripustna hodnota '" + value + "': " + m_fileName + ", radek " +
                             std::to_string(m_lineNumber) + " (" + what + ", povoleno " + allowed +
                             ")");
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

bool FreeFormatReader::nextLine() {
    if (!std::getline(m_in, m_line)) return false;
    ++m_lineNumber;
    m_pos = 0;
    return true;
}

void FreeFormatReader::beginRead() {
    // Every read starts on a fresh line; what is left of the previous one is ignored.
    m_line.clear();
    m_pos = 0;
}

bool FreeFormatReader::nextToken(std::string& token, const std::string& what, std::size_t index,
                                 std::size_t count) {
    for (;;) {
        while (m_pos < m_line.size() && isSeparator(m_line[m_pos]))
            ++m_pos;
        if (m_pos < m_line.size()) break;
        if (!nextLine())
            fail(kErrEndOfFile, "konec souboru: " + m_fileName + ", radek " +
                                    std::to_string(m_lineNumber + 1) + " (" +
                                    describe(what, index, count) + ")");
    }
    if (m_line[m_pos] == '/') {
        m_pos = m_line.size();
        return false;
    }
    const std::size_t start = m_pos;
    while (m_pos < m_line.size() && !isSeparator(m_line[m_pos]) && m_line[m_pos] != '/')
        ++m_pos;
    token.assign(m_line, start, m_pos - start);
    return true;
}

void FreeFormatReader::readReals(std::span<float> items, const std::string& what) {
    beginRead();
    std::string token;
    for (std::size_t k = 0; k < items.size(); ++k) {
        if (!nextToken(token, what, k, items.size())) return;
        if (!parseRealToken(token, items[k]))
            fail(kErrBadValue, "chybna hodnota '" + printable(token) + "': " + m_fileName +
                                   ", radek " + std::to_string(m_lineNumber) + " (" +
                                   describe(what, k, items.size()) + ", ocekavano realne cislo)");
    }
}

float FreeFormatReader::readReal(float previous, const std::string& what) {
    float value = previous;
    readReals(std::span<float>(&value, 1), what);
    return value;
}

std::int32_t FreeFormatReader::readWhole(std::int32_t previous, const std::string& what) {
    beginRead();
    std::string token;
    if (!nextToken(token, what, 0, 1)) return previous;
    std::int32_t value = previous;
    if (!parseWholeToken(token, value))
        fail(kErrBadValue, "chybna hodnota '" + printable(token) + "': " + m_fileName + ", radek " +
                               std::to_string(m_lineNumber) + " (" + describe(what, 0, 1) +
                               ", ocekavano cele cislo)");
    return value;
}

} // namespace veldron
