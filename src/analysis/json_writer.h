// The result as one JSON document: options, checks, global test, points, observations and
// snooping steps. The field names are documented in docs/network-analysis-results.md. A value
// that is not computable is null; no number is NaN or infinite. Streamed member by member (no
// document tree), in the bytes nlohmann-json's dump() gives the same values.
#pragma once

#include "analysis_result.h"

#include <ostream>

namespace korvane::analysis {

void writeJson(const AnalysisResult& result, std::ostream& out);

}  // namespace korvane::analysis
