// The monitoring result as one self-contained HTML page in Traditional Chinese: the verdicts
// first (agreement of the epochs' variances, congruence of each comparison, the benchmarks
// beyond the rate limit and the moving ones), then the tables of the epochs, displacements and
// velocities, then the pictures as inline SVG: the height of each flagged benchmark over time
// with its fitted line (the 30 fastest), and a map of the velocities.
#pragma once

#include "benchmark_map.h"
#include "deformation.h"

#include <ostream>

namespace korvane::deformation {

// Flagged benchmarks that get a picture of their height over time, the fastest first.
inline constexpr std::size_t kHeightPicturesMost = 30;

void writeDeformationHtml(const DeformationResult& result, const MapPlaces& places, std::ostream& out);

}  // namespace korvane::deformation
