// The words the result files use for the kinds and states of the result (the JSON and CSV
// values, documented in docs/network-analysis-results.md).
#pragma once

#include "analysis_result.h"

#include <optional>
#include <string_view>
#include <vector>

namespace korvane::analysis {

std::string_view wordFor(Weighting weighting);
std::string_view wordFor(ClosureKind kind);
std::string_view wordFor(NameFinding::Kind kind);
std::string_view wordFor(KnownRole role);
std::string_view wordFor(HeightStatus status);
std::string_view wordFor(GlobalVerdict verdict);
// The statistic that flags an observation and that snooping removes by: "w" with an a-priori
// sigma0, else "tau".
std::string_view decidingStatistic(const AnalysisResult& result);
// Whether a test's deciding statistic fails: nothing when that statistic could not be computed.
std::optional<bool> decidingVerdict(const AnalysisResult& result, const ObservationTest& test);
// The magnitude of a test's deciding statistic, or nothing when it could not be computed.
std::optional<double> decidingSize(const AnalysisResult& result, const ObservationTest& test);
// The observations in use that their test flags, by descending magnitude of the deciding
// statistic (input order among equals): the first is the most likely gross error.
std::vector<int> flaggedByTestSize(const AnalysisResult& result);
// The flagged observation of the largest deciding statistic, or nothing when none is flagged.
std::optional<int> mostLikelyError(const AnalysisResult& result);
std::string_view wordFor(LocalLevelRule rule);  // "given", "b-method", "family-wise"
std::string_view wordFor(SnoopStop stop);       // "none-fails", "global-test-passes"
std::string_view weightUnit(Weighting weighting);
std::string_view sigma0Unit(Weighting weighting);

}  // namespace korvane::analysis
