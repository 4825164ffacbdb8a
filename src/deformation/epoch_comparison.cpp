#include "epoch_comparison.h"

#include "quantiles.h"

#include <boost/math/distributions/fisher_f.hpp>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace korvane::deformation {

namespace {

double fisherQuantile(int dof1, int dof2, double probability)
{
    return boost::math::quantile(boost::math::fisher_f(dof1, dof2), probability);
}

// The displacements of the common benchmarks and what the S-transformation onto a set needs.
class Displacements {
public:
    Displacements(const EpochAdjustment& a, const EpochAdjustment& b) : a_(a), b_(b)
    {
        const int n = int(a.part.size());
        for (int j = 0; j < n; ++j)
            if (a.inPrincipal(j) && b.inPrincipal(j))
                common_.push_back(j);
        d_.assign(n, 0.0);
        q_.assign(n, 0.0);
        for (int j : common_) {
            d_[j] = b.heightMm[j] - a.heightMm[j];
            q_[j] = a.cofactor[j] + b.cofactor[j];
        }
    }

    const std::vector<int>& common() const { return common_; }
    double d(int j) const { return d_[j]; }
    double q(int j) const { return q_[j]; }

    // The datum of benchmarks weighted by w (summing to anything above 0): the shift, and per
    // benchmark u = Qd w / W, and s = w' Qd w / W^2.
    struct Datum {
        double shift = 0.0;
        std::vector<double> u;
        double s = 0.0;
        double total = 0.0;
    };
    Datum datum(const std::vector<double>& w) const
    {
        Datum datum;
        for (int j : common_) {
            datum.total += w[j];
            datum.shift += w[j] * d_[j];
        }
        datum.shift /= datum.total;
        const std::vector<double> ua = a_.inverseTimes(w);
        const std::vector<double> ub = b_.inverseTimes(w);
        datum.u.assign(w.size(), 0.0);
        // Qa and Qb are each in their own epoch's datum; within the common benchmarks the
        // difference is a shift, which the transformation removes.
        for (int j : common_) {
            datum.u[j] = (ua[j] + ub[j]) / datum.total;
            datum.s += w[j] * datum.u[j];
        }
        datum.s /= datum.total;
        return datum;
    }

    // Cofactor of d_j - shift in the datum.
    double transformedCofactor(int j, const Datum& datum) const
    {
        return std::max(q_[j] - 2.0 * datum.u[j] + datum.s, 0.0);
    }

    // Displacement and cofactor of j in the datum of the set (0/1 weights in `set`) without j.
    std::pair<double, double> withoutItself(int j, const Datum& datum) const
    {
        const double m = datum.total - 1.0;
        if (m < 1.0)
            return {0.0, 0.0};
        const double shift = (datum.shift * datum.total - d_[j]) / m;
        const double u = (datum.u[j] * datum.total - q_[j]) / m;  // (Qd e_{S\j})_j / m
        const double s = (datum.s * datum.total * datum.total - 2.0 * datum.u[j] * datum.total + q_[j]) / (m * m);
        return {d_[j] - shift, std::max(q_[j] - 2.0 * u + s, 0.0)};
    }

private:
    const EpochAdjustment& a_;
    const EpochAdjustment& b_;
    std::vector<int> common_;
    std::vector<double> d_;
    std::vector<double> q_;
};

std::vector<double> asWeights(const std::vector<char>& set)
{
    return std::vector<double>(set.begin(), set.end());
}

}  // namespace

