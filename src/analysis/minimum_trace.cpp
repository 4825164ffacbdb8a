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

double MinimumTraceDatum::moved(int pointA, int pointB, double plain) const
{
    const int part = graph_.partOfPoint[pointA];
    const double n = double(graph_.partPoints[part].size());
    return plain - (rowSums_[pointA] + rowSums_[pointB]) / n + partSums_[part] / (n * n);
}

double MinimumTraceDatum::cofactor(int pointA, int pointB) const
{
    return moved(pointA, pointB, adjuster_.cofactor(pointA, pointB));
}

PairCofactors MinimumTraceDatum::transform(const Equation& equation, const PairCofactors& plain) const
{
    if (equation.from < 0)
        return {0.0, moved(equation.to, equation.to, plain.to), 0.0};
    return {moved(equation.from, equation.from, plain.from), moved(equation.to, equation.to, plain.to),
            moved(equation.from, equation.to, plain.between)};
}

}  // namespace korvane::analysis
