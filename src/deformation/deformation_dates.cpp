// Dates and class names of the monitoring, defined weakly here so that the command and the
// writers link before the monitoring library defines them; the library's own definitions take
// precedence once it holds them, and this file then goes.
#include "deformation.h"

#include <cctype>

namespace korvane::deformation {

namespace {

bool leapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysIn(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

__attribute__((weak)) std::optional<double> decimalYear(const std::string& date)
{
    if (date.size() != 10 || date[4] != '-' || date[7] != '-')
        return std::nullopt;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!std::isdigit(static_cast<unsigned char>(date[i])))
            return std::nullopt;
    const int year = std::stoi(date.substr(0, 4));
    const int month = std::stoi(date.substr(5, 2));
    const int day = std::stoi(date.substr(8, 2));
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysIn(year, month))
        return std::nullopt;
    int dayOfYear = day - 1;
    for (int m = 1; m < month; ++m)
        dayOfYear += daysIn(year, m);
    return year + double(dayOfYear) / (leapYear(year) ? 366 : 365);
}

__attribute__((weak)) const char* velocityClassName(VelocityClass kind)
{
    switch (kind) {
    case VelocityClass::Reference:
        return "reference";
    case VelocityClass::Still:
        return "still";
    case VelocityClass::Moving:
        return "moving";
    case VelocityClass::BeyondLimit:
        return "beyond-limit";
    case VelocityClass::NoVelocity:
        break;
    }
    return "none";
}

}  // namespace korvane::deformation
