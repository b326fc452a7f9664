// The core's record layout: reals in 16 characters, whole numbers in 12, CR LF.
#include "exchange/record_writer.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace exchange {

namespace {

constexpr std::size_t kRealWidth = 16; // characters of a real's field

__extension__ typedef unsigned __int128 Wide; // holds every finite float as a whole number

constexpr std::array<Wide, 39> kPowersOfTen = [] {
    std::array<Wide, 39> p{};
    p[0] = 1;
    for (std::size_t i = 1; i < p.size(); ++i)
        p[i] = p[i - 1] * 10;
    return p;
}();

std::string rightAligned(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233"
    "34353637383940414243444546474849505152535455565758596061626364656667"
    "6869707172737475767778798081828384858687888990919293949596979899";

// Writes the decimal digits of v, at least `count` of them, backwards from
// end, two at a time.
char* putDigits(char* end, std::uint32_t v, int count) {
    while (v >= 100) {
        end -= 2;
        std::memcpy(end, &kDigitPairs[2 * (v % 100)], 2);
        v /= 100;
        count -= 2;
    }
    if (v >= 10) {
        end -= 2;
        std::memcpy(end, &kDigitPairs[2 * v], 2);
        count -= 2;
    } else {
        *--end = static_cast<char>('0' + v);
        --count;
    }
    for (; count > 0; --count)
        *--end = '0';
    return end;
}

// Right-aligns text [from, end) in the field of kRealWidth characters.
void putField(char* out, const char* from, const char* end) {
    const auto length = static_cast<std::size_t>(end - from);
    std::memset(out, ' ', kRealWidth - length);
    std::memcpy(out + kRealWidth - length, from, length);
}

// printf's own text, for the magnitudes below 2^-11 (whose exact decimal value
// needs more than 128 bits) and the values that are not numbers.
void putRealByPrintf(char* out, float x) {
    const double v = x;
    std::string text;
    if (std::isnan(v)) {
        text = "NaN";
    } else if (std::isinf(v)) {
        text = v > 0 ? "Infinity" : "-Infinity";
    } else {
        char buffer[64];
        // printf writes at least two exponent digits; the layout has three.
        std::snprintf(buffer, sizeof buffer, "%.7E", v);
        text = buffer;
        const std::size_t e = text.find('E');
        std::string digits = text.substr(e + 2);
        while (digits.size() < 3)
            digits.insert(digits.begin(), '0');
        text = text.substr(0, e + 2) + digits;
    }
    putField(out, text.data(), text.data() + text.size());
}

// n / d rounded to nearest, ties to even: printf's rounding of an exact value.
template <typename Unsigned> Unsigned roundedQuotient(Unsigned n, Unsigned d) {
    Unsigned q = n / d;
    const Unsigned twice = 2 * (n % d);
    if (twice > d || (twice == d && (q & 1) != 0)) ++q;
    return q;
}

// The eight significant digits of x = n / d >= 10^6, rounded, and the
// decimal exponent. Unsigned holds n and every power of ten up to n.
template <typename Unsigned>
std::uint64_t significantDigits(Unsigned n, Unsigned d, int& exponent) {
    constexpr int largest = sizeof(Unsigned) == 8 ? 19 : 38; // 10^largest fits
    exponent = 6;
    while (exponent < largest && n >= static_cast<Unsigned>(kPowersOfTen[exponent + 1]) * d)
        ++exponent;
    if (exponent >= 7)
        d *= static_cast<Unsigned>(kPowersOfTen[exponent - 7]);
    else
        n *= static_cast<Unsigned>(kPowersOfTen[7 - exponent]);
    auto q = static_cast<std::uint64_t>(roundedQuotient(n, d));
    if (q == 100000000u) { // rounded up to the next power of ten
        q = 10000000u;
        ++exponent;
    }
    return q;
}

// The field of formatReal(x), written to out[0 ... 15].
// The decimal text comes from the exact binary value x = m 2^e (m < 2^24)
// in whole-number arithmetic, rounded to nearest with ties to even, as glibc's
// printf rounds; a test compares it with printf over many millions of values.
void putReal(char* out, float x) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    const bool negative = (bits >> 31) != 0;
    const auto biased = static_cast<int>((bits >> 23) & 0xff);
    const std::uint32_t m = biased != 0 ? (bits & 0x7fffffu) | 0x800000u : bits & 0x7fffffu;
    const int e = (biased != 0 ? biased : 1) - 150;
    const float magnitude = std::fabs(x);
    // The text is written backwards from the field's end over blanks, so it
    // stands right-aligned as it is written.
    std::memcpy(out, "                ", kRealWidth);
    char* p = out + kRealWidth;

    if (magnitude == 0.0f || (magnitude >= 0x1p-11f && magnitude < 1000000.0f)) {
        // Seven decimals: q = x 10^7 rounded. Here -34 <= e <= -4 (2^-11 <= x
        // < 10^6 < 2^23), so q = m 10^7 / 2^-e with m 10^7 < 2^48.
        std::uint64_t q = 0;
        if (m != 0) {
            const std::uint64_t scaled = std::uint64_t{m} * 10000000u;
            const std::uint64_t half = std::uint64_t{1} << (-e - 1);
            const std::uint64_t rest = scaled & (2 * half - 1);
            q = scaled >> -e;
            if (rest > half || (rest == half && (q & 1) != 0)) ++q;
        }
        p = putDigits(p, static_cast<std::uint32_t>(q % 10000000u), 7);
        *--p = '.';
        p = putDigits(p, static_cast<std::uint32_t>(q / 10000000u), 1);
    } else if (magnitude >= 1000000.0f && std::isfinite(magnitude)) {
        // Eight significant digits: x = n / d with n, d whole (e >= -4 here);
        // 64 bits hold n up to 2^63, 128 bits every float.
        int exponent = 0;
        const std::uint64_t q =
            e < 0    ? significantDigits<std::uint64_t>(m, std::uint64_t{1} << -e, exponent)
            : e < 40 ? significantDigits<std::uint64_t>(std::uint64_t{m} << e, 1, exponent)
                     : significantDigits<Wide>(Wide{m} << e, 1, exponent);
        p = putDigits(p, static_cast<std::uint32_t>(exponent), 3);
        *--p = '+';
        *--p = 'E';
        p = putDigits(p, static_cast<std::uint32_t>(q % 10000000u), 7);
        *--p = '.';
        *--p = static_cast<char>('0' + q / 10000000u);
    } else {
        putRealByPrintf(out, x);
        return;
    }
    if (negative) *--p = '-';
}

} // namespace

std::string formatReal(float x) {
    std::string text(kRealWidth, ' ');
    putReal(text.data(), x);
    return text;
}

std::string formatWhole(std::int64_t n) {
    return rightAligned(std::to_string(n), 12);
}

void appendRecord(std::string& text, std::initializer_list<float> values) {
    std::size_t at = text.size();
    text.resize(at + kRealWidth * values.size() + 2);
    for (float v : values) {
        putReal(&text[at], v);
        at += kRealWidth;
    }
    text[at] = '\r';
    text[at + 1] = '\n';
}

std::string formatRecord(std::initializer_list<float> values) {
    std::string record;
    appendRecord(record, values);
    return record;
}

} // namespace exchange
