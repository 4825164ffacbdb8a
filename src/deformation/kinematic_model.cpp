#include "kinematic_model.h"

#include "analysis_failure.h"
#include "sparse_normals.h"

#include "quantiles.h"

#include <cmath>
#include <cstdint>
#include <numeric>
#include <unordered_map>

namespace korvane::deformation {

namespace {

struct PairSums {
    double s0 = 0.0;  // sum of p, p tau, p tau^2
    double s1 = 0.0;
    double s2 = 0.0;
};

}  // namespace

KinematicOutput adjustKinematic(const KinematicInput& input)
{
    const std::vector<EpochAdjustment>& epochs = *input.epochs;
    const std::vector<std::string>& names = *input.names;
    const int n = int(names.size());
    const double t0 = input.years.front();

    KinematicOutput out;
    out.velocities.resize(n);
    std::vector<int> epochCount(n, 0);
    for (int k = 0; k < int(epochs.size()); ++k)
        for (int j = 0; j < n; ++j)
            if (epochs[k].observed(j)) {
                ++epochCount[j];
                out.velocities[j].epochs.push_back(k);
            }

    // Parts of the benchmarks over all epochs.
    std::vector<int> parent(n);
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&](int b) {
        while (parent[b] != b)
            b = parent[b] = parent[parent[b]];
        return b;
    };
    int observationCount = 0;
    for (const EpochAdjustment& e : epochs)
        for (const EpochObservation& o : e.observations) {
            ++observationCount;
            const int a = find(o.from);
            const int c = find(o.to);
            if (a != c)
                parent[std::max(a, c)] = std::min(a, c);
        }
    // Each part holds a benchmark of several epochs (one of the stable set when it has one).
    std::vector<int> heldOfRoot(n, -1);
    auto better = [&](int candidate, int current) {
        if (current < 0)
            return true;
        const auto rank = [&](int b) { return (epochCount[b] >= 2 ? 2 : 0) + (input.stable[b] ? 1 : 0); };
        return rank(candidate) > rank(current);
    };
    for (int j = 0; j < n; ++j)
        if (epochCount[j] > 0 && better(j, heldOfRoot[find(j)]))
            heldOfRoot[find(j)] = j;

    std::vector<int> hUnknown(n, -1);
    std::vector<int> vUnknown(n, -1);
    int unknowns = 0;
    for (int j = 0; j < n; ++j) {
        if (epochCount[j] == 0)
            continue;
        const bool held = heldOfRoot[find(j)] == j;
        if (!held)
            hUnknown[j] = unknowns++;
        if (epochCount[j] >= 2 && !(held && epochCount[j] >= 2))
            vUnknown[j] = unknowns++;
    }

