// A result value that may not be computable. Its interface is that of an optional number: test
// it (has_value, or as a condition) before reading it with *. A value that is not computable -
// including every NaN or infinity given to it - is stored as such, which the writers show as
// null, an empty cell or a dash; no NaN or infinity ever comes out of a computable Quantity.
// (It takes 8 bytes, half an std::optional<double>: results hold a dozen per observation.)
#pragma once

#include <cmath>
#include <limits>
#include <optional>

namespace korvane::analysis {

class Quantity {
public:
    Quantity() = default;
    Quantity(std::nullopt_t) {}
    Quantity(double value) : value_(std::isfinite(value) ? value : kNotComputable) {}

    bool has_value() const { return !std::isnan(value_); }
    explicit operator bool() const { return has_value(); }
    // The value; only for a Quantity that has one.
    double operator*() const { return value_; }
    double value_or(double fallback) const { return has_value() ? value_ : fallback; }

    friend bool operator==(const Quantity& a, const Quantity& b)
    {
        return a.has_value() == b.has_value() && (!a.has_value() || a.value_ == b.value_);
    }

private:
    static constexpr double kNotComputable = std::numeric_limits<double>::quiet_NaN();
    double value_ = kNotComputable;
};

inline Quantity computed(double value)
{
    return Quantity(value);
}

}  // namespace korvane::analysis
