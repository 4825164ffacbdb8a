// Two epochs of a 50-benchmark network: congruence of identical epochs, one benchmark moved by
// ten times its sigma, displacement tests that do not depend on the epochs' datums, IWST with
// 40 % movers, and the congruence form against a dense pseudo-inverse.
#include "epoch_comparison.h"
#include "monitoring_networks.h"

#include <Eigen/Dense>
#include <gtest/gtest.h>

#include <cmath>

namespace korvane::deformation {
namespace {

using testing::EpochPlan;
using testing::Field;

// 5 x 10 benchmarks; both epochs observed with the same errors (so that a still benchmark's
// displacement is exactly 0) unless `fresh`.
std::vector<EpochInput> twoEpochs(const Field& f, bool fresh = false, int known2 = 0, double known2Height = std::nan(""))
{
    std::mt19937 random(11);
    std::normal_distribution<double> normal(0.0, 1.0);
    std::vector<double> errors(f.sections.size());
    for (double& e : errors)
        e = normal(random);
    EpochPlan first = testing::fullPlan(f, "2020-01-01", 0.0);
    EpochPlan second = testing::fullPlan(f, "2021-01-01", 1.0);
    second.known = known2;
    second.knownHeightM = known2Height;
    return {testing::observeEpoch(f, first, 1.0, random, &errors),
            testing::observeEpoch(f, second, 1.0, random, fresh ? nullptr : &errors)};
}

// The field's benchmark of a result's benchmark.
int fieldIndex(const Field& f, const DeformationResult& r, int j)
{
    return int(std::find(f.names.begin(), f.names.end(), r.benchmarks[j]) - f.names.begin());
}

std::vector<int> flagged(const Field& f, const DeformationResult& r, const EpochComparison& c)
{
    std::vector<int> out;
    for (const DisplacementRow& row : c.displacements)
        if (row.significant)
            out.push_back(fieldIndex(f, r, row.benchmark));
    return out;
}

const DisplacementRow& rowOf(const Field& f, const DeformationResult& r, const EpochComparison& c, int b)
{
    for (const DisplacementRow& row : c.displacements)
        if (fieldIndex(f, r, row.benchmark) == b)
            return row;
    throw std::logic_error("no such benchmark");
}

TEST(TwoEpochs, IdenticalEpochsAreCongruentAndOneMovedBenchmarkIsTheOnlyOneFlagged)
{
    Field f = testing::gridField(5, 10);
    const DeformationResult same = analyseDeformation(twoEpochs(f), {});
    ASSERT_EQ(same.comparisons.size(), 1u);
    EXPECT_TRUE(same.comparisons[0].all.congruent);
    EXPECT_NEAR(same.comparisons[0].all.quadraticForm, 0.0, 1e-9);
    EXPECT_TRUE(flagged(f, same, same.comparisons[0]).empty());
    EXPECT_EQ(same.comparisons[0].stableSet.size(), 50u);

    const int moved = 23;
    const double sigma = *rowOf(f, same, same.comparisons[0], moved).sigmaMm;
    f.velocityMm[moved] = -10.0 * sigma;
    for (StableSearch search : {StableSearch::Iterative, StableSearch::Iwst}) {
        DeformationOptions options;
        options.stable = search;
        const DeformationResult r = analyseDeformation(twoEpochs(f), options);
        const EpochComparison& c = r.comparisons[0];
        EXPECT_FALSE(c.all.congruent);
        EXPECT_TRUE(c.stable.congruent);
        EXPECT_EQ(flagged(f, r, c), std::vector<int>{moved});
        EXPECT_EQ(c.stableSet.size(), 49u);
        EXPECT_NEAR(*rowOf(f, r, c, moved).displacementMm, -10.0 * sigma, 0.5 * sigma);
        EXPECT_EQ(r.velocities[rowOf(f, r, c, moved).benchmark].kind, VelocityClass::Moving);
    }
}

TEST(TwoEpochs, DisplacementTestsDoNotDependOnTheEpochsDatums)
{
    Field f = testing::gridField(5, 10);
    f.velocityMm[12] = -15.0;
    f.velocityMm[37] = 9.0;
    const DeformationResult a = analyseDeformation(twoEpochs(f, true), {});
    // The second epoch held on another benchmark, given a height 0.2 m off.
    const DeformationResult b = analyseDeformation(twoEpochs(f, true, 44, f.heightM[44] + 0.2), {});
    const EpochComparison& ca = a.comparisons[0];
    const EpochComparison& cb = b.comparisons[0];
    ASSERT_EQ(ca.displacements.size(), cb.displacements.size());
    EXPECT_EQ(ca.stableSet, cb.stableSet);
    for (std::size_t i = 0; i < ca.displacements.size(); ++i) {
        EXPECT_NEAR(*ca.displacements[i].displacementMm, *cb.displacements[i].displacementMm, 1e-6);
        EXPECT_NEAR(*ca.displacements[i].sigmaMm, *cb.displacements[i].sigmaMm, 1e-9);
        EXPECT_NEAR(*ca.displacements[i].statistic, *cb.displacements[i].statistic, 1e-6);
    }
    EXPECT_NEAR(ca.all.quadraticForm, cb.all.quadraticForm, 1e-6);
}

TEST(TwoEpochs, IwstFindsTheStillBenchmarksAmongFortyPercentMovers)
{
    Field f = testing::gridField(5, 10);
    std::mt19937 random(5);
    std::uniform_real_distribution<double> speed(-60.0, -20.0);
    for (int b = 0; b < 50; ++b)
        if (b % 5 == 1 || b % 5 == 3)
            f.velocityMm[b] = speed(random);
    DeformationOptions options;
    options.stable = StableSearch::Iwst;
    const DeformationResult r = analyseDeformation(twoEpochs(f, true), options);
    const EpochComparison& c = r.comparisons[0];
    int stillFound = 0;
    for (int j : c.stableSet) {
        EXPECT_EQ(f.velocityMm[fieldIndex(f, r, j)], 0.0) << r.benchmarks[j];
        ++stillFound;
    }
    EXPECT_GE(stillFound, 27);  // of 30
    EXPECT_TRUE(c.stable.congruent);
    for (int b = 0; b < 50; ++b)
        if (f.velocityMm[b] != 0.0)
            EXPECT_TRUE(rowOf(f, r, c, b).significant) << f.names[b];
}

// d' (Qa + Qb)^+ d over all common benchmarks from dense pseudo-inverses of the free epochs'
// normal matrices, against the growth of vtpv in the joint adjustment.
TEST(TwoEpochs, CongruenceFormAgreesWithADenseComputation)
{
    Field f = testing::gridField(3, 4);
    f.velocityMm[5] = -6.0;
    const std::vector<EpochInput> inputs = twoEpochs(f, true);
    std::vector<EpochAdjustment> adjusted;
    for (const EpochInput& input : inputs) {
        std::vector<EpochObservation> observations;
        for (const analysis::Observation& o : input.network.observations)
            observations.push_back({std::stoi(input.network.names[o.from].substr(2, 1)) * 4 +
                                        std::stoi(input.network.names[o.from].substr(4)),
                                    std::stoi(input.network.names[o.to].substr(2, 1)) * 4 +
                                        std::stoi(input.network.names[o.to].substr(4)),
                                    o.dh * 1000.0, o.weight});
        adjusted.push_back(adjustEpoch(observations, f.names));
    }
    const int n = 12;
    std::vector<Eigen::MatrixXd> q;
    for (const EpochAdjustment& e : adjusted) {
        Eigen::MatrixXd normal = Eigen::MatrixXd::Zero(n, n);
        for (const EpochObservation& o : e.observations) {
            normal(o.from, o.from) += o.weight;
            normal(o.to, o.to) += o.weight;
            normal(o.from, o.to) -= o.weight;
            normal(o.to, o.from) -= o.weight;
        }
        q.push_back(normal.completeOrthogonalDecomposition().pseudoInverse());
    }
    Eigen::VectorXd d(n);
    for (int j = 0; j < n; ++j)
        d[j] = adjusted[1].heightMm[j] - adjusted[0].heightMm[j];
    const Eigen::MatrixXd qd = q[0] + q[1];
    const double dense = d.dot(qd.completeOrthogonalDecomposition().pseudoInverse() * d);
    EXPECT_NEAR(congruenceForm(adjusted[0], adjusted[1], std::vector<char>(n, 1)), dense, 1e-8 * std::max(1.0, dense));
    EXPECT_GT(dense, 1.0);
}

}  // namespace
}  // namespace korvane::deformation
