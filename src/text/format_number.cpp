#include "text/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace korvane::text {

namespace {

struct NumberPattern {
    int decimals = 0;           // '0's after the point
    int minIntegerDigits = 0;   // '0's before the point
};

NumberPattern parsePattern(QStringView pattern)
{
    NumberPattern parsed;
    bool afterPoint = false;
    for (const QChar c : pattern) {
        if (c == u'.')
            afterPoint = true;
        else if (c == u'0')
            ++(afterPoint ? parsed.decimals : parsed.minIntegerDigits);
    }
    // A whole number always shows at least one digit.
    if (parsed.decimals == 0 && parsed.minIntegerDigits == 0)
        parsed.minIntegerDigits = 1;
    return parsed;
}

// A magnitude rounded to a fixed number of decimals, as plain digits.
struct FixedDigits {
    std::string digits;          // integer digits followed by the decimals
    std::size_t integerCount = 0;
};

constexpr int significantDigits = 15;

// Rounds the 15-significant-digit decimal form of magnitude (>= 0, finite)
// half away from zero at the given number of decimals. std::to_chars, not
// snprintf: the application's locale must not change the decimal point.
FixedDigits roundToDecimals(double magnitude, int decimals)
{
    char buffer[40];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                       std::chars_format::scientific, significantDigits - 1);
    // buffer holds "d.dddddddddddddde+XX"
    std::string significant(1, buffer[0]);
    significant.append(buffer + 2, buffer + 1 + significantDigits);
    const char *exponentText = std::find(buffer, written.ptr, 'e') + 1;
    if (*exponentText == '+')
        ++exponentText;
    int exponent = 0;
    std::from_chars(exponentText, written.ptr, exponent);

    const long integerCount = long(exponent) + 1;   // digits before the point
    FixedDigits fixed;
    if (integerCount > 0) {
        fixed.digits = significant;
        if (fixed.digits.size() < std::size_t(integerCount))
            fixed.digits.append(std::size_t(integerCount) - fixed.digits.size(), '0');
        fixed.integerCount = std::size_t(integerCount);
    } else {
        const long leadingZeros = -integerCount;
        if (leadingZeros > decimals) {
            // Even the rounding digit is a leading zero.
            fixed.digits.assign(std::size_t(decimals), '0');
            return fixed;
        }
        fixed.digits.assign(std::size_t(leadingZeros), '0');
        fixed.digits += significant;
    }

    const std::size_t keep = fixed.integerCount + std::size_t(decimals);
    if (fixed.digits.size() <= keep) {
        fixed.digits.append(keep - fixed.digits.size(), '0');
        return fixed;
    }

    const bool roundUp = fixed.digits[keep] >= '5';
    fixed.digits.resize(keep);
    if (roundUp) {
        std::size_t i = keep;
        while (i > 0 && fixed.digits[i - 1] == '9')
            fixed.digits[--i] = '0';
        if (i > 0) {
            ++fixed.digits[i - 1];
        } else {
            fixed.digits.insert(fixed.digits.begin(), '1');
            ++fixed.integerCount;
        }
    }
    return fixed;
}

QString nonFiniteText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    return value < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
}

} // namespace

QString formatNumber(double value, QStringView pattern)
{
    if (!std::isfinite(value))
        return nonFiniteText(value);

    const NumberPattern parsed = parsePattern(pattern);
    const FixedDigits fixed = roundToDecimals(std::fabs(value), parsed.decimals);

    std::string_view integer(fixed.digits.data(), fixed.integerCount);
    while (!integer.empty() && integer.front() == '0')
        integer.remove_prefix(1);
    const std::string_view decimals(fixed.digits.data() + fixed.integerCount,
                                    fixed.digits.size() - fixed.integerCount);

    std::string text;
    text.reserve(fixed.digits.size() + std::size_t(parsed.minIntegerDigits) + 2);
    if (value < 0)   // not for -0.0
        text += '-';
    if (integer.size() < std::size_t(parsed.minIntegerDigits))
        text.append(std::size_t(parsed.minIntegerDigits) - integer.size(), '0');
    text += integer;
    if (parsed.decimals > 0) {
        text += '.';
        text += decimals;
    }
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

} // namespace korvane::text
