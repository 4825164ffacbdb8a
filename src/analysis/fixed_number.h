// A number in a fixed-column field of the engine input file, read as tarnex reads it (an Fw.0
// field): blanks anywhere in the field are ignored, an all-blank field is zero, a decimal point
// is optional, and an exponent may follow (1.5E2, 1.5D2, 1.5Q2 or 1.5+2).
#pragma once

#include <optional>
#include <string_view>

namespace korvane::analysis {

// The value, or nothing when the field holds no number (or one too large for a double).
std::optional<double> fixedFieldNumber(std::string_view field);

}  // namespace korvane::analysis
