#include "number_format.h"

#include <cmath>
#include <cstdio>

namespace korvane::analysis {

std::string fixed(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string result = text;
    if (result.front() == '-' && result.find_first_not_of("-0.") == std::string::npos)
        result.erase(0, 1);
    return result;
}

std::string fixedOr(const Quantity& value, int decimals, std::string_view missing)
{
    return value ? fixed(*value, decimals) : std::string(missing);
}

double rounded(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double result = std::round(value * scale) / scale;
    return std::isfinite(result) ? result + 0.0 : value;
}

std::string significant(double value, int digits)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    return text;
}

}  // namespace korvane::analysis
