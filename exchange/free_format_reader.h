// List-directed reading of the IN_* exchange files.
#pragma once

#include <cstdint>
#include <istream>
#include <span>
#include <string>
#include <string_view>

namespace exchange {

/// What a line without a value means: a one-value file may begin with blank
/// lines; in a table (the curve, the flood wave) it would move every later
/// value to another row or step, so it is refused.
enum class Layout { OneValue, Table };

/// Reads values the way every IN_* file is read. A value is the whole of its
/// token: nothing that reads as another number is taken for one.
/// - A line ends at LF or CR LF; in a file without any LF, at CR.
/// - Values are separated by blanks, tabs and commas. A comma between two
///   digits is refused: it is a decimal comma ("2,5") or a thousands
///   separator ("1,000.00"), not two values.
/// - Each read starts at the beginning of a new line and continues onto the
///   following lines while it needs values. Once it has them, the rest of
///   its last line may hold only blanks and tabs; later lines are not read.
/// - In a table, a line without a value where the read needs one is refused.
/// - A whole item accepts only an optionally signed integer, a real item also
///   decimal and exponent notation (2, 2.5, 2.5E1, .5, 5., 2.5D1); any other
///   text, a slash included, is refused.
/// Every refusal throws FileError naming the file, the line and the text.
class FreeFormatReader {
public:
    /// Reads all of `in` first; the files are small and bounded by the caller.
    FreeFormatReader(std::istream& in, std::string fileName, Layout layout = Layout::OneValue);
    FreeFormatReader(std::string text, std::string fileName, Layout layout = Layout::OneValue);

    /// One read of items.size() reals. `what` describes the read for messages.
    void readReals(std::span<float> items, const std::string& what = {});
    /// One read of a single real.
    float readReal(const std::string& what = {});
    /// One read of a single whole number.
    std::int32_t readWhole(const std::string& what = {});

    /// Number of the line the last read ended on (1-based, 0 before any read).
    int lineNumber() const { return m_lineNumber; }
    /// Where the last read ended, for messages: "IN_FLOOD_WAVE, radek 3".
    std::string where() const;

    /// Refuses the value of the last read, one the calculation cannot use:
    /// throws FileError naming the file, the line, the value, what was read
    /// and what is allowed.
    [[noreturn]] void refuse(float value, const std::string& what,
                             const std::string& allowed) const;
    [[noreturn]] void refuse(std::int32_t value, const std::string& what,
                             const std::string& allowed) const;

private:
    // The next token of the current read, starting a new line where needed.
    std::string_view nextToken(const std::string& what, std::size_t index, std::size_t count);
    bool nextLine();
    bool lineHasValue() const;
    // Refuses a comma between the token's last digit and a digit after it.
    void refuseDecimalComma(std::string_view token, const std::string& what, std::size_t index,
                            std::size_t count) const;
    // Refuses what follows the last value of a read on its line.
    void endRead(std::string_view lastToken, const std::string& what) const;
    [[noreturn]] void refuseToken(std::string_view token, const std::string& what,
                                  std::size_t index, std::size_t count, const char* expected) const;
    [[noreturn]] void refuseText(const std::string& value, const std::string& what,
                                 const std::string& allowed) const;

    std::string m_text;
    std::string m_fileName;
    Layout m_layout;
    char m_lineEnd;         // '\n', or '\r' in a file without any LF
    std::size_t m_next = 0; // where the next line begins in m_text
    std::size_t m_stop = 0; // where the current line ends (before its line end)
    std::size_t m_pos = 0;  // the reading position, m_pos <= m_stop
    int m_lineNumber = 0;
};

/// Parses one real token as a float, correctly rounded; false if malformed or
/// beyond single precision. A value too small for single precision reads as 0.
bool parseRealToken(std::string_view token, float& value);
/// Parses one whole token as a 32-bit integer; false if malformed or too large.
bool parseWholeToken(std::string_view token, std::int32_t& value);

} // namespace exchange
