#include "result_words.h"

#include <algorithm>
#include <cmath>

namespace korvane::analysis {

std::string_view wordFor(Weighting weighting)
{
    return weighting == Weighting::Grade ? "grade" : "distance";
}

std::string_view wordFor(ClosureKind kind)
{
    switch (kind) {
    case ClosureKind::Loop:
        return "loop";
    case ClosureKind::KnownLine:
        return "known-line";
    case ClosureKind::Repeat:
        return "repeat";
    }
    return "";
}

std::string_view wordFor(NameFinding::Kind kind)
{
    switch (kind) {
    case NameFinding::Kind::MergedByEightColumns:
        return "merged-by-eight-columns";
    case NameFinding::Kind::KnownNameBeyondEight:
        return "known-name-beyond-eight-columns";
    case NameFinding::Kind::TooLongForEngineFile:
        return "too-long-for-engine-file";
    }
    return "";
}

std::string_view wordFor(KnownRole role)
{
    switch (role) {
    case KnownRole::None:
        return "none";
    case KnownRole::Fixed:
        return "fixed";
    case KnownRole::Weighted:
        return "weighted";
    case KnownRole::Compared:
        return "compared";
    }
    return "";
}

std::string_view wordFor(HeightStatus status)
{
    switch (status) {
    case HeightStatus::Adjusted:
        return "adjusted";
    case HeightStatus::Held:
        return "held";
    case HeightStatus::NoDatum:
        return "no-datum";
    }
    return "";
}

std::string_view wordFor(GlobalVerdict verdict)
{
    switch (verdict) {
    case GlobalVerdict::NotPossible:
        return "not-possible";
    case GlobalVerdict::Passes:
        return "passes";
    case GlobalVerdict::TooLarge:
        return "too-large";
    case GlobalVerdict::TooSmall:
        return "too-small";
    }
    return "";
}

std::string_view weightUnit(Weighting weighting)
{
    return weighting == Weighting::Grade ? "1/mm^2" : "1/km";
}

std::string_view sigma0Unit(Weighting weighting)
{
    return weighting == Weighting::Grade ? "1" : "mm/sqrt(km)";
}

std::string_view wordFor(LocalLevelRule rule)
{
    switch (rule) {
    case LocalLevelRule::BMethod:
        return "b-method";
    case LocalLevelRule::FamilyWise:
        return "family-wise";
    case LocalLevelRule::Given:
        break;
    }
    return "given";
}

std::string_view wordFor(SnoopStop stop)
{
    return stop == SnoopStop::GlobalTestPasses ? "global-test-passes" : "none-fails";
}

std::string_view decidingStatistic(const AnalysisResult& result)
{
    return result.global.sigma0Apriori ? "w" : "tau";
}

std::optional<bool> decidingVerdict(const AnalysisResult& result, const ObservationTest& test)
{
    const bool byW = result.global.sigma0Apriori.has_value();
    if (!(byW ? test.w : test.tau))
        return std::nullopt;
    return test.fails;
}

std::optional<double> decidingSize(const AnalysisResult& result, const ObservationTest& test)
{
    const Quantity& statistic = result.global.sigma0Apriori ? test.w : test.tau;
    if (!statistic)
        return std::nullopt;
    return std::abs(*statistic);
}

std::vector<int> flaggedByTestSize(const AnalysisResult& result)
{
    std::vector<std::pair<double, int>> flagged;
    for (int i = 0; i < int(result.observations.size()); ++i) {
        const ObservationResult& o = result.observations[i];
        if (o.removedAtStep == 0 && o.flagged())
            flagged.emplace_back(decidingSize(result, o.test).value_or(0.0), i);
    }
    std::stable_sort(flagged.begin(), flagged.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<int> order;
    order.reserve(flagged.size());
    for (const auto& [size, i] : flagged)
        order.push_back(i);
    return order;
}

std::optional<int> mostLikelyError(const AnalysisResult& result)
{
    std::optional<int> most;
    double largest = -1.0;
    for (int i = 0; i < int(result.observations.size()); ++i) {
        const ObservationResult& o = result.observations[i];
        if (o.removedAtStep > 0 || !o.flagged())
            continue;
        const double size = decidingSize(result, o.test).value_or(0.0);
        if (size > largest) {
            largest = size;
            most = i;
        }
    }
    return most;
}

}  // namespace korvane::analysis
