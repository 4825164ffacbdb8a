// Numbers as the result files and the summary write them: fixed decimals, "." as the decimal
// sign, no "-0.000", and a word of the caller's choosing for a value that is not computable.
// Every finite value comes out whole, with all its digits (a height of 6.67e79 m has 80 of them).
#pragma once

#include "quantity.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane::analysis {

std::string fixed(double value, int decimals);
// The same text written at `first`, into at most fixedRoom(decimals) characters; returns its end.
std::size_t fixedRoom(int decimals);
char* writeFixed(char* first, double value, int decimals);
std::string fixedOr(const Quantity& value, int decimals, std::string_view missing);
// The value rounded to `decimals` decimals (for the JSON numbers).
double rounded(double value, int decimals);
// Significant digits, for values whose size varies a lot (weights).
std::string significant(double value, int digits);
std::size_t significantRoom(int digits);
char* writeSignificant(char* first, double value, int digits);

}  // namespace korvane::analysis
