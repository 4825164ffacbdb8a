// What the summary, the result files and the report pick out of a monitoring result alike: the
// flagged benchmarks (moving, or beyond the rate limit) and how an epoch is named.
#pragma once

#include "deformation.h"

#include <cstddef>
#include <string>
#include <vector>

namespace korvane::deformation {

// Moving or beyond the rate limit.
bool flagged(const VelocityRow& row);

// The flagged benchmarks' rows (indices into `velocities`), fastest (largest |velocity|) first,
// at most `most`.
std::vector<std::size_t> fastestFlagged(const DeformationResult& result, std::size_t most);

// The epoch's date, as the result files name an epoch.
const std::string& epochDate(const DeformationResult& result, int epoch);

const std::string& benchmarkName(const DeformationResult& result, int benchmark);

// "iterative", "iwst" or "given".
const char* stableSearchName(StableSearch search);

}  // namespace korvane::deformation
