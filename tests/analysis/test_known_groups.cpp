// Known heights observed together with a covariance matrix: the adjustment and the tests of each
// height as a correlated observation against the dense textbook formulas with a full weight
// matrix, a diagonal matrix against separate weighted known points, and data snooping that
// removes one height of a group.
#include "analyse.h"
#include "dense_adjustment.h"
#include "network_builders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace korvane::analysis {
namespace {

// A random levelling network under grade weighting with four weighted known points, the first
// three of them observed together: sigmas 2, 3 and 4 mm and the given correlations.
NetworkRows groupedRows(double r01, double r02, double r12)
{
    std::mt19937 random(2024);
    testing::RandomNetworkShape shape;
    shape.points = 30;
    shape.extraSections = 15;
    shape.knownPoints = 4;
    shape.weightedKnown = true;
    NetworkRows rows = testing::randomNetwork(shape, random).rows;
    const double sigma[] = {0.002, 0.003, 0.004};
    const double correlation[3][3] = {{1, r01, r02}, {r01, 1, r12}, {r02, r12, 1}};
    KnownGroupRow group;
    group.row = 1;
    for (int i = 0; i < 3; ++i) {
        rows.knownPoints[i].sigma = sigma[i];
        group.names.push_back(rows.knownPoints[i].name);
        for (int j = 0; j < 3; ++j)
            group.covariance.push_back(correlation[i][j] * sigma[i] * sigma[j]);
    }
    rows.knownGroups.push_back(group);
    return rows;
}

void expectClose(const Quantity& a, double b, double tolerance, const std::string& what)
{
    ASSERT_TRUE(a) << what;
    EXPECT_NEAR(*a, b, tolerance * std::max(1.0, std::abs(b))) << what;
}

TEST(KnownGroups, CorrelatedKnownHeightsAgreeWithTheDenseFormulas)
{
    const Network network = buildNetwork(groupedRows(0.5, -0.3, 0.2));
    const AnalysisResult result = analyse(network, AnalysisOptions{});
    const testing::DenseAdjustment dense = testing::denseAdjustment(network, 1.0);

    EXPECT_EQ(result.global.dof, dense.dof);
    EXPECT_NEAR(result.global.vtpv, dense.vtpv, 1e-9 * dense.vtpv);
    for (int point = 0; point < network.pointCount(); ++point) {
        const PointResult& row = result.points[point];
        expectClose(row.height, dense.heights[point], 1e-10, "height of " + row.name);
        expectClose(row.sigmaApriori, std::sqrt(dense.cofactor(point, point)), 1e-9, "sigma of " + row.name);
    }
    const int observations = network.observationCount();
    for (int e = 0; e < int(dense.equations.size()); ++e) {
        const bool known = e >= observations;
        const ObservationTest& test =
            known ? *result.points[dense.equations[e].to].knownTest : result.observations[e].test;
        const std::string what = (known ? "known height " : "observation ") + std::to_string(e);
        expectClose(test.residual, dense.residualsMm[e], 1e-9, what);
        expectClose(test.redundancy, dense.redundancy[e], 1e-9, what);
        if (!test.controlled) {  // a dangling section
            EXPECT_LT(dense.redundancy[e], 1e-6) << what;
            continue;
        }
        expectClose(test.w, dense.standardized[e], 1e-8, what);
        expectClose(test.grossError, dense.grossErrors[e], 1e-8, what);
        expectClose(test.mdb, result.levels.delta0 / std::sqrt(dense.reducedWeights[e]), 1e-8, what);
    }
    // The MDB's largest effect on a height: the whole vector Q A'P e_i MDB, its largest element.
    for (int e = observations; e < int(dense.equations.size()); ++e) {
        const ObservationTest& test = *result.points[dense.equations[e].to].knownTest;
        const Eigen::VectorXd shift = dense.cofactors * dense.design.transpose() * dense.weights.col(e) * *test.mdb;
        expectClose(test.mdbEffect, shift.cwiseAbs().maxCoeff(), 1e-8, "effect of known height " + std::to_string(e));
    }
}

void expectSameTest(const ObservationTest& a, const ObservationTest& b, const std::string& what)
{
    for (const auto& [x, y, field] : {std::tuple{a.residual, b.residual, "residual"},
                                      {a.redundancy, b.redundancy, "redundancy"}, {a.w, b.w, "w"},
                                      {a.tau, b.tau, "tau"}, {a.mdb, b.mdb, "mdb"},
                                      {a.mdbEffect, b.mdbEffect, "mdb effect"},
                                      {a.grossError, b.grossError, "gross error"}}) {
        ASSERT_EQ(bool(x), bool(y)) << what << " " << field;
        if (x) {
            EXPECT_NEAR(*x, *y, 1e-11 * std::max(1.0, std::abs(*y))) << what << " " << field;
        }
    }
}

TEST(KnownGroups, ADiagonalCovarianceMatrixGivesWhatSeparateWeightedKnownPointsGive)
{
    const NetworkRows grouped = groupedRows(0.0, 0.0, 0.0);
    NetworkRows separate = grouped;
    separate.knownGroups.clear();
    for (bool snoop : {false, true}) {
        AnalysisOptions options;
        options.snoop = snoop;
        const AnalysisResult a = analyse(buildNetwork(grouped), options);
        const AnalysisResult b = analyse(buildNetwork(separate), options);
        EXPECT_NEAR(a.global.vtpv, b.global.vtpv, 1e-11 * b.global.vtpv);
        ASSERT_EQ(a.snooping.size(), b.snooping.size());
        for (std::size_t point = 0; point < a.points.size(); ++point) {
            EXPECT_NEAR(*a.points[point].height, *b.points[point].height, 1e-12) << point;
            EXPECT_NEAR(*a.points[point].sigma, *b.points[point].sigma, 1e-11) << point;
            ASSERT_EQ(bool(a.points[point].knownTest), bool(b.points[point].knownTest)) << point;
            if (a.points[point].knownTest)
                expectSameTest(*a.points[point].knownTest, *b.points[point].knownTest, a.points[point].name);
        }
        for (std::size_t i = 0; i < a.observations.size(); ++i)
            expectSameTest(a.observations[i].test, b.observations[i].test, "observation " + std::to_string(i));
    }
}

TEST(KnownGroups, SnoopingRemovesOneHeightOfAGroupAndTheOthersKeepTheirCovariances)
{
    NetworkRows rows = groupedRows(0.6, 0.4, 0.5);
    rows.knownPoints[1].height += 0.040;  // 40 mm off, its sigma 3 mm
    const Network network = buildNetwork(rows);
    AnalysisOptions options;
    options.snoop = true;
    const AnalysisResult result = analyse(network, options);
    ASSERT_EQ(result.snooping.size(), 1u);
    const int removed = network.known[1].point;
    EXPECT_TRUE(result.snooping[0].removed.knownHeight);
    EXPECT_EQ(result.snooping[0].removed.index, removed);
    EXPECT_EQ(result.points[removed].removedAtStep, 1);

    // The final adjustment is that of the group without the height: the others keep their part
    // of the covariance matrix.
    NetworkRows without = rows;
    without.knownPoints.erase(without.knownPoints.begin() + 1);
    KnownGroupRow& group = without.knownGroups[0];
    group.names = {rows.knownGroups[0].names[0], rows.knownGroups[0].names[2]};
    const std::vector<double>& c = rows.knownGroups[0].covariance;
    group.covariance = {c[0], c[2], c[6], c[8]};
    const Network reduced = buildNetwork(without);
    const testing::DenseAdjustment dense = testing::denseAdjustment(reduced, 1.0);
    EXPECT_NEAR(result.global.vtpv, dense.vtpv, 1e-9 * dense.vtpv);
    for (int point = 0; point < reduced.pointCount(); ++point) {
        const auto at = std::find(network.names.begin(), network.names.end(), reduced.names[point]);
        expectClose(result.points[at - network.names.begin()].height, dense.heights[point], 1e-10, reduced.names[point]);
    }
    // Readmitted against the final adjustment, the height's statistic is its w in the adjustment
    // that still holds it (the misfit accounts for its correlation with the others).
    const testing::DenseAdjustment full = testing::denseAdjustment(network, 1.0);
    const int equation = network.observationCount() + 1;
    expectClose(result.snooping[0].readmissionStatistic, full.standardized[equation], 1e-8, "readmission");
    EXPECT_FALSE(result.snooping[0].readmissible);
}

}  // namespace
}  // namespace korvane::analysis
