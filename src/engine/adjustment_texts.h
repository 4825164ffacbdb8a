// Fixed texts of the adjustment's console, report and dump.
#pragma once

#include "big5_texts.h"

#include <array>
#include <string_view>

namespace tarnex {

// The box of the adjustment, on the console and at the top of the report (each after 16X).
inline constexpr std::array<std::string_view, 5> kAdjustmentBox = {
    "****************************************",
    kAdjustmentBoxTitle,
    "*                                      *",
    "*         VERSION 1.0  1992.09         *",
    "****************************************",
};

// The program line and its credit lines on the console (each at column 20).
inline constexpr std::array<std::string_view, 6> kCreditLines = {
    "  DIFFERENTIAL LEVELING PROCESSING PROGRAM ",
    "  least-squares adjustment of levelled height differences",
    "  known points enter as weighted observations of their heights",
    "  normal equations in profile storage, Cholesky factor and inverse",
    "  redundancy numbers and data snooping for every observation",
    "  tarnex engine",
};

// The permission notice on the console (at column 5).
inline constexpr std::string_view kPermissionNotice =
    "This program may be used, copied and passed on freely for surveying work; it comes with no "
    "warranty, and the surveyor checks its results before relying on them.";

inline constexpr std::string_view kComputationTitle = "**  LEVEL NET ADJUSTMENT COMPUTATION **";

}  // namespace tarnex
