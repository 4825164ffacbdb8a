// The result as one self-contained HTML page a surveyor can hand in: heading, notes, checks,
// global test, heights, observations with their tests, and the snooping steps. Pass and fail
// are marked by colour and by a symbol, so that the page reads in black and white too.
#pragma once

#include "analysis_result.h"

#include <ostream>

namespace korvane::analysis {

void writeHtml(const AnalysisResult& result, std::ostream& out);

}  // namespace korvane::analysis
