#include "deformation_rows.h"

#include <algorithm>
#include <cmath>

namespace korvane::deformation {

bool flagged(const VelocityRow& row)
{
    return row.kind == VelocityClass::Moving || row.kind == VelocityClass::BeyondLimit;
}

std::vector<std::size_t> fastestFlagged(const DeformationResult& result, std::size_t most)
{
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < result.velocities.size(); ++i)
        if (flagged(result.velocities[i]))
            rows.push_back(i);
    const auto speed = [&](std::size_t i) { return std::abs(result.velocities[i].velocityMmPerYear.value_or(0.0)); };
    std::stable_sort(rows.begin(), rows.end(), [&](std::size_t a, std::size_t b) { return speed(a) > speed(b); });
    if (rows.size() > most)
        rows.resize(most);
    return rows;
}

const std::string& epochDate(const DeformationResult& result, int epoch)
{
    return result.epochs[epoch].date;
}

const std::string& benchmarkName(const DeformationResult& result, int benchmark)
{
    return result.benchmarks[benchmark];
}

const char* stableSearchName(StableSearch search)
{
    switch (search) {
    case StableSearch::Iterative:
        return "iterative";
    case StableSearch::Iwst:
        return "iwst";
    case StableSearch::Given:
        break;
    }
    return "given";
}

}  // namespace korvane::deformation
