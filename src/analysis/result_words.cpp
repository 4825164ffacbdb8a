#include "result_words.h"

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

}  // namespace korvane::analysis
