// The readable summary of an analysis, as `korvane analyse` prints it (UTF-8 text, LF line
// ends): the data and weights, every finding of the checks (passing items counted, and listed
// when there are few), the global test, every flagged observation, the snooping steps, and the
// heights when the network is small enough to read them on a screen (the result files hold
// everything).
#pragma once

#include "analysis_result.h"

#include <ostream>

namespace korvane::analysis {

// Networks up to this many points get their heights in the summary; up to this many closure
// checks of a kind are listed in full.
inline constexpr int kSummaryHeightsUpTo = 200;
inline constexpr int kSummaryClosuresUpTo = 30;

void writeSummary(const AnalysisResult& result, std::ostream& out);

}  // namespace korvane::analysis
