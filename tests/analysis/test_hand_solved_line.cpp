// A levelling line between two benchmarks, solved by hand. With misclosure W of the line and
// observation variances s_i^2 summing to S, the adjustment spreads W by variance:
// v_i = -W s_i^2 / S, r_i = s_i^2 / S, vTPv = W^2 / S, one degree of freedom.
#include "analyse.h"
#include "json_writer.h"
#include "network_builders.h"
#include "summary_writer.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <sstream>

namespace korvane::analysis {
namespace {

using testing::knownPoint;
using testing::observation;
using testing::rowsOf;

constexpr double kTight = 1e-9;

const ObservationResult& only(const AnalysisResult& result, int index)
{
    return result.observations.at(index);
}

// A (100.000, held) -> P1 -> P2 -> B (101.000, held), distances 1, 2 and 1 km, distance
// weighting. The line closes 3 mm too high: W = 0.300 + 0.400 + 0.303 - 1.000 m.
NetworkRows line()
{
    return rowsOf({observation("A", "P1", 0.300, 1.0), observation("P1", "P2", 0.400, 2.0),
                   observation("P2", "B", 0.303, 1.0)},
                  {knownPoint("A", 100.0), knownPoint("B", 101.0)});
}

TEST(HandSolvedLine, HeightsResidualsAndRedundancyFollowTheMisclosure)
{
    AnalysisOptions options;
    options.sigma0 = 2.0;  // mm per square root of a km
    const AnalysisResult result = analyse(buildNetwork(line()), options);

    // S = 4 km, W = 3 mm: v = -0.75, -1.5, -0.75 mm; r = 1/4, 1/2, 1/4.
    EXPECT_NEAR(*only(result, 0).test.residual, -0.75, kTight);
    EXPECT_NEAR(*only(result, 1).test.residual, -1.5, kTight);
    EXPECT_NEAR(*only(result, 2).test.residual, -0.75, kTight);
    EXPECT_NEAR(*only(result, 0).test.redundancy, 0.25, kTight);
    EXPECT_NEAR(*only(result, 1).test.redundancy, 0.5, kTight);
    EXPECT_NEAR(*only(result, 2).test.redundancy, 0.25, kTight);
    EXPECT_NEAR(*result.points[2].height, 100.29925, kTight);  // P1
    EXPECT_NEAR(*result.points[3].height, 100.69775, kTight);  // P2
    EXPECT_NEAR(*only(result, 1).adjustedDh, 0.3985, kTight);

    // vTPv = W^2 / S = 2.25, sigma0 = 1.5 mm/sqrt(km); Q(P1) = 1 * 3 / 4 km.
    EXPECT_EQ(result.global.dof, 1);
    EXPECT_NEAR(result.global.vtpv, 2.25, kTight);
    EXPECT_NEAR(*result.global.sigma0Posterior, 1.5, kTight);
    EXPECT_NEAR(*result.points[2].sigma, 1.5 * std::sqrt(0.75), kTight);
    EXPECT_NEAR(*result.points[2].sigmaApriori, 2.0 * std::sqrt(0.75), kTight);
    EXPECT_EQ(*result.points[0].sigma, 0.0);  // held

    // w = v sqrt(p) / (sigma0 sqrt(r)); with one degree of freedom tau would be +-1 whatever the
    // data: it is no test, and has no value.
    EXPECT_NEAR(*only(result, 0).test.w, -0.75 / (2.0 * 0.5), kTight);
    EXPECT_NEAR(*only(result, 1).test.w, -1.5 * std::sqrt(0.5) / (2.0 * std::sqrt(0.5)), kTight);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(only(result, i).test.tau);
        EXPECT_FALSE(only(result, i).test.tauFails);
        EXPECT_NEAR(*only(result, i).test.grossError, 3.0, kTight);  // -v/r: the whole misclosure
    }
    // MDB = delta0 sigma0 / sqrt(p r); a bias in A->P1 moves P1 by Q(P1,P1) p MDB = 0.75 MDB
    // and P2 by Q(P2,P1) p MDB = 0.25 MDB; one in P1->P2 (p = 1/2) moves P2 by
    // (Q(P2,P2) - Q(P1,P2)) p MDB = (0.75 - 0.25) / 2 MDB and P1 as much the other way.
    const double delta0 = result.levels.delta0;
    EXPECT_NEAR(delta0, 4.1321, 5e-4);
    EXPECT_NEAR(*only(result, 0).test.mdb, delta0 * 2.0 / std::sqrt(0.25), kTight);
    EXPECT_NEAR(*only(result, 0).test.mdbEffect, 0.75 * *only(result, 0).test.mdb, kTight);
    EXPECT_NEAR(*only(result, 1).test.mdbEffect, 0.25 * *only(result, 1).test.mdb, kTight);

