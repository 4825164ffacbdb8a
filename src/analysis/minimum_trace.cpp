#include "minimum_trace.h"

namespace korvane::analysis {

MinimumTraceDatum::MinimumTraceDatum(const NetworkGraph& graph, const AdjustmentModel& model, const Adjuster& adjuster,
                                     const Eigen::VectorXd& heights)
    : graph_(graph), adjuster_(adjuster), heights_(heights)
{
    const int points = int(heights.size());
    rowSums_ = adjuster.inverseTimesOnes();
    partSums_ = Eigen::VectorXd::Zero(graph.partCount());
    Eigen::VectorXd meanCorrection = Eigen::VectorXd::Zero(graph.partCount());
    for (int point = 0; point < points; ++point) {
        const int part = graph.partOfPoint[point];
        partSums_[part] += rowSums_[point];
        meanCorrection[part] += heights[point] - model.approximate[point];
    }
    for (int part = 0; part < graph.partCount(); ++part)
        meanCorrection[part] /= double(graph.partPoints[part].size());
    for (int point = 0; point < points; ++point)
        heights_[point] -= meanCorrection[graph.partOfPoint[point]];
}

double MinimumTraceDatum::cofactor(int pointA, int pointB) const
{
    const int part = graph_.partOfPoint[pointA];
    const double n = double(graph_.partPoints[part].size());
    return adjuster_.cofactor(pointA, pointB) - (rowSums_[pointA] + rowSums_[pointB]) / n + partSums_[part] / (n * n);
}

}  // namespace korvane::analysis
