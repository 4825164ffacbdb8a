// A monitoring result filled by hand, for the writers: two epochs of a line A - B - C - D, A and
// C stable, B subsiding (moving), D beyond the rate limit, "E,1" (a name with a comma) seen in
// the second epoch only and without velocity.
#pragma once

#include "deformation.h"

namespace korvane::testing {

deformation::DeformationResult handFilledResult();

// A result of `count` benchmarks on a chain, every tenth moving: for the size limits.
deformation::DeformationResult chainResult(int count);

}  // namespace korvane::testing
