// The core's record layout: reals in 16 characters, whole numbers in 12, CR LF.
#include "core/io/record_writer.h"

#include "core/errors.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace veldron {

namespace {

std::string rightAligned(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

} // namespace

std::string formatReal(float x) {
    const double v = x;
    char buffer[64];
    if (std::isnan(v)) return rightAligned("NaN", 16);
    if (std::isinf(v)) return rightAligned(v > 0 ? "Infinity" : "-Infinity", 16);
    const double magnitude = std::fabs(v);
    if (v == 0.0 || (magnitude >= 0x1p-11 && magnitude < 1000000.0)) {
        std::snprintf(buffer, sizeof buffer, "%.7f", v);
        return rightAligned(buffer, 16);
    }
    // printf writes at least two exponent digits; the layout has three.
    std::snprintf(buffer, sizeof buffer, "%.7E", v);
    std::string text = buffer;
    const std::size_t e = text.find('E');
    std::string digits = text.substr(e + 2);
    while (digits.size() < 3)
        digits.insert(digits.begin(), '0');
    text = text.substr(0, e + 2) + digits;
    return rightAligned(text, 16);
}

std::string formatWhole(std::int64_t n) {
    return rightAligned(std::to_string(n), 12);
}

std::string formatRecord(std::initializer_list<float> values) {
    std::string record;
    for (float v : values)
        record += formatReal(v);
    record += "\r\n";
    return record;
}

RecordFile::RecordFile(const std::filesystem::path& path)
    : m_path(path), m_out(path, std::ios::binary | std::ios::trunc) {
    if (!m_out)
        throw FileError(kErrOpenOutput, "nelze vytvorit vystupni soubor " + path.string() + " (" +
                                            std::strerror(errno) + ")");
}

void RecordFile::write(std::initializer_list<float> values) {
    m_out << formatRecord(values);
}

void RecordFile::writeText(const std::string& text) {
    m_out << text;
}

void RecordFile::flush() {
    m_out.flush();
    if (!m_out) throw FileError(kErrWrite, "chyba zapisu do souboru " + m_path.string());
}

} // namespace veldron
