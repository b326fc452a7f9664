// The core's record layout: reals in 16 characters, whole numbers in 12, CR LF.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace exchange {

/// A real right-aligned in 16 characters. Zero and magnitudes from 2^-11 up to
/// (not including) 1,000,000 in fixed point with seven decimals
/// ("      19.6200008"); everything else with one digit, seven decimals, E, sign
/// and three exponent digits ("  1.2345670E+006"). Rounds the exact binary
/// value of the float to nearest, ties to even. NaN and infinities, which only
/// absurd input produces, are written as "NaN", "Infinity", "-Infinity".
std::string formatReal(float x);

/// A whole number right-aligned in 12 characters.
std::string formatWhole(std::int64_t n);

/// One record: the values' fields side by side, then CR LF.
std::string formatRecord(std::initializer_list<float> values);

/// The same record, appended to text.
void appendRecord(std::string& text, std::initializer_list<float> values);

/// Where records go: a file in a run, a string in tests.
class RecordSink {
public:
    virtual ~RecordSink() = default;
    virtual void write(std::initializer_list<float> values) = 0;
};

/// Collects records in memory.
class StringSink : public RecordSink {
public:
    void write(std::initializer_list<float> values) override { appendRecord(text, values); }
    std::string text;
};

} // namespace exchange