    // The line between the known points closes with W against 12 mm * sqrt(4 km).
    ASSERT_EQ(result.checks.knownLines.size(), 1u);
    EXPECT_NEAR(result.checks.knownLines[0].misclosureMm, 3.0, kTight);
    EXPECT_NEAR(result.checks.knownLines[0].toleranceMm, 24.0, kTight);
    EXPECT_TRUE(result.checks.knownLines[0].passes);
    EXPECT_TRUE(result.checks.loops.empty());

    // Global test: vTPv / sigma0^2 = 0.5625 against chi-square(1) at 2.5 % and 97.5 %.
    EXPECT_NEAR(*result.global.statistic, 0.5625, kTight);
    EXPECT_NEAR(*result.global.lower, 0.000982069, 1e-8);
    EXPECT_NEAR(*result.global.upper, 5.023886, 1e-6);
    EXPECT_EQ(result.global.verdict, GlobalVerdict::Passes);
}

TEST(HandSolvedLine, AWeightedBenchmarkTakesItsShareInMillimetres)
{
    // Grade weighting 1 mm per square root of a km (variances 1, 2 and 1 mm^2) and B weighted with
    // sigma 2 mm (variance 4 mm^2): S = 8, so B moves by W * 4 / 8 = 1.5 mm and keeps r = 1/2.
    // Added as tarnex adds it (1/sigma^2 in metres) B would stay where it is.
    NetworkRows rows = line();
    for (ObservationRow& o : rows.observations)
        o.grade = 0.001;
    rows.knownPoints[1].sigma = 0.002;
    const AnalysisResult result = analyse(buildNetwork(rows), {});

    EXPECT_NEAR(*result.points[1].height, 101.0015, kTight);
    ASSERT_TRUE(result.points[1].knownTest);
    EXPECT_NEAR(*result.points[1].knownTest->residual, 1.5, kTight);
    EXPECT_NEAR(*result.points[1].knownTest->redundancy, 0.5, kTight);
    EXPECT_NEAR(*only(result, 0).test.residual, -0.375, kTight);
    EXPECT_NEAR(*only(result, 1).test.redundancy, 0.25, kTight);
    EXPECT_NEAR(result.global.vtpv, 9.0 / 8.0, kTight);
    EXPECT_EQ(result.points[1].known, KnownRole::Weighted);
    EXPECT_FALSE(result.notes.empty());
}

TEST(HandSolvedLine, WithoutAprioriSigmaUnderDistanceWeightingTheGlobalTestIsNotPossible)
{
    const AnalysisResult result = analyse(buildNetwork(line()), {});
    EXPECT_EQ(result.global.verdict, GlobalVerdict::NotPossible);
    EXPECT_FALSE(result.global.statistic);
    EXPECT_FALSE(only(result, 0).test.w);
    EXPECT_FALSE(only(result, 0).test.tau);  // one degree of freedom: no test at all

    // No test could be made: said so, and the verdicts are null (not "passes").
    std::ostringstream summary;
    writeSummary(result, summary);
    EXPECT_NE(summary.str().find("no observation could be tested"), std::string::npos) << summary.str();
    EXPECT_EQ(summary.str().find("no observation is flagged"), std::string::npos);
    std::ostringstream document;
    writeJson(result, document);
    const nlohmann::json json = nlohmann::json::parse(document.str());
    EXPECT_TRUE(json["observations"][0]["w_fails"].is_null());
    EXPECT_TRUE(json["observations"][0]["tau_fails"].is_null());
    EXPECT_EQ(json["critical_values"]["statistic"], "tau");
    EXPECT_EQ(result.mdbSigma0, "a-posteriori");
    EXPECT_NEAR(*only(result, 0).test.mdb, result.levels.delta0 * 1.5 / 0.5, kTight);
}

}  // namespace
}  // namespace korvane::analysis
