#include "fixed_number.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace korvane::analysis {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The exponent part after the mantissa: a letter E, D or Q (either case) or a sign directly,
// then an optional sign and digits. Nothing when it is malformed.
std::optional<long> exponentOf(std::string_view rest)
{
    if (rest.empty())
        return 0L;
    const char letter = rest.front();
    if (letter == 'E' || letter == 'e' || letter == 'D' || letter == 'd' || letter == 'Q' || letter == 'q')
        rest.remove_prefix(1);
    else if (letter != '+' && letter != '-')
        return std::nullopt;
    if (!rest.empty() && rest.front() == '+')
        rest.remove_prefix(1);
    long exponent = 0;
    const auto result = std::from_chars(rest.data(), rest.data() + rest.size(), exponent);
    if (rest.empty() || result.ec != std::errc() || result.ptr != rest.data() + rest.size())
        return std::nullopt;
    if (exponent > 100000 || exponent < -100000)
        return std::nullopt;
    return exponent;
}

}  // namespace

std::optional<double> fixedFieldNumber(std::string_view field)
{
    std::string packed;
    for (char c : field)
        if (c != ' ')
            packed += c;
    if (packed.empty())
        return 0.0;
    if (packed.size() > 96)
        return std::nullopt;

    std::size_t at = 0;
    std::string number;
    if (packed[at] == '+' || packed[at] == '-') {
        if (packed[at] == '-')
            number += '-';
        ++at;
    }
    int digits = 0;
    bool point = false;
    while (at < packed.size() && (isDigit(packed[at]) || (packed[at] == '.' && !point))) {
        point = point || packed[at] == '.';
        digits += isDigit(packed[at]) ? 1 : 0;
        number += packed[at++];
    }
    if (digits == 0)
        return std::nullopt;
    const auto exponent = exponentOf(std::string_view(packed).substr(at));
    if (!exponent)
        return std::nullopt;
    if (*exponent != 0)
        number += "e" + std::to_string(*exponent);

    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec != std::errc() || result.ptr != number.data() + number.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace korvane::analysis
