#include "analysis_options.h"

#include <array>
#include <cmath>

namespace korvane::analysis {

namespace {

constexpr std::array<ToleranceClass, 5> kClasses = {{
    {"first-I", "first-order levelling, class I", 4.0},
    {"first-II", "first-order levelling, class II", 5.0},
    {"second-I", "second-order levelling, class I", 6.0},
    {"second-II", "second-order levelling, class II", 8.0},
    {"third", "third-order levelling", 12.0},
}};

// A level or a power whose quantiles are finite numbers: 1e-10 from either end at least.
bool isProbability(double value)
{
    return std::isfinite(value) && value >= 1e-10 && value <= 1.0 - 1e-10;
}

// A tolerance factor or an a-priori sigma0 in mm per square root of a km that levelling can
// have: from a micrometre to a metre.
bool isMillimetresPerRootKm(double value)
{
    return std::isfinite(value) && value >= 0.001 && value <= 1000.0;
}

}  // namespace

std::span<const ToleranceClass> toleranceClasses()
{
    return kClasses;
}

const ToleranceClass* findToleranceClass(std::string_view name)
{
    for (const ToleranceClass& entry : kClasses)
        if (entry.name == name)
            return &entry;
    return nullptr;
}

std::string checkOptions(const AnalysisOptions& options)
{
    if (!isMillimetresPerRootKm(options.toleranceK))
        return "the tolerance factor k must be a number of millimetres from 0.001 to 1000";
    if (!isProbability(options.alpha))
        return "the level of the global test must lie between 0 % and 100 % (1e-8 % from either end at least)";
    if (!isProbability(options.alpha0))
        return "the level of the observation tests must lie between 0 % and 100 % (1e-8 % from either end at least)";
    if (!isProbability(options.power))
        return "the power of the observation tests must lie between 0 % and 100 % (1e-8 % from either end at least)";
    if (!(options.power > options.alpha0))
        return "the power of the observation tests must exceed their level";
    if (options.sigma0 && !isMillimetresPerRootKm(*options.sigma0))
        return "the a-priori standard deviation sigma0 must be a number of millimetres from 0.001 to 1000";
    if (options.snoopLimit < 0)
        return "the most removals of data snooping cannot be negative";
    return {};
}

}  // namespace korvane::analysis
