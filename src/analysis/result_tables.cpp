#include "result_tables.h"

#include "large_memory.h"

#include <cmath>

namespace korvane::analysis {

namespace {

KnownRole roleOf(KnownUse use)
{
    switch (use) {
    case KnownUse::Fixed:
        return KnownRole::Fixed;
    case KnownUse::Weighted:
        return KnownRole::Weighted;
    case KnownUse::Compared:
        return KnownRole::Compared;
    }
    return KnownRole::None;
}

int stepRemoving(const std::vector<SnoopStep>& steps, bool knownHeight, int index)
{
    for (const SnoopStep& step : steps)
        if (step.removed.knownHeight == knownHeight && step.removed.index == index)
            return step.step;
    return 0;
}

Quantity standardDeviation(const Quantity& sigma0, double cofactor)
{
    if (!sigma0)
        return std::nullopt;
    return computed(*sigma0 * std::sqrt(std::max(cofactor, 0.0)));
}

// Adjusted minus given height of every known point of a part with heights, in the datum of the
// part's datum points (over which these differences sum to zero).
void fillFreeOffsets(AnalysisResult& result, const Network& network)
{
    for (const KnownPoint& known : network.known) {
        PointResult& row = result.points[known.point];
        if (row.height)
            row.freeOffset = computed(1000.0 * (*row.height - known.height));
    }
}

}  // namespace

std::vector<double> heightCofactors(const Network& network, const Adjuster& adjuster,
                                    const DatumTransform* freeDatum)
{
    std::vector<double> cofactors(network.pointCount());
    for (int point = 0; point < network.pointCount(); ++point)
        cofactors[point] = freeDatum && freeDatum->hasDatum(point)
                               ? freeDatum->cofactor(point, point, adjuster.cofactor(point, point))
                               : adjuster.cofactor(point, point);
    return cofactors;
}

void fillPointResults(AnalysisResult& result, const Network& network, const NetworkGraph& graph,
                      const AdjustmentModel& model, const Eigen::VectorXd& heights,
                      const std::vector<double>& cofactors, const AdjustmentRuns& runs, const Evaluation& evaluation)
{
    const bool freeNetwork = result.options.freeNetwork;
    reserveLarge(result.points, network.pointCount());
    for (int point = 0; point < network.pointCount(); ++point) {
        PointResult& row = result.points.emplace_back();
        row.name = network.names[point];
        row.part = graph.partOfPoint[point];
        const int k = network.knownIndex[point];
        if (k >= 0) {
            row.known = roleOf(model.knownUse[k]);
            row.givenHeight = computed(network.known[k].height);
            row.givenSigma = computed(network.known[k].sigma);
        }
        if (row.known == KnownRole::Fixed) {
            row.status = HeightStatus::Held;
            row.height = row.givenHeight;
            row.sigma = row.sigmaApriori = 0.0;
            continue;
        }
        if (!model.partHasHeights(row.part)) {
            row.status = HeightStatus::NoDatum;
            continue;
        }
        row.height = computed(heights[point]);
        row.sigma = standardDeviation(evaluation.global.sigma0Posterior, cofactors[point]);
        row.sigmaApriori = standardDeviation(evaluation.global.sigma0Apriori, cofactors[point]);
    }
    for (int e = 0; e < model.equationCount(); ++e) {
        const Equation& equation = model.equations[e];
        if (equation.knownPoint < 0)
            continue;
        PointResult& row = result.points[equation.to];
        row.knownTest = evaluation.tests[e];
        row.removedAtStep = runs.inUse[e] ? 0 : stepRemoving(runs.steps, true, equation.to);
    }
    if (freeNetwork)
        fillFreeOffsets(result, network);
}

void fillObservationResults(AnalysisResult& result, const Network& network, const AdjustmentModel& model,
                            const AdjustmentRuns& runs, const Evaluation& evaluation)
{
    // The observations are the first equations, in their order.
    reserveLarge(result.observations, network.observationCount());
    for (int e = 0; e < network.observationCount(); ++e) {
        const Equation& equation = model.equations[e];
        const Observation& o = network.observations[equation.observation];
        ObservationResult& row = result.observations.emplace_back();
        row.from = o.from;
        row.to = o.to;
        row.row = o.row;
        row.dh = o.dh;
        row.distance = o.distance;
        row.grade = o.grade;
        row.weight = o.weight;
        row.adjustedDh = computed(o.dh + runs.final.residualsMm[e] / 1000.0);
        row.test = evaluation.tests[e];
        row.removedAtStep = runs.inUse[e] ? 0 : stepRemoving(runs.steps, false, equation.observation);
    }
}

}  // namespace korvane::analysis
