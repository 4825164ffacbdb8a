// A loop of four benchmarks A-B-C-D-A (1 km sections) levelled in three yearly epochs; C sinks
// 10 mm a year, the others stand still. Each epoch's loop misses by e = +2, -2, +2 mm on C->D.
//
// By hand: each free epoch spreads e evenly (residuals -e/4), so vtpv = e^2/4 = 1 per epoch with
// one degree of freedom: the pooled sigma0 is 1 mm/sqrt(km). The adjusted heights relative to A
// are off by (B -e/4, C -e/2, D +e/4), whose slope over the years 0, 1, 2 is 0: the velocities
// are the true ones. With A held, Q(B,C,D) = [[3,2,1],[2,4,2],[1,2,3]]/4; moved onto the stable
// set {A, B, D}, Q(C,C) = 1 - 2/3 + 2/9 = 5/9, and the velocity's cofactor is that over
// sum (t - mean t)^2 = 2: sigma(v_C) = sqrt(5/18) mm/year. The kinematic residuals are the
// epochs' own (3 in all) and the part of the errors a straight line cannot follow: the adjusted
// section values move by (-1/4, -1/4, 3/4, -1/4) e, whose weighted square 3/4 times
// sum (e - mean e)^2 = 32/3 adds 8: vtpv 11 over 12 - (8 - 2) = 6 degrees of freedom.
// From the first to the second epoch C moved -10 mm and the misclosures' change (-4 mm) adds
// (B +1, C +2, D -1): C's displacement on {A, B, D} is -8 mm with cofactor 2 * 5/9.
#include "deformation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korvane::deformation {
namespace {

EpochInput loopEpoch(const std::string& date, int year, double misclosureMm)
{
    const double a = 100.0, b = 101.0, c = 102.0 - 0.010 * year, d = 101.5;
    analysis::NetworkRows rows;
    rows.observationPlace = date + ", row ";
    rows.knownPointPlace = date + ", known ";
    rows.observations = {{"A", "B", b - a, 1.0, 0.0, 1},
                         {"B", "C", c - b, 1.0, 0.0, 2},
                         {"C", "D", d - c + misclosureMm / 1000.0, 1.0, 0.0, 3},
                         {"D", "A", a - d, 1.0, 0.0, 4}};
    rows.knownPoints = {{"A", 100.0, 0.0, 1}};
    return {date, "loop " + date, analysis::buildNetwork(rows)};
}

DeformationResult solveLoop(double rateLimit)
{
    DeformationOptions options;
    options.stable = StableSearch::Given;
    options.stableNames = {"A", "B", "D"};
    options.rateLimitMm = rateLimit;
    return analyseDeformation({loopEpoch("2020-01-01", 0, 2.0), loopEpoch("2021-01-01", 1, -2.0),
                               loopEpoch("2022-01-01", 2, 2.0)},
                              options);
}

TEST(HandSolvedLoop, VelocitiesSigmasAndClassesAreTheHandComputedOnes)
{
    const DeformationResult r = solveLoop(30.0);
    ASSERT_EQ(r.benchmarks, (std::vector<std::string>{"A", "B", "C", "D"}));
    EXPECT_NEAR(*r.pooledSigma0, 1.0, 1e-9);
    EXPECT_EQ(r.pooledDof, 3);
    EXPECT_NEAR(r.kinematic.vtpv, 11.0, 1e-9);
    EXPECT_EQ(r.kinematic.dof, 6);
    const double expectedVelocity[] = {0.0, 0.0, -10.0, 0.0};
    for (int j = 0; j < 4; ++j) {
        SCOPED_TRACE(r.benchmarks[j]);
        EXPECT_NEAR(*r.velocities[j].velocityMmPerYear, expectedVelocity[j], 1e-6);
        EXPECT_EQ(r.velocities[j].epochs.size(), 3u);
    }
    EXPECT_NEAR(*r.velocities[2].sigmaMmPerYear, std::sqrt(5.0 / 18.0), 1e-9);
    EXPECT_EQ(r.velocities[2].kind, VelocityClass::Moving);
    EXPECT_EQ(r.velocities[0].kind, VelocityClass::Reference);
    EXPECT_EQ(r.velocities[1].kind, VelocityClass::Reference);
    EXPECT_NEAR(*r.velocities[0].heightM, 100.0, 1e-6);
    EXPECT_EQ(solveLoop(5.0).velocities[2].kind, VelocityClass::BeyondLimit);

    // Consecutive pairs and first against last.
    ASSERT_EQ(r.comparisons.size(), 3u);
    const EpochComparison& first = r.comparisons[0];
    EXPECT_EQ(first.stableSet, (std::vector<int>{0, 1, 3}));
    EXPECT_NEAR(*first.displacements[2].displacementMm, -8.0, 1e-6);
    EXPECT_NEAR(*first.displacements[2].sigmaMm, std::sqrt(10.0 / 9.0), 1e-9);
    EXPECT_TRUE(first.displacements[2].significant);
    EXPECT_FALSE(first.all.congruent);
    EXPECT_TRUE(first.stable.congruent);
    EXPECT_EQ(r.comparisons[2].from, 0);
    EXPECT_EQ(r.comparisons[2].to, 2);
    EXPECT_NEAR(*r.comparisons[2].displacements[2].displacementMm, -20.0, 1e-6);

    // The epochs' heights in the model's datum follow the true ones within the misclosure's share.
    EXPECT_NEAR(*r.epochs[2].heights[2], 101.98, 1.1e-3);
}

}  // namespace
}  // namespace korvane::deformation