    // N and A'Pl, the observations summed per pair of benchmarks first.
    std::unordered_map<std::uint64_t, PairSums> pairs;
    pairs.reserve(2 * epochs.front().observations.size() + 16);
    Eigen::VectorXd rhs = Eigen::VectorXd::Zero(unknowns);
    std::vector<PairSums> own(n);
    for (int k = 0; k < int(epochs.size()); ++k) {
        const double tau = input.years[k] - t0;
        for (const EpochObservation& o : epochs[k].observations) {
            const double p = o.weight;
            for (int end : {o.from, o.to}) {
                const double sign = end == o.to ? 1.0 : -1.0;
                own[end].s0 += p;
                own[end].s1 += p * tau;
                own[end].s2 += p * tau * tau;
                if (hUnknown[end] >= 0)
                    rhs[hUnknown[end]] += sign * p * o.dhMm;
                if (vUnknown[end] >= 0)
                    rhs[vUnknown[end]] += sign * p * tau * o.dhMm;
            }
            if (o.from == o.to)
                continue;
            const std::uint64_t key = (std::uint64_t(std::min(o.from, o.to)) << 32) | std::uint32_t(std::max(o.from, o.to));
            PairSums& s = pairs[key];
            s.s0 += p;
            s.s1 += p * tau;
            s.s2 += p * tau * tau;
        }
    }
    std::vector<NormalEntry> entries;
    entries.reserve(4 * pairs.size() + 3 * n);
    for (int j = 0; j < n; ++j) {
        if (hUnknown[j] >= 0)
            entries.push_back({hUnknown[j], hUnknown[j], own[j].s0});
        if (vUnknown[j] >= 0)
            entries.push_back({vUnknown[j], vUnknown[j], own[j].s2});
        if (hUnknown[j] >= 0 && vUnknown[j] >= 0)
            entries.push_back({hUnknown[j], vUnknown[j], own[j].s1});
    }
    for (const auto& [key, s] : pairs) {
        const int i = int(key >> 32);
        const int j = int(key & 0xffffffffu);
        const int hi = hUnknown[i], vi = vUnknown[i], hj = hUnknown[j], vj = vUnknown[j];
        if (hi >= 0 && hj >= 0) entries.push_back({hi, hj, -s.s0});
        if (hi >= 0 && vj >= 0) entries.push_back({hi, vj, -s.s1});
        if (vi >= 0 && hj >= 0) entries.push_back({vi, hj, -s.s1});
        if (vi >= 0 && vj >= 0) entries.push_back({vi, vj, -s.s2});
    }
    if (input.pause)
        input.pause();
    SparseNormals normals(unknowns, entries);
    if (const std::optional<int> failing = normals.factorize()) {
        int b = 0;
        bool velocity = false;
        for (int j = 0; j < n; ++j) {
            if (hUnknown[j] == *failing)
                b = j;
            if (vUnknown[j] == *failing) {
                b = j;
                velocity = true;
            }
        }
        throw analysis::AnalysisFailure(std::string("the ") + (velocity ? "velocity" : "height") + " of " + names[b] +
                                            " is not determined by the epochs' observations",
                                        {names[b]});
    }
    const Eigen::VectorXd x = normals.solve(rhs);
    auto value = [&](int unknown) { return unknown >= 0 ? x[unknown] : 0.0; };

    KinematicAdjustment& summary = out.summary;
    summary.referenceYear = t0;
    summary.unknowns = unknowns;
    summary.observations = observationCount;
    for (int k = 0; k < int(epochs.size()); ++k) {
        const double tau = input.years[k] - t0;
        for (const EpochObservation& o : epochs[k].observations) {
            const double at = value(hUnknown[o.to]) + tau * value(vUnknown[o.to]);
            const double af = value(hUnknown[o.from]) + tau * value(vUnknown[o.from]);
            const double v = at - af - o.dhMm;
            summary.vtpv += o.weight * v * v;
        }
    }
    summary.dof = observationCount - unknowns;
    if (summary.dof > 0)
        summary.sigma0 = std::sqrt(summary.vtpv / summary.dof);
    if (input.pause)
        input.pause();

    // The datum: the stable benchmarks with a velocity, in the part that holds the most of them.
    std::vector<int> stableCount(n, 0);
    for (int j = 0; j < n; ++j)
        if (input.stable[j] && epochCount[j] >= 2)
            ++stableCount[find(j)];
    const int datumRoot = int(std::max_element(stableCount.begin(), stableCount.end()) - stableCount.begin());
    std::vector<int> datumSet;
    for (int j = 0; j < n; ++j)
        if (input.stable[j] && epochCount[j] >= 2 && find(j) == datumRoot)
            datumSet.push_back(j);
    const double m = double(datumSet.size());

