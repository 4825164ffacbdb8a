// The statistics against values computed independently: critical values against published
// tables, and r, w, tau, MDB, the MDB's largest effect on a height and the heights' sigma
// against the textbook dense formulas (Qvv = P^-1 - A Q A', the effect as the largest element of
// the whole vector Q a p MDB).
#include "analyse.h"
#include "dense_adjustment.h"
#include "equation_tests.h"
#include "network_builders.h"
#include "quantiles.h"

#include <gtest/gtest.h>

#include <random>

namespace korvane::analysis {
namespace {

TEST(Quantiles, MatchPublishedTables)
{
    EXPECT_NEAR(normalQuantile(0.9995), 3.290527, 1e-6);
    EXPECT_NEAR(normalQuantile(0.975), 1.959964, 1e-6);
    EXPECT_NEAR(chiSquaredQuantile(10, 0.025), 3.246973, 1e-6);
    EXPECT_NEAR(chiSquaredQuantile(10, 0.975), 20.483177, 1e-6);
    EXPECT_NEAR(chiSquaredQuantile(1, 0.975), 5.023886, 1e-6);
    EXPECT_NEAR(studentQuantile(9, 0.9995), 4.780913, 1e-6);
    // Pope's tau from the t value for dof - 1: t sqrt(f) / sqrt(f - 1 + t^2).
    const double t = 4.780913;
    EXPECT_NEAR(tauCritical(10, 0.001), t * std::sqrt(10.0) / std::sqrt(9.0 + t * t), 1e-6);
    // Baarda's delta0 for alpha0 = 0.1 % and power 80 %: 3.2905 + 0.8416 (the far tail adds
    // nothing visible).
    EXPECT_NEAR(noncentrality(0.001, 0.80), 3.290527 + 0.841621, 1e-5);
    EXPECT_NEAR(noncentrality(0.05, 0.80), 2.8016, 1e-3);
}

struct Case {
    const char* name;
    bool grade;
    bool weightedKnown;
    int knownPoints;
};

TEST(ObservationTests, AgreeWithTheDenseFormulas)
{
    const Case cases[] = {{"grade, held", true, false, 1},
                          {"grade, weighted", true, true, 3},
                          {"distance, held", false, false, 2},
                          {"distance, weighted", false, true, 2}};
    std::mt19937 random(99);
    for (const Case& c : cases) {
        testing::RandomNetworkShape shape;
        shape.points = 40;
        shape.extraSections = 10;
        shape.knownPoints = c.knownPoints;
        shape.gradeWeighting = c.grade;
        shape.weightedKnown = c.weightedKnown;
        const testing::RandomNetwork generated = testing::randomNetwork(shape, random);
        const Network network = buildNetwork(generated.rows);
        AnalysisOptions options;
        options.sigma0 = 1.2;
        const AnalysisResult result = analyse(network, options);
        const double sigma0 = c.grade ? 1.0 : 1.2;
        const testing::DenseAdjustment dense = testing::denseAdjustment(network, sigma0);

        ASSERT_EQ(result.global.dof, dense.dof) << c.name;
        EXPECT_NEAR(*result.global.sigma0Posterior, dense.sigma0Posterior, 1e-9);
        EXPECT_NEAR(*result.global.statistic, dense.vtpv / (sigma0 * sigma0), 1e-9);
        if (c.knownPoints == 1) {  // dof = the extra sections: 10
            EXPECT_NEAR(*result.global.lower, 3.246973, 1e-6);
            EXPECT_NEAR(*result.global.upper, 20.483177, 1e-6);
        }
        const double wCritical = 3.290527;
        const double delta0 = 3.290527 + 0.841621;
        for (int e = 0; e < int(dense.equations.size()); ++e) {
            const testing::DenseEquation& eq = dense.equations[e];
            const ObservationTest& test =
                eq.from >= 0 ? result.observations[e].test : *result.points[eq.to].knownTest;
            const double v = dense.residualsMm[e];
            const double qvv = dense.residualCofactors[e];
            const double r = dense.redundancy[e];
            EXPECT_NEAR(*test.residual, v, 1e-6) << c.name << " equation " << e;
            EXPECT_NEAR(*test.redundancy, r, 1e-9) << c.name << " equation " << e;
            if (r < 1e-6) {
                EXPECT_FALSE(test.w);
                continue;
            }
            const double w = v / (sigma0 * std::sqrt(qvv));
            EXPECT_NEAR(*test.w, w, 1e-7 * std::max(1.0, std::abs(w)));
            EXPECT_NEAR(*test.tau, v / (dense.sigma0Posterior * std::sqrt(qvv)), 1e-7 * std::max(1.0, std::abs(w)));
            EXPECT_EQ(test.wFails, std::abs(w) > wCritical);
            const double mdb = delta0 * sigma0 / std::sqrt(eq.weight * r);
            EXPECT_NEAR(*test.mdb, mdb, 1e-5 * mdb);
            // The bias's effect on every height, the largest taken.
            const Eigen::VectorXd shift = dense.cofactors * dense.design.row(e).transpose() * eq.weight * mdb;
            const double largest = shift.size() > 0 ? shift.cwiseAbs().maxCoeff() : 0.0;
            EXPECT_NEAR(*test.mdbEffect, largest, 1e-5 * std::max(largest, 1.0)) << c.name << " equation " << e;
            EXPECT_NEAR(*test.grossError, -v / r, 1e-6 * std::max(1.0, std::abs(v / r)));
        }
        for (int p = 0; p < network.pointCount(); ++p) {
            const double expected = dense.sigma0Posterior * std::sqrt(dense.cofactor(p, p));
            EXPECT_NEAR(*result.points[p].sigma, expected, 1e-9 * std::max(1.0, expected)) << c.name << " point " << p;
        }
    }
}

TEST(ObservationTests, AnObservationNothingElseControlsHasNoTest)
{
    // P hangs on the loop by one observation: r = 0, no w, tau, MDB or gross error.
    const Network network = buildNetwork(testing::rowsOf(
        {testing::observation("A", "B", 1.0, 1.0, 0.002), testing::observation("B", "C", 1.0, 1.0, 0.002),
         testing::observation("C", "A", -2.001, 1.0, 0.002), testing::observation("C", "P", 0.5, 1.0, 0.002)},
        {testing::knownPoint("A", 10.0)}));
    const AnalysisResult result = analyse(network, {});
    const ObservationTest& spur = result.observations[3].test;
    EXPECT_FALSE(spur.controlled);
    EXPECT_NEAR(*spur.redundancy, 0.0, 1e-12);
    EXPECT_FALSE(spur.w || spur.tau || spur.mdb || spur.mdbEffect || spur.grossError);
    EXPECT_FALSE(result.observations[3].flagged());
    EXPECT_TRUE(result.observations[0].test.controlled);
}

TEST(ObservationTests, RedundanciesThatNoLongerAddUpToTheDegreesOfFreedomStopTheAnalysis)
{
    Evaluation evaluation;
    for (double r : {0.5, 0.25, 0.25, 0.4})
        evaluation.tests.emplace_back().redundancy = r;
    const std::vector<bool> firstThree = {true, true, true, false};
    EXPECT_EQ(redundancySumProblem(evaluation, firstThree, 1), "");
    EXPECT_NE(redundancySumProblem(evaluation, {true, true, true, true}, 1).find("add up to 1.4 instead of the 1 degrees"),
              std::string::npos);
    EXPECT_NE(redundancySumProblem(evaluation, firstThree, 2), "");
}

}  // namespace
}  // namespace korvane::analysis
