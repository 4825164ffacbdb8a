#include "epoch_adjustment.h"

#include "analysis_failure.h"

#include <cmath>
#include <numeric>
#include <string>

namespace korvane::deformation {

namespace {

// Parts of the benchmarks joined by the observations: per benchmark its part (-1 when not
// observed), numbered in order of each part's first benchmark.
std::vector<int> partsOf(const std::vector<EpochObservation>& observations, int benchmarks, int& count)
{
    std::vector<int> parent(benchmarks, -1);
    auto find = [&](int b) {
        while (parent[b] != b) {
            parent[b] = parent[parent[b]];
            b = parent[b];
        }
        return b;
    };
    for (const EpochObservation& o : observations) {
        for (int b : {o.from, o.to})
            if (parent[b] < 0)
                parent[b] = b;
        const int a = find(o.from);
        const int c = find(o.to);
        if (a != c)
            parent[std::max(a, c)] = std::min(a, c);
    }
    std::vector<int> part(benchmarks, -1);
    std::vector<int> partOfRoot(benchmarks, -1);
    count = 0;
    for (int b = 0; b < benchmarks; ++b) {
        if (parent[b] < 0)
            continue;
        const int root = find(b);
        if (partOfRoot[root] < 0)
            partOfRoot[root] = count++;
        part[b] = partOfRoot[root];
    }
    return part;
}

}  // namespace

EpochAdjustment adjustEpoch(std::vector<EpochObservation> observations, const std::vector<std::string>& names)
{
    const int benchmarks = int(names.size());
    EpochAdjustment e;
    e.observations = std::move(observations);
    int parts = 0;
    e.part = partsOf(e.observations, benchmarks, parts);
    e.heldOfPart.assign(parts, -1);
    std::vector<int> partSize(parts, 0);
    for (int b = 0; b < benchmarks; ++b) {
        if (e.part[b] < 0)
            continue;
        ++partSize[e.part[b]];
        if (e.heldOfPart[e.part[b]] < 0)
            e.heldOfPart[e.part[b]] = b;
    }
    e.principalPart = parts == 0 ? -1 : int(std::max_element(partSize.begin(), partSize.end()) - partSize.begin());

    e.unknown.assign(benchmarks, -1);
    int unknowns = 0;
    for (int b = 0; b < benchmarks; ++b)
        if (e.part[b] >= 0 && e.heldOfPart[e.part[b]] != b)
            e.unknown[b] = unknowns++;

    std::vector<NormalEntry> entries;
    entries.reserve(3 * e.observations.size());
    Eigen::VectorXd rhs = Eigen::VectorXd::Zero(unknowns);
    for (const EpochObservation& o : e.observations) {
        const int f = e.unknown[o.from];
        const int t = e.unknown[o.to];
        if (f >= 0) {
            entries.push_back({f, f, o.weight});
            rhs[f] -= o.weight * o.dhMm;
        }
        if (t >= 0) {
            entries.push_back({t, t, o.weight});
            rhs[t] += o.weight * o.dhMm;
        }
        if (f >= 0 && t >= 0 && f != t)
            entries.push_back({f, t, -o.weight});
    }
    e.normals = std::make_unique<SparseNormals>(unknowns, entries);
    if (const std::optional<int> failing = e.normals->factorize()) {
        const int b = int(std::find(e.unknown.begin(), e.unknown.end(), *failing) - e.unknown.begin());
        throw analysis::AnalysisFailure("the height of " + names[b] + " is not determined by the observations",
                                        {names[b]});
    }
    const Eigen::VectorXd x = e.normals->solve(rhs);
    const Eigen::VectorXd q = e.normals->inverseDiagonal();

    e.heightMm.assign(benchmarks, std::nan(""));
    e.cofactor.assign(benchmarks, 0.0);
    for (int b = 0; b < benchmarks; ++b) {
        if (e.part[b] < 0)
            continue;
        e.heightMm[b] = e.unknown[b] >= 0 ? x[e.unknown[b]] : 0.0;
        e.cofactor[b] = e.unknown[b] >= 0 ? q[e.unknown[b]] : 0.0;
    }
    for (const EpochObservation& o : e.observations) {
        const double v = e.heightMm[o.to] - e.heightMm[o.from] - o.dhMm;
        e.vtpv += o.weight * v * v;
        if (e.part[o.from] == e.principalPart) {
            e.principalVtpv += o.weight * v * v;
            ++e.principalObservations;
        }
    }
    e.dof = int(e.observations.size()) - unknowns;
    return e;
}

std::vector<double> EpochAdjustment::inverseTimes(const std::vector<double>& weights) const
{
    Eigen::VectorXd b = Eigen::VectorXd::Zero(normals->size());
    for (std::size_t j = 0; j < weights.size(); ++j)
        if (unknown[j] >= 0)
            b[unknown[j]] = weights[j];
    const Eigen::VectorXd x = normals->solve(b);
    std::vector<double> out(weights.size(), 0.0);
    for (std::size_t j = 0; j < weights.size(); ++j)
        if (unknown[j] >= 0)
            out[j] = x[unknown[j]];
    return out;
}

}  // namespace korvane::deformation