    Eigen::VectorXd diagonal = normals.inverseDiagonal();
    auto cofactor = [&](int unknown) { return unknown >= 0 ? diagonal[unknown] : 0.0; };
    Eigen::VectorXd ev = Eigen::VectorXd::Zero(unknowns);
    Eigen::VectorXd eh = Eigen::VectorXd::Zero(unknowns);
    double meanV = 0.0, meanH = 0.0;
    for (int j : datumSet) {
        if (vUnknown[j] >= 0)
            ev[vUnknown[j]] = 1.0;
        if (hUnknown[j] >= 0)
            eh[hUnknown[j]] = 1.0;
        meanV += value(vUnknown[j]) / m;
        meanH += value(hUnknown[j]) / m;
    }
    const Eigen::VectorXd uv = m > 0 ? Eigen::VectorXd(normals.solve(ev) / m) : Eigen::VectorXd(Eigen::VectorXd::Zero(unknowns));
    const Eigen::VectorXd uh = m > 0 ? Eigen::VectorXd(normals.solve(eh) / m) : Eigen::VectorXd(Eigen::VectorXd::Zero(unknowns));
    double sv = 0.0, sh = 0.0;
    for (int j : datumSet) {
        sv += vUnknown[j] >= 0 ? uv[vUnknown[j]] / m : 0.0;
        sh += hUnknown[j] >= 0 ? uh[hUnknown[j]] / m : 0.0;
    }
    // The heights' level: the first epoch's adjusted heights over the datum set (or over every
    // benchmark that has one).
    double level = 0.0;
    int levelCount = 0;
    for (int pass = 0; pass < 2 && levelCount == 0; ++pass)
        for (int j = 0; j < n; ++j) {
            const bool candidate = pass == 0 ? (input.stable[j] && find(j) == datumRoot) : find(j) == datumRoot;
            if (candidate && epochCount[j] > 0 && !std::isnan(input.referenceHeightM[j])) {
                level += input.referenceHeightM[j] * 1000.0 - (value(hUnknown[j]) - meanH);
                ++levelCount;
            }
        }
    level = levelCount > 0 ? level / levelCount : 0.0;
    summary.stableSet = datumSet;

    const double tCritical = analysis::studentUpperQuantile(input.dof, input.alpha / 2.0);
    out.heightM.assign(n, std::nan(""));
    out.velocityMm.assign(n, std::nan(""));
    for (int j = 0; j < n; ++j) {
        VelocityRow& row = out.velocities[j];
        row.benchmark = j;
        row.stable = input.stable[j] && epochCount[j] >= 2 && find(j) == datumRoot;
        if (epochCount[j] == 0) {
            row.note = "not observed";
            continue;
        }
        if (find(j) != datumRoot || datumSet.empty()) {
            row.note = "no stable benchmark in its part of the network";
            continue;
        }
        const double h = value(hUnknown[j]) - meanH + level;
        const double qh = std::max(cofactor(hUnknown[j]) - 2.0 * (hUnknown[j] >= 0 ? uh[hUnknown[j]] : 0.0) + sh, 0.0);
        if (epochCount[j] < 2) {
            // Its height belongs to its one epoch; the model keeps it without a velocity.
            row.note = "observed in one epoch only: no velocity";
            continue;
        }
        row.heightM = h / 1000.0;
        row.heightSigmaMm = input.sigma0 * std::sqrt(qh);
        const double v = value(vUnknown[j]) - meanV;
        const double qv = std::max(cofactor(vUnknown[j]) - 2.0 * (vUnknown[j] >= 0 ? uv[vUnknown[j]] : 0.0) + sv, 0.0);
        row.velocityMmPerYear = v;
        row.sigmaMmPerYear = input.sigma0 * std::sqrt(qv);
        out.heightM[j] = h / 1000.0;
        out.velocityMm[j] = v;
        if (qv > 0.0) {
            const double t = std::abs(v) / (input.sigma0 * std::sqrt(qv));
            row.statistic = t;
            row.critical = tCritical;
            row.significant = t > tCritical;
        }
        row.kind = row.stable ? VelocityClass::Reference
                   : !row.significant ? VelocityClass::Still
                   : std::abs(v) > input.rateLimitMm ? VelocityClass::BeyondLimit
                                                     : VelocityClass::Moving;
    }
    return out;
}

}  // namespace korvane::deformation
