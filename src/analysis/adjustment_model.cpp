#include "adjustment_model.h"

#include "analysis_failure.h"
#include "large_memory.h"

#include <algorithm>
#include <sstream>
#include <unordered_map>

namespace korvane::analysis {

namespace {

KnownUse useOf(const KnownPoint& point, const Network& network, const AnalysisOptions& options)
{
    if (options.freeNetwork)
        return KnownUse::Compared;
    if (point.fixed())
        return KnownUse::Fixed;
    if (network.weighting == Weighting::Distance && !options.sigma0)
        return KnownUse::Fixed;
    return KnownUse::Weighted;
}

// Heights walked out from the known points of each part through its sections; a part without
// a known point starts from 0 at its first point.
Eigen::VectorXd approximateHeights(const Network& network, const NetworkGraph& graph)
{
    Eigen::VectorXd heights = Eigen::VectorXd::Zero(network.pointCount());
    std::vector<bool> reached(network.pointCount(), false);
    std::vector<int> queue;  // breadth first: points are taken from `next` on
    queue.reserve(network.pointCount());
    std::size_t next = 0;
    auto walk = [&] {
        while (next < queue.size()) {
            const int point = queue[next++];
            for (int k = graph.adjacencyStart[point]; k < graph.adjacencyStart[point + 1]; ++k) {
                const int next = graph.neighbour[k];
                if (!reached[next]) {
                    const int section = graph.adjacent[k];
                    reached[next] = true;
                    heights[next] = heights[point] + graph.dhFrom(section, point);
                    queue.push_back(next);
                }
            }
        }
    };
    for (const KnownPoint& known : network.known) {
        heights[known.point] = known.height;
        reached[known.point] = true;
        queue.push_back(known.point);
    }
    walk();
    for (const std::vector<int>& part : graph.partPoints) {
        if (!reached[part.front()]) {
            reached[part.front()] = true;
            queue.push_back(part.front());
            walk();
        }
    }
    return heights;
}

std::string knownWeightNote(const Network& network, const AnalysisOptions& options)
{
    if (network.weighting == Weighting::Grade)
        return "Known points with a standard deviation enter as observations of their height with the weight "
               "1/sigma^2, sigma converted into millimetres to match the grade weights in 1/mm^2 (tarnex adds "
               "1/sigma^2 with sigma in metres, which holds them practically fixed).";
    if (options.sigma0)
        return "Known points with a standard deviation enter as observations of their height with the weight "
               "sigma0^2/sigma^2, sigma in millimetres and sigma0 the a-priori value per square root of a km, to "
               "match the distance weights in 1/km (tarnex adds 1/sigma^2 with sigma in metres, which holds them "
               "practically fixed).";
    return "Known points with a standard deviation are held fixed: under distance weighting their standard "
           "deviation can be weighed against the observations only with an a-priori sigma0 (--sigma0).";
}

// Under --free, per part the known points that give it its datum: those named in the options,
// or every known point of the part.
std::vector<std::vector<int>> freeDatumPoints(const Network& network, const NetworkGraph& graph,
                                              const AnalysisOptions& options)
{
    std::vector<std::vector<int>> datum(graph.partCount());
    if (!options.freeNetwork)
        return datum;
    std::vector<bool> chosen(network.pointCount(), options.datumPoints.empty());
    if (!options.datumPoints.empty()) {
        std::unordered_map<std::string_view, int> pointOf;
        for (int point = 0; point < network.pointCount(); ++point)
            pointOf.emplace(network.names[point], point);
        for (const std::string& name : options.datumPoints) {
            const auto found = pointOf.find(name);
            if (found == pointOf.end())
                throw AnalysisFailure("the datum point " + name + " is not a point of the network", {name});
            if (network.knownIndex[found->second] < 0)
                throw AnalysisFailure("the datum point " + name +
                                          " has no given height: a datum point must be a known point",
                                      {name});
            chosen[found->second] = true;
        }
    }
    for (const KnownPoint& known : network.known)
        if (chosen[known.point])
            datum[graph.partOfPoint[known.point]].push_back(known.point);
    return datum;
}

// Double precision keeps about 16 digits; a redundancy number 1 - p a'Qa loses as many of them as
// the weights span orders of magnitude (the light equations' cofactors are differences of the
// heavy ones'), so beyond this spread the redundancies no longer add up to the degrees of freedom
// and the standard deviations go wrong without a sign. Refused before anything is computed.
constexpr double kLargestWeightSpread = 1e10;

std::string equationOrigin(const Network& network, const Equation& equation)
{
    if (equation.observation >= 0)
        return "the observation at " + network.observationOrigin(equation.observation);
    return "the known height of " + network.names[equation.to] + " at " + network.knownPointOrigin(equation.knownPoint);
}

void requireWeightSpread(const Network& network, const AdjustmentModel& model)
{
    if (model.equations.empty())
        return;
    const auto [lightest, heaviest] = std::minmax_element(
        model.equations.begin(), model.equations.end(),
        [](const Equation& a, const Equation& b) { return a.weight < b.weight; });
    if (heaviest->weight <= kLargestWeightSpread * lightest->weight)
        return;
    std::ostringstream spread;
    spread.precision(3);
    spread << heaviest->weight / lightest->weight;
    std::vector<std::string> names = {network.names[heaviest->to], network.names[lightest->to]};
    throw AnalysisFailure("the weights are too far apart for a reliable adjustment: " +
                              equationOrigin(network, *heaviest) + " weighs " + spread.str() + " times " +
                              equationOrigin(network, *lightest) +
                              " (at most 1e10 can be adjusted in double precision; check the distances, grades, "
                              "the known points' standard deviations and sigma0)",
                          names);
}

// The groups of known heights whose equations are in the model (weighted, not fixed or compared).
void addEquationGroups(const Network& network, AdjustmentModel& model)
{
    model.groupOfEquation.assign(model.equations.size(), -1);
    std::vector<int> equationOfKnown(network.known.size(), -1);
    for (int e = network.observationCount(); e < model.equationCount(); ++e)
        equationOfKnown[model.equations[e].knownPoint] = e;
    for (const KnownGroup& group : network.knownGroups) {
        const int n = int(group.members.size());
        if (equationOfKnown[group.members.front()] < 0)
            continue;
        EquationGroup equations;
        const double unit = *model.sigma0Apriori;
        equations.cofactors.resize(n, n);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                equations.cofactors(i, j) = 1e6 * group.covariance[std::size_t(i) * n + j] / (unit * unit);
        for (int i = 0; i < n; ++i) {
            const int e = equationOfKnown[group.members[i]];
            equations.equations.push_back(e);
            model.equations[e].weight = 1.0 / equations.cofactors(i, i);
            model.groupOfEquation[e] = int(model.groups.size());
        }
        model.groups.push_back(std::move(equations));
    }
    if (!model.groups.empty())
        model.notes.push_back("Known heights observed together with a covariance matrix C enter with the weight matrix "
                              "sigma0^2 C^-1 (C in mm^2), and each is tested as a correlated observation.");
}

}  // namespace

AdjustmentModel buildAdjustmentModel(const Network& network, const NetworkGraph& graph, const AnalysisOptions& options)
{
    AdjustmentModel model;
    model.notes = network.notes;
    if (network.weighting == Weighting::Grade)
        model.sigma0Apriori = 1.0;
    else if (options.sigma0)
        model.sigma0Apriori = *options.sigma0;

    reserveLarge(model.equations, network.observations.size() + network.known.size());
    for (int i = 0; i < network.observationCount(); ++i) {
        const Observation& o = network.observations[i];
        model.equations.push_back({o.from, o.to, o.dh, o.weight, i, -1});
    }

    bool anyWeightedSigma = false;
    model.partHasDatum.assign(graph.partCount(), false);
    for (int k = 0; k < int(network.known.size()); ++k) {
        const KnownPoint& point = network.known[k];
        const KnownUse use = useOf(point, network, options);
        model.knownUse.push_back(use);
        anyWeightedSigma = anyWeightedSigma || !point.fixed();
        if (use == KnownUse::Compared)
            continue;
        model.partHasDatum[graph.partOfPoint[point.point]] = true;
        if (use == KnownUse::Weighted) {
            const double sigmaMm = 1000.0 * point.sigma;
            const double unit = *model.sigma0Apriori;
            model.equations.push_back({-1, point.point, point.height, unit * unit / (sigmaMm * sigmaMm), -1, k});
        }
    }
    if (anyWeightedSigma && !options.freeNetwork)
        model.notes.push_back(knownWeightNote(network, options));
    addEquationGroups(network, model);
    requireWeightSpread(network, model);

    model.unknownOfPoint.assign(network.pointCount(), 0);
    for (int k = 0; k < int(network.known.size()); ++k)
        if (model.knownUse[k] == KnownUse::Fixed)
            model.unknownOfPoint[network.known[k].point] = -1;
    model.heldPoint.assign(graph.partCount(), -1);
    model.datumPoints = freeDatumPoints(network, graph, options);
    for (int part = 0; part < graph.partCount(); ++part) {
        if (!model.partHasDatum[part]) {
            model.heldPoint[part] = graph.partPoints[part].front();
            model.unknownOfPoint[model.heldPoint[part]] = -1;
        }
    }
    for (int point = 0; point < network.pointCount(); ++point) {
        if (model.unknownOfPoint[point] >= 0) {
            model.unknownOfPoint[point] = model.unknownCount();
            model.pointOfUnknown.push_back(point);
        }
    }
    model.approximate = approximateHeights(network, graph);
    if (options.freeNetwork)
        model.notes.push_back(std::string("Free network: the known heights are not used in the adjustment. The heights of "
                                          "each part are in the datum of ") +
                              (options.datumPoints.empty() ? "its known points" : "the datum points named") +
                              ": the corrections of their adjusted heights to their given heights sum to zero "
                              "(partial minimum trace). Each known point's height is compared with its adjusted "
                              "height in that datum. A part without a datum point has no heights.");
    return model;
}

}  // namespace korvane::analysis
