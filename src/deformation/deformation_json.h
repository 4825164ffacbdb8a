// The whole monitoring result as one JSON document (UTF-8): the options, every epoch with the
// summary of its network analysis (global test, counts, flagged and removed observations) and
// its heights, every comparison with its congruence tests and displacements, the kinematic
// adjustment and every benchmark's velocity. A value that is not computable is null; no number
// is NaN or infinite. Fields are documented in docs/deformation-results.md.
#pragma once

#include "deformation.h"

#include <ostream>

namespace korvane::deformation {

void writeDeformationJson(const DeformationResult& result, std::ostream& out);

}  // namespace korvane::deformation
