// The words the result files use for the kinds and states of the result (the JSON and CSV
// values, documented in docs/network-analysis-results.md).
#pragma once

#include "analysis_result.h"

#include <string_view>

namespace korvane::analysis {

std::string_view wordFor(Weighting weighting);
std::string_view wordFor(ClosureKind kind);
std::string_view wordFor(NameFinding::Kind kind);
std::string_view wordFor(KnownRole role);
std::string_view wordFor(HeightStatus status);
std::string_view wordFor(GlobalVerdict verdict);
std::string_view wordFor(LocalLevelRule rule);  // "given", "b-method", "family-wise"
std::string_view wordFor(SnoopStop stop);       // "none-fails", "global-test-passes"
std::string_view weightUnit(Weighting weighting);
std::string_view sigma0Unit(Weighting weighting);

}  // namespace korvane::analysis