double congruenceForm(const EpochAdjustment& a, const EpochAdjustment& b, const std::vector<char>& inSet)
{
    const int n = int(a.part.size());
    std::vector<int> ida(n, -1);
    std::vector<int> idb(n, -1);
    int unknowns = 0;
    const int held = a.heldOfPart[a.principalPart];
    for (int j = 0; j < n; ++j)
        if (a.inPrincipal(j) && j != held)
            ida[j] = unknowns++;
    double shift = 0.0;
    int shared = 0;
    for (int j = 0; j < n; ++j)
        if (inSet[j] && a.inPrincipal(j) && b.inPrincipal(j)) {
            shift += a.heightMm[j] - b.heightMm[j];
            ++shared;
        }
    if (shared == 0)
        return 0.0;
    shift /= shared;
    std::vector<double> approxB(n, 0.0);
    for (int j = 0; j < n; ++j) {
        if (!b.inPrincipal(j))
            continue;
        const bool isShared = inSet[j] && a.inPrincipal(j);
        if (isShared) {
            idb[j] = ida[j];
            approxB[j] = a.heightMm[j];
        } else {
            idb[j] = unknowns++;
            approxB[j] = b.heightMm[j] + shift;
        }
    }

    std::vector<NormalEntry> entries;
    entries.reserve(3 * (a.observations.size() + b.observations.size()));
    Eigen::VectorXd rhs = Eigen::VectorXd::Zero(unknowns);
    struct Use {
        int from, to;
        double l, weight;
    };
    std::vector<Use> uses;
    uses.reserve(a.observations.size() + b.observations.size());
    auto add = [&](const EpochObservation& o, const std::vector<int>& id, const std::vector<double>& approx) {
        const double l = o.dhMm - (approx[o.to] - approx[o.from]);
        const int f = id[o.from];
        const int t = id[o.to];
        uses.push_back({f, t, l, o.weight});
        if (f >= 0) {
            entries.push_back({f, f, o.weight});
            rhs[f] -= o.weight * l;
        }
        if (t >= 0) {
            entries.push_back({t, t, o.weight});
            rhs[t] += o.weight * l;
        }
        if (f >= 0 && t >= 0 && f != t)
            entries.push_back({f, t, -o.weight});
    };
    for (const EpochObservation& o : a.observations)
        if (a.inPrincipal(o.from))
            add(o, ida, a.heightMm);
    for (const EpochObservation& o : b.observations)
        if (b.inPrincipal(o.from))
            add(o, idb, approxB);
    SparseNormals normals(unknowns, entries);
    if (normals.factorize())
        return std::nan("");
    const Eigen::VectorXd x = normals.solve(rhs);
    double vtpv = 0.0;
    for (const Use& u : uses) {
        const double v = (u.to >= 0 ? x[u.to] : 0.0) - (u.from >= 0 ? x[u.from] : 0.0) - u.l;
        vtpv += u.weight * v * v;
    }
    return std::max(vtpv - a.principalVtpv - b.principalVtpv, 0.0);
}

