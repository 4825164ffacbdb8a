#include "number_format.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace korvane::analysis {

namespace {

// A finite double has at most 309 whole digits; with its sign, point and decimals it fits
// this buffer up to kStackDecimals decimals (more take a buffer of their own).
constexpr int kWholeDigitsMost = 309;
constexpr int kStackDecimals = 40;
constexpr std::size_t kStackSize = kWholeDigitsMost + 2 + kStackDecimals + 8;

// Writes the text into a buffer large enough for any finite value, then hands it on.
template <typename Format, typename Take>
void formatted(int extra, const Format& format, const Take& take)
{
    std::array<char, kStackSize> stack;
    std::string heap;
    char* first = stack.data();
    char* last = first + stack.size();
    if (extra > kStackDecimals) {
        heap.resize(kStackSize + std::size_t(extra));
        first = heap.data();
        last = first + heap.size();
    }
    take(std::string_view(first, std::size_t(format(first, last) - first)));
}

constexpr std::array<double, 23> kPowersOfTen = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                                  1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kQuickDecimals = 9;

// The common case in integers: |value| 10^decimals below 2^63, at most kQuickDecimals decimals.
// The value is m 2^e exactly; m 10^decimals (below 2^83) shifted right by -e, rounded half to
// even on the exact remainder, is the text's digits: the same as std::to_chars, which rounds the
// exact value too. False when the value is outside that range.
bool appendQuickFixed(std::string& out, double value, int decimals)
{
    const double magnitude = std::abs(value);
    if (decimals > kQuickDecimals || !(magnitude * kPowersOfTen[std::size_t(decimals)] < 0x1p62))
        return false;
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const int biased = int(bits >> 52);
    const std::uint64_t fraction = bits & ((std::uint64_t(1) << 52) - 1);
    const std::uint64_t mantissa = biased == 0 ? fraction : fraction | (std::uint64_t(1) << 52);
    const int shift = (biased == 0 ? 1 : biased) - 1075;  // value = mantissa 2^shift
    const auto scaled = static_cast<unsigned __int128>(mantissa) * std::uint64_t(kPowersOfTen[std::size_t(decimals)]);
    std::uint64_t units = 0;  // value 10^decimals, rounded
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
    if (std::signbit(value) && units != 0)
        out.push_back('-');
    const int whole = count - decimals;
    if (whole <= 0)
        out.push_back('0');
    else
        out.append(digits, std::size_t(whole));
    if (decimals == 0)
        return true;
    out.push_back('.');
    if (whole < 0)
        out.append(std::size_t(-whole), '0');
    out.append(digits + std::max(whole, 0), std::size_t(count - std::max(whole, 0)));
    return true;
}

std::string_view withoutNegativeZero(std::string_view text)
{
    if (!text.empty() && text.front() == '-' &&
        std::all_of(text.begin() + 1, text.end(), [](char c) { return c == '0' || c == '.'; }))
        text.remove_prefix(1);
    return text;
}

}  // namespace

void appendFixed(std::string& out, double value, int decimals)
{
    decimals = std::max(decimals, 0);
    if (appendQuickFixed(out, value, decimals))
        return;
    formatted(
        decimals,
        [&](char* first, char* last) { return std::to_chars(first, last, value, std::chars_format::fixed, decimals).ptr; },
        [&](std::string_view text) { out.append(withoutNegativeZero(text)); });
}

std::string fixed(double value, int decimals)
{
    std::string text;
    appendFixed(text, value, decimals);
    return text;
}

std::string fixedOr(const Quantity& value, int decimals, std::string_view missing)
{
    return value ? fixed(*value, decimals) : std::string(missing);
}

double rounded(double value, int decimals)
{
    const double scale = decimals >= 0 && decimals < int(kPowersOfTen.size()) ? kPowersOfTen[std::size_t(decimals)]
                                                                                : std::pow(10.0, decimals);
    const double result = std::round(value * scale) / scale;
    return std::isfinite(result) ? result + 0.0 : value;
}

void appendSignificant(std::string& out, double value, int digits)
{
    digits = std::max(digits, 1);
    formatted(
        digits,
        [&](char* first, char* last) { return std::to_chars(first, last, value, std::chars_format::general, digits).ptr; },
        [&](std::string_view text) { out.append(text); });
}

std::string significant(double value, int digits)
{
    std::string text;
    appendSignificant(text, value, digits);
    return text;
}

}  // namespace korvane::analysis
