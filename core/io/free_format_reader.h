// List-directed reading of the IN_* exchange files.
#pragma once

#include <cstdint>
#include <istream>
#include <span>
#include <string>

namespace veldron {

/// Reads values the way every IN_* file is defined to be read:
/// - values are separated by blanks, tabs, commas or line ends (a comma always
///   ends a value: "0,8" is 0 followed by 8);
/// - each read starts at the beginning of a new line and continues onto the
///   following lines while it needs values; values left over on its last line
///   are ignored;
/// - a slash ends a read early; the items not yet read keep their values;
/// - a whole item accepts only an optionally signed integer, a real item also
///   decimal and exponent notation (2, 2.5, 2.5E1, .5, 5.).
/// A missing value at the end of the file or a value of the wrong kind throws
/// FileError naming the file and the line.
class FreeFormatReader {
public:
    FreeFormatReader(std::istream& in, std::string fileName);

    /// One read of items.size() reals. `what` describes the read for messages.
    void readReals(std::span<float> items, const std::string& what = {});
    /// One read of a single real; a slash leaves `previous`.
    float readReal(float previous = 0.0f, const std::string& what = {});
    /// One read of a single whole number; a slash leaves `previous`.
    std::int32_t readWhole(std::int32_t previous = 0, const std::string& what = {});

    /// Number of the line the last read ended on (1-based, 0 before any read).
    int lineNumber() const { return m_lineNumber; }

    /// Refuses the value of the last read, one the calculation cannot use:
    /// throws FileError naming the file, the line, the value, what was read
    /// and what is allowed.
    [[noreturn]] void refuse(float value, const std::string& what,
                             const std::string& allowed) const;
    [[noreturn]] void refuse(std::int32_t value, const std::string& what,
                             const std::string& allowed) const;

private:
    enum class Kind { Real, Whole };
    // Moves to the next token of the current read; false when a slash ends it.
    bool nextToken(std::string& token, const std::string& what, std::size_t index,
                   std::size_t count);
    bool nextLine();
    [[noreturn]] void fail(int code, const std::string& text) const;
    [[noreturn]] void refuseText(const std::string& value, const std::string& what,
                                 const std::string& allowed) const;
    void beginRead();

    std::istream& m_in;
    std::string m_fileName;
    std::string m_line;
    std::size_t m_pos = 0;
    int m_lineNumber = 0;
};

/// Parses one real token as a float, correctly rounded; false if malformed.
bool parseRealToken(const std::string& token, float& value);
/// Parses one whole token as a 32-bit integer; false if malformed or too large.
bool parseWholeToken(const std::string& token, std::int32_t& value);

} // namespace veldron
