// The readable summary of a monitoring run, as `korvane deform` prints it (UTF-8 text, LF line
// ends): each epoch with its sigma0, global test and variance test, the pooled sigma0, each
// comparison of two epochs (congruence of all common benchmarks and of the stable set, the
// significant displacements), and the velocities: the count of each class and every moving
// benchmark and every one beyond the rate limit.
#pragma once

#include "deformation.h"

#include <ostream>

namespace korvane::deformation {

// Up to this many significant displacements of a comparison are listed (the result files hold
// every one).
inline constexpr int kSummaryDisplacementsUpTo = 200;

void writeDeformationSummary(const DeformationResult& result, std::ostream& out);

}  // namespace korvane::deformation