EpochComparison compareEpochs(const EpochAdjustment& a, const EpochAdjustment& b, int from, int to,
                              const ComparisonSettings& settings)
{
    EpochComparison c;
    c.from = from;
    c.to = to;
    const int n = int(a.part.size());
    const Displacements d(a, b);
    const std::vector<int>& common = d.common();
    const double sigma0 = settings.sigma0;
    const double tCritical = analysis::studentUpperQuantile(settings.dof, settings.alpha / 2.0);

    auto congruence = [&](const std::vector<char>& set) {
        Congruence result;
        for (int j : common)
            result.benchmarks += set[j] ? 1 : 0;
        result.rank = std::max(result.benchmarks - 1, 0);
        ++c.searchSteps;
        if (settings.pause)
            settings.pause();
        result.quadraticForm = result.rank > 0 ? congruenceForm(a, b, set) : 0.0;
        if (result.rank > 0 && sigma0 > 0.0) {
            result.statistic = result.quadraticForm / (result.rank * sigma0 * sigma0);
            result.critical = fisherQuantile(result.rank, settings.dof, 1.0 - settings.alpha);
            result.congruent = *result.statistic <= *result.critical;
        }
        return result;
    };

    std::vector<char> all(n, 0);
    for (int j : common)
        all[j] = 1;
    c.all = congruence(all);

    // |t| of every benchmark of the set in the datum of the rest of the set.
    auto statistics = [&](const std::vector<char>& set, const Displacements::Datum& datum) {
        std::vector<double> t(n, 0.0);
        for (int j : common) {
            if (!set[j])
                continue;
            const auto [dj, qj] = d.withoutItself(j, datum);
            t[j] = qj > 0.0 ? std::abs(dj) / (sigma0 * std::sqrt(qj)) : 0.0;
        }
        return t;
    };

    std::vector<char> stable = all;
    if (settings.method == StableSearch::Given) {
        for (int j = 0; j < n; ++j)
            stable[j] = all[j] && settings.given[j];
        c.stable = congruence(stable);
    } else {
        int size = int(common.size());
        if (settings.method == StableSearch::Iwst && size > 2) {
            // Weights 1/|d_j - shift| until the shift settles: the datum that minimises the sum of
            // the transformed displacements' magnitudes, which movers cannot pull.
            std::vector<double> w(n, 0.0);
            for (int j : common)
                w[j] = 1.0;
            double shift = d.datum(w).shift;
            for (int iteration = 0; iteration < 100; ++iteration) {
                double sw = 0.0;
                double swd = 0.0;
                for (int j : common) {
                    w[j] = 1.0 / std::max(std::abs(d.d(j) - shift), 1e-6);
                    sw += w[j];
                    swd += w[j] * d.d(j);
                }
                const double next = swd / sw;
                const bool settled = std::abs(next - shift) < 1e-9;
                shift = next;
                if (settled)
                    break;
            }
            const Displacements::Datum datum = d.datum(w);
            for (int j : common) {
                const double qj = d.transformedCofactor(j, datum);
                const double t = qj > 0.0 ? std::abs(d.d(j) - datum.shift) / (sigma0 * std::sqrt(qj)) : 0.0;
                stable[j] = t <= tCritical;
            }
            size = int(std::count(stable.begin(), stable.end(), 1));
        }
        c.stable = stable == all ? c.all : congruence(stable);
        // Drop the benchmark that contributes most until the rest is congruent. Beside it, a step
        // drops every benchmark whose displacement stands out around the median displacement of
        // the set, which the movers cannot shift however many they are; those dropped without
        // need come back at the end.
        while (!c.stable.congruent && size > 2) {
            const Displacements::Datum datum = d.datum(asWeights(stable));
            const std::vector<double> t = statistics(stable, datum);
            int worst = -1;
            std::vector<double> inSet;
            for (int j : common)
                if (stable[j]) {
                    inSet.push_back(d.d(j));
                    if (worst < 0 || t[j] > t[worst])
                        worst = j;
                }
            std::nth_element(inSet.begin(), inSet.begin() + inSet.size() / 2, inSet.end());
            const double median = inSet[inSet.size() / 2];
            stable[worst] = 0;
            --size;
            for (int j : common) {
                if (!stable[j] || size <= 2)
                    continue;
                const double qj = d.transformedCofactor(j, datum);
                if (qj > 0.0 && std::abs(d.d(j) - median) / (sigma0 * std::sqrt(qj)) > tCritical) {
                    stable[j] = 0;
                    --size;
                }
            }
            c.stable = congruence(stable);
        }
        // Benchmarks dropped on the way whose displacement in the datum of the stable set is not
        // significant come back, when the set stays congruent with them: first every one of them,
        // else those well inside the critical value.
        if (c.stable.congruent) {
            const Displacements::Datum datum = d.datum(asWeights(stable));
            for (const double share : {1.0, 0.5}) {
                std::vector<char> widened = stable;
                bool any = false;
                for (int j : common) {
                    if (stable[j])
                        continue;
                    const double qj = d.transformedCofactor(j, datum);
                    if (qj > 0.0 && std::abs(d.d(j) - datum.shift) / (sigma0 * std::sqrt(qj)) <= share * tCritical) {
                        widened[j] = 1;
                        any = true;
                    }
                }
                if (!any)
                    break;
                const Congruence check = congruence(widened);
                if (check.congruent) {
                    stable = widened;
                    c.stable = check;
                    break;
                }
            }
        }
    }

    for (int j : common)
        if (stable[j])
            c.stableSet.push_back(j);
    if (c.stableSet.empty()) {
        c.notes.push_back("no stable benchmark: the displacements are in the datum of all common benchmarks");
        stable = all;
    }

    const Displacements::Datum datum = d.datum(asWeights(stable));
    const std::vector<double> t = statistics(stable, datum);
    const double delta0 = analysis::noncentrality(settings.alpha, settings.power);
    for (int j : common) {
        DisplacementRow row;
        row.benchmark = j;
        row.stable = stable[j] && !c.stableSet.empty();
        row.displacementMm = d.d(j) - datum.shift;
        row.sigmaMm = sigma0 * std::sqrt(d.transformedCofactor(j, datum));
        double testCofactor = d.transformedCofactor(j, datum);
        double statistic = testCofactor > 0.0 ? std::abs(*row.displacementMm) / (sigma0 * std::sqrt(testCofactor)) : 0.0;
        if (stable[j]) {
            const auto [dj, qj] = d.withoutItself(j, datum);
            testCofactor = qj;
            statistic = t[j];
            (void)dj;
        }
        if (testCofactor > 0.0) {
            row.statistic = statistic;
            row.critical = tCritical;
            row.mdbMm = delta0 * sigma0 * std::sqrt(testCofactor);
            row.significant = statistic > tCritical;
        }
        c.displacements.push_back(row);
    }
    return c;
}

}  // namespace korvane::deformation
