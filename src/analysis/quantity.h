// A result value that may not be computable. It never holds NaN or infinity: such a value is
// stored as "not computable", which the writers show as null, an empty cell or a dash.
#pragma once

#include <cmath>
#include <optional>

namespace korvane::analysis {

using Quantity = std::optional<double>;

inline Quantity computed(double value)
{
    return std::isfinite(value) ? Quantity(value) : std::nullopt;
}

}  // namespace korvane::analysis
