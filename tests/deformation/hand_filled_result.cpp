#include "hand_filled_result.h"

#include <cmath>
#include <string>

namespace korvane::testing {

namespace {

using namespace deformation;
using analysis::Quantity;

analysis::AnalysisResult epochAnalysis(const std::vector<std::string>& names, double sigma0)
{
    analysis::AnalysisResult a;
    a.observationPlace = "epoch.dat, line ";
    for (const std::string& name : names) {
        analysis::PointResult p;
        p.name = name;
        a.points.push_back(p);
    }
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
        analysis::ObservationResult o;
        o.from = int(i);
        o.to = int(i + 1);
        o.distance = 1.0 + double(i);
        o.row = long(i + 2);
        o.test.residual = 0.4;
        a.observations.push_back(o);
    }
    a.global.dof = 4;
    a.global.sigma0Posterior = sigma0;
    a.global.verdict = analysis::GlobalVerdict::Passes;
    return a;
}

EpochResult epoch(const std::string& date, double year, const std::vector<std::string>& names, int benchmarks)
{
    EpochResult e;
    e.date = date;
    e.year = year;
    e.source = date + ".dat";
    e.analysis = epochAnalysis(names, 1.1);
    e.observations = int(names.size()) - 1;
    e.benchmarks = int(names.size());
    e.dof = 4;
    e.vtpv = 4.84;
    e.sigma0 = 1.1;
    e.varianceRatio = 0.95;
    e.varianceLower = 0.1;
    e.varianceUpper = 9.6;
    e.heights.assign(benchmarks, Quantity());
    e.heightSigmas.assign(benchmarks, Quantity());
    return e;
}

VelocityRow velocity(int benchmark, double rate, VelocityClass kind, bool stable)
{
    VelocityRow v;
    v.benchmark = benchmark;
    v.epochs = {0, 1};
    v.heightM = 10.0 + benchmark;
    v.heightSigmaMm = 0.8;
    v.velocityMmPerYear = rate;
    v.sigmaMmPerYear = 1.5;
    v.statistic = std::abs(rate) / 1.5;
    v.critical = 2.306;
    v.significant = kind == VelocityClass::Moving || kind == VelocityClass::BeyondLimit;
    v.stable = stable;
    v.kind = kind;
    return v;
}

}  // namespace

deformation::DeformationResult handFilledResult()
{
    DeformationResult r;
    r.benchmarks = {"A", "B", "C", "D", "E,1"};
    r.epochs.push_back(epoch("2021-03-01", 2021.1616, {"A", "B", "C", "D"}, 5));
    r.epochs.push_back(epoch("2023-03-01", 2023.1616, {"A", "B", "C", "D", "E,1"}, 5));
    const double heights[2][5] = {{10.0, 11.0, 12.0, 13.0, 0.0}, {10.0, 10.984, 12.0, 12.9, 14.0}};
    for (int e = 0; e < 2; ++e)
        for (int b = 0; b < 5; ++b)
            if (e == 1 || b < 4) {
                r.epochs[e].heights[b] = heights[e][b];
                r.epochs[e].heightSigmas[b] = 1.2;
            }
    r.epochs[1].cutOff = {};
    r.pooledSigma0 = 1.1;
    r.pooledDof = 8;

    EpochComparison c;
    c.from = 0;
    c.to = 1;
    c.varianceRatio = 1.0;
    c.varianceLower = 0.1;
    c.varianceUpper = 9.6;
    c.all = {4, 30.5, 3, 9.24, 4.07, false};
    c.stable = {2, 0.3, 1, 0.3, 5.32, true};
    c.stableSet = {0, 2};
    c.searchSteps = 3;
    for (int b = 0; b < 4; ++b) {
        DisplacementRow d;
        d.benchmark = b;
        d.displacementMm = (heights[1][b] - heights[0][b]) * 1000;
        d.sigmaMm = 1.7;
        d.statistic = std::abs(*d.displacementMm) / 1.7;
        d.critical = 2.306;
        d.mdbMm = 6.1;
        d.significant = b == 1 || b == 3;
        d.stable = b == 0 || b == 2;
        c.displacements.push_back(d);
    }
    r.comparisons.push_back(c);

    r.kinematic.referenceYear = 2021.1616;
    r.kinematic.unknowns = 10;
    r.kinematic.observations = 7;
    r.kinematic.dof = 8;
    r.kinematic.vtpv = 9.7;
    r.kinematic.sigma0 = 1.1;
    r.kinematic.stableSet = {0, 2};
    r.velocities.push_back(velocity(0, 0.1, VelocityClass::Reference, true));
    r.velocities.push_back(velocity(1, -8.0, VelocityClass::Moving, false));
    r.velocities.push_back(velocity(2, -0.1, VelocityClass::Reference, true));
    r.velocities.push_back(velocity(3, -50.0, VelocityClass::BeyondLimit, false));
    VelocityRow none;
    none.benchmark = 4;
    none.epochs = {1};
    none.heightM = 14.0;
    none.kind = VelocityClass::NoVelocity;
    none.note = "observed in one epoch only";
    r.velocities.push_back(none);
    r.notes.push_back("a note on the datum");
    return r;
}

deformation::DeformationResult chainResult(int count)
{
    DeformationResult r;
    std::vector<std::string> names;
    for (int b = 0; b < count; ++b)
        names.push_back("P" + std::to_string(b));
    r.benchmarks = names;
    r.epochs.push_back(epoch("2020-01-01", 2020.0, names, count));
    r.epochs.push_back(epoch("2021-01-01", 2021.0, names, count));
    EpochComparison c;
    c.to = 1;
    for (int b = 0; b < count; ++b) {
        const bool moving = b % 10 == 0;
        r.velocities.push_back(velocity(b, moving ? -5.0 : 0.01 * b, moving ? VelocityClass::Moving : VelocityClass::Still, false));
        DisplacementRow d;
        d.benchmark = b;
        d.displacementMm = moving ? -5.0 : 0.0;
        d.statistic = moving ? 3.0 : 0.001 * b;
        d.significant = moving;
        c.displacements.push_back(d);
        for (EpochResult& e : r.epochs)
            e.heights[b] = 10.0;
    }
    r.comparisons.push_back(c);
    r.kinematic.referenceYear = 2020.0;
    return r;
}

}  // namespace korvane::testing
