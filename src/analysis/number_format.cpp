#include "number_format.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace korvane::analysis {

namespace {

// A finite double has at most 309 whole digits.
constexpr std::size_t kWholeDigitsMost = 309;

constexpr std::array<double, 23> kPowersOfTen = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                                  1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kQuickDecimals = 9;

// The common case in integers: |value| 10^decimals below 2^62, at most kQuickDecimals decimals.
// The value is m 2^e exactly; m 10^decimals (below 2^83) shifted right by -e, rounded half to
// even on the exact remainder, gives the digits: the same as std::to_chars, which rounds the
// exact value too. Nothing when the value is outside that range.
char* quickFixed(char* first, double value, int decimals)
{
    const double magnitude = std::abs(value);
    if (decimals > kQuickDecimals || !(magnitude * kPowersOfTen[std::size_t(decimals)] < 0x1p62))
        return nullptr;
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const int biased = int(bits >> 52);
    const std::uint64_t fraction = bits & ((std::uint64_t(1) << 52) - 1);
    const std::uint64_t mantissa = biased == 0 ? fraction : fraction | (std::uint64_t(1) << 52);
    const int shift = (biased == 0 ? 1 : biased) - 1075;  // value = mantissa 2^shift
    const auto scaled = static_cast<unsigned __int128>(mantissa) * std::uint64_t(kPowersOfTen[std::size_t(decimals)]);
    std::uint64_t units = 0;  // |value| 10^decimals, rounded
    if (shift >= 0) {
        units = std::uint64_t(scaled << shift);
    } else if (shift > -120) {
        const int right = -shift;
        units = std::uint64_t(scaled >> right);
        const unsigned __int128 rest = scaled & ((static_cast<unsigned __int128>(1) << right) - 1);
        const unsigned __int128 half = static_cast<unsigned __int128>(1) << (right - 1);
        if (rest > half || (rest == half && (units & 1) != 0))
            ++units;
    }
    char digits[24];
    const int count = int(std::to_chars(digits, digits + sizeof digits, units).ptr - digits);
    char* at = first;
    if (std::signbit(value) && units != 0)
        *at++ = '-';
    const int whole = count - decimals;
    if (whole <= 0)
        *at++ = '0';
    else
        at = std::copy(digits, digits + whole, at);
    if (decimals == 0)
        return at;
    *at++ = '.';
    if (whole < 0)
        at = std::fill_n(at, -whole, '0');
    const int from = std::max(whole, 0);
    return std::copy(digits + from, digits + count, at);
}

}  // namespace

std::size_t fixedRoom(int decimals)
{
    return kWholeDigitsMost + 3 + std::size_t(std::max(decimals, 0));
}

char* writeFixed(char* first, double value, int decimals)
{
    decimals = std::max(decimals, 0);
    if (char* end = quickFixed(first, value, decimals))
        return end;
    char* end = std::to_chars(first, first + fixedRoom(decimals), value, std::chars_format::fixed, decimals).ptr;
    if (*first == '-' && std::all_of(first + 1, end, [](char c) { return c == '0' || c == '.'; })) {
        std::memmove(first, first + 1, std::size_t(end - first - 1));
        --end;
    }
    return end;
}

std::size_t significantRoom(int digits)
{
    return std::size_t(std::max(digits, 1)) + 16;
}

char* writeSignificant(char* first, double value, int digits)
{
    digits = std::max(digits, 1);
    return std::to_chars(first, first + significantRoom(digits), value, std::chars_format::general, digits).ptr;
}

std::string fixed(double value, int decimals)
{
    std::string text(fixedRoom(decimals), '\0');
    text.resize(std::size_t(writeFixed(text.data(), value, decimals) - text.data()));
    return text;
}

std::string fixedOr(const Quantity& value, int decimals, std::string_view missing)
{
    return value ? fixed(*value, decimals) : std::string(missing);
}

double rounded(double value, int decimals)
{
    // The powers of ten up to 1e22 are exact doubles, as std::pow gives them.
    const double scale = decimals >= 0 && decimals < int(kPowersOfTen.size()) ? kPowersOfTen[std::size_t(decimals)]
                                                                                : std::pow(10.0, decimals);
    const double result = std::round(value * scale) / scale;
    return std::isfinite(result) ? result + 0.0 : value;
}

std::string significant(double value, int digits)
{
    std::string text(significantRoom(digits), '\0');
    text.resize(std::size_t(writeSignificant(text.data(), value, digits) - text.data()));
    return text;
}

}  // namespace korvane::analysis
