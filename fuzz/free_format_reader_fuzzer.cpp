// The free-format reader on arbitrary text: reads of reals and whole numbers
// until the text runs out, and every token checked against the C library's
// correctly rounded conversion.
//
// Input: one byte that plans the reads (bit j: read j is a whole number or a
// read of 1 ... 4 reals; bit 0 also: the text is a table), then the text.
#include "core/errors.h"
#include "exchange/free_format_reader.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

using exchange::FileError;
using exchange::FreeFormatReader;

namespace {

[[noreturn]] void violated(const std::string& what) {
    std::fprintf(stderr, "INVARIANT VIOLATED: %s\n", what.c_str());
    std::abort();
}

// A token the reader accepts means what the C library's conversion (in the
// "C" locale of this process) says it means; one it refuses is malformed or
// beyond single precision.
void checkToken(const std::string& token) {
    float value = 0;
    if (exchange::parseRealToken(token, value)) {
        if (!std::isfinite(value)) violated("real token not finite: " + token);
        std::string text = token;
        for (char& c : text)
            if (c == 'd' || c == 'D') c = 'E';
        char* end = nullptr;
        const float expected = std::strtof(text.c_str(), &end);
        if (end != text.c_str() + text.size() || std::memcmp(&value, &expected, sizeof value) != 0)
            violated("real token read differently: " + token);
    }
    std::int32_t whole = 0;
    if (exchange::parseWholeToken(token, whole)) {
        std::int32_t expected = 0;
        const char* first = token.data() + (token[0] == '+' ? 1 : 0);
        const auto [ptr, ec] = std::from_chars(first, token.data() + token.size(), expected);
        if (ec != std::errc() || ptr != token.data() + token.size() || expected != whole)
            violated("whole token read differently: " + token);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned plan = data[0];
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    // Tokens as the reader separates them: blanks, tabs, CR, commas, line ends.
    std::size_t start = std::string::npos;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const bool separator = i == text.size() || std::strchr(" \t\r\n,", text[i]) != nullptr;
        if (!separator && start == std::string::npos) start = i;
        if (separator && start != std::string::npos) {
            checkToken(text.substr(start, i - start));
            start = std::string::npos;
        }
    }

    const auto layout = plan & 1 ? exchange::Layout::Table : exchange::Layout::OneValue;
    exchange::FreeFormatReader reader(text, "IN_FUZZ", layout);
    // Lines end at LF, or at CR in a text without any LF.
    const char lineEnd = text.find('\n') == std::string::npos ? '\r' : '\n';
    int lines = 1;
    for (char c : text)
        lines += c == lineEnd;
    int lastLine = 0;
    try {
        for (int j = 0; j < 256; ++j) {
            if (plan >> (j % 8) & 1) {
                reader.readWhole();
            } else {
                std::array<float, 4> values{1, 2, 3, 4};
                const auto count = static_cast<std::size_t>(1 + j % 4);
                reader.readReals(std::span<float>(values.data(), count));
                for (float v : values)
                    if (!std::isfinite(v)) violated("a read gave a value that is not finite");
            }
            // Every read starts on a new line: the line number rises with each
            // read that found a value, and never passes the end of the text.
            if (reader.lineNumber() <= lastLine || reader.lineNumber() > lines)
                violated("line number " + std::to_string(reader.lineNumber()) + " after " +
                         std::to_string(lastLine));
            lastLine = reader.lineNumber();
        }
    } catch (const FileError& e) {
        const std::string message = e.what();
        if (message.find("IN_FUZZ, radek ") == std::string::npos)
            violated("message without file and line: " + message);
        for (char c : message)
            if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F)
                violated("message not plain ASCII: " + message);
    }
    return 0;
}
