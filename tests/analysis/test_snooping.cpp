// Data snooping finds a planted 5 cm error in a 200-point network, and only it; the removed
// observation stays out at the readmission test, and the global test passes afterwards. In a
// large network the levels that suit its size stop the false alarms that alpha0 = 0.1 % raises.
#include "analyse.h"
#include "dense_adjustment.h"
#include "network_builders.h"
#include "quantiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace korvane::analysis {
namespace {

TEST(Snooping, FindsAPlantedFiveCentimetreErrorAndOnlyIt)
{
    std::mt19937 random(2025);
    testing::RandomNetworkShape shape;
    shape.points = 200;
    shape.extraSections = 160;
    shape.knownPoints = 4;
    testing::RandomNetwork generated = testing::randomNetwork(shape, random);
    // The clean network has no observation beyond the critical value (at 0.1 % one in a thousand
    // would be, by chance; this one has none).
    for (const ObservationResult& o : analyse(buildNetwork(generated.rows), {}).observations)
        ASSERT_FALSE(o.flagged());

    // Plant the error in a well controlled observation (redundancy above 0.3).
    const testing::DenseAdjustment clean = testing::denseAdjustment(buildNetwork(generated.rows), 1.0);
    int planted = -1;
    for (int e = 50; e < int(generated.rows.observations.size()) && planted < 0; ++e)
        if (clean.redundancy[e] > 0.3)
            planted = e;
    ASSERT_GE(planted, 0);
    generated.rows.observations[planted].dh += 0.050;

    AnalysisOptions options;
    options.snoop = true;
    const AnalysisResult result = analyse(buildNetwork(generated.rows), options);

    ASSERT_EQ(result.snooping.size(), 1u);
    const SnoopStep& step = result.snooping[0];
    EXPECT_FALSE(step.removed.knownHeight);
    EXPECT_EQ(step.removed.index, planted);
    EXPECT_EQ(step.statisticName, "w");
    EXPECT_GT(std::abs(step.statistic), step.critical);
    EXPECT_FALSE(step.readmissible);
    // Tested again without it, the planted observation is as far out as its w was with it.
    EXPECT_NEAR(*step.readmissionStatistic, step.statistic, 1e-6 * std::abs(step.statistic));
    EXPECT_NEAR(*step.misfit, -50.0, 10.0);  // predicted minus observed: the error, less the noise
    EXPECT_EQ(result.observations[planted].removedAtStep, 1);
    ASSERT_TRUE(result.globalBeforeSnooping);
    EXPECT_EQ(result.globalBeforeSnooping->verdict, GlobalVerdict::TooLarge);
    EXPECT_EQ(result.global.verdict, GlobalVerdict::Passes);
    EXPECT_EQ(result.global.dof, result.globalBeforeSnooping->dof - 1);
    for (const ObservationResult& o : result.observations)
        EXPECT_FALSE(o.flagged());
    // The error estimated in the first adjustment is the planted 5 cm, within four of its
    // standard deviations (MDB / delta0).
    const AnalysisResult unsnooped = analyse(buildNetwork(generated.rows), {});
    const ObservationTest& first = unsnooped.observations[planted].test;
    EXPECT_NEAR(*first.grossError, 50.0, 4.0 * *first.mdb / unsnooped.levels.delta0);
}

TEST(Snooping, StopsAtTheLimitAndTestsEveryRemovedObservationForReadmission)
{
    std::mt19937 random(5);
    testing::RandomNetworkShape shape;
    shape.points = 60;
    shape.extraSections = 60;
    shape.knownPoints = 2;
    testing::RandomNetwork generated = testing::randomNetwork(shape, random);
    const testing::DenseAdjustment clean = testing::denseAdjustment(buildNetwork(generated.rows), 1.0);
    std::vector<int> planted;
    for (int e = 10; e < int(generated.rows.observations.size()) && planted.size() < 2; e += 7)
        if (clean.redundancy[e] > 0.4)
            planted.push_back(e);
    ASSERT_EQ(planted.size(), 2u);
    generated.rows.observations[planted[0]].dh += 0.040;
    generated.rows.observations[planted[1]].dh -= 0.040;

    AnalysisOptions options;
    options.snoop = true;
    options.snoopLimit = 1;
    const AnalysisResult limited = analyse(buildNetwork(generated.rows), options);
    EXPECT_EQ(limited.snooping.size(), 1u);

    options.snoopLimit = 0;
    const AnalysisResult full = analyse(buildNetwork(generated.rows), options);
    ASSERT_GE(full.snooping.size(), 2u);
    std::vector<int> removed;
    for (const SnoopStep& step : full.snooping) {
        removed.push_back(step.removed.index);
        EXPECT_TRUE(step.readmissionStatistic);
        EXPECT_EQ(step.readmissible, std::abs(*step.readmissionStatistic) <= *step.readmissionCritical);
    }
    for (int e : planted)
        EXPECT_NE(std::find(removed.begin(), removed.end(), e), removed.end()) << e;
}

// The levels against independent figures: with one degree of freedom the global test is the
// square of one normal test, so the B-method gives that test (alpha/2 upper tail of chi-square is
// the two-sided normal test at alpha/2); with many, lambda0 from the normal approximation of the
// non-central chi-square, (b + l) - z_power sqrt(2 (b + 2 l)) = bound.
TEST(SnoopingLevels, TheBMethodAndTheFamilyWiseLevelAgainstIndependentFigures)
{
    const LocalTest one = bMethodTest(0.05, 0.80, 1);
    EXPECT_NEAR(one.alpha0, 0.025, 1e-9);
    EXPECT_NEAR(one.critical, normalUpperQuantile(0.0125), 1e-6);
    EXPECT_NEAR(one.delta0, noncentrality(0.025, 0.80), 1e-6);

    const int b = 20000;
    const double bound = chiSquaredQuantile(b, 0.975);
    const double zPower = normalQuantile(0.80);
    double low = 0.0, high = 5000.0;
    for (int i = 0; i < 100; ++i) {
        const double l = (low + high) / 2.0;
        ((b + l) - zPower * std::sqrt(2.0 * (b + 2.0 * l)) < bound ? low : high) = l;
    }
    const LocalTest many = bMethodTest(0.05, 0.80, b);
    EXPECT_NEAR(many.delta0, std::sqrt(low), 0.02 * std::sqrt(low));
    EXPECT_NEAR(many.critical, many.delta0 - zPower, 1e-6);  // the other tail is nothing
    EXPECT_LT(many.alpha0, 1e-50);

    EXPECT_NEAR(familyWiseLevel(0.05, 60000), 8.5488e-7, 1e-10);
    EXPECT_NEAR(familyWiseLevel(0.05, 1), 0.05, 1e-15);
}

// On a clean network of some 8,000 observations alpha0 = 0.1 % flags about eight by chance and
// snooping removes them; the B-method and the family-wise level flag none (their alpha0 suits a
// network of this size), stopping at the global test removes none either; and each still finds a
// planted 5 cm error, and only it.
TEST(SnoopingLevels, LargeNetworksNoLongerLoseCleanObservationsButStillFindTheError)
{
    std::mt19937 random(77);
    testing::RandomNetworkShape shape;
    shape.points = 4000;
    shape.extraSections = 4000;
    shape.knownPoints = 6;
    testing::RandomNetwork generated = testing::randomNetwork(shape, random);
    AnalysisOptions given;
    given.snoop = true;
    EXPECT_GE(analyse(buildNetwork(generated.rows), given).snooping.size(), 2u);

    AnalysisOptions bMethod = given;
    bMethod.alpha0Rule = LocalLevelRule::BMethod;
    AnalysisOptions familyWise = given;
    familyWise.alpha0Rule = LocalLevelRule::FamilyWise;
    AnalysisOptions globalStop = given;
    globalStop.snoopStop = SnoopStop::GlobalTestPasses;
    for (const AnalysisOptions* options : {&bMethod, &familyWise, &globalStop})
        EXPECT_TRUE(analyse(buildNetwork(generated.rows), *options).snooping.empty());

    const AnalysisResult clean = analyse(buildNetwork(generated.rows), {});
    int planted = -1;
    for (int e = 100; e < int(generated.rows.observations.size()) && planted < 0; ++e)
        if (*clean.observations[e].test.redundancy > 0.5)
            planted = e;
    ASSERT_GE(planted, 0);
    generated.rows.observations[planted].dh += 0.050;
    for (const AnalysisOptions* options : {&bMethod, &familyWise, &globalStop}) {
        const AnalysisResult result = analyse(buildNetwork(generated.rows), *options);
        ASSERT_EQ(result.snooping.size(), 1u);
        EXPECT_EQ(result.snooping[0].removed.index, planted);
        // Each adjustment's level comes from its own degrees of freedom: one fewer at the end.
        EXPECT_NEAR(result.snooping[0].critical, result.levels.wCritical, 1e-3 * result.levels.wCritical);
        EXPECT_EQ(result.global.verdict, GlobalVerdict::Passes);
        if (options == &globalStop)
            continue;  // stopped with the global test: the chance alarms of 0.1 % may stay
        for (const ObservationResult& o : result.observations)
            EXPECT_FALSE(o.flagged());
    }
}

}  // namespace
}  // namespace korvane::analysis
