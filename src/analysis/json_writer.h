// The result as one JSON document: options, checks, global test, points, observations and
// snooping steps. The field names are documented in docs/network-analysis-results.md. A value
// that is not computable is null; no number is NaN or infinite. Written element by element, so
// that a network of any size needs no document tree in memory.
#pragma once

#include "analysis_result.h"

#include <ostream>

namespace korvane::analysis {

void writeJson(const AnalysisResult& result, std::ostream& out);

}  // namespace korvane::analysis
