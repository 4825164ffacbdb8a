#include "statistics.h"

#include "quantiles.h"

#include <algorithm>
#include <cmath>

namespace korvane::analysis {

GlobalTest globalTest(double vtpv, int dof, std::optional<double> sigma0Apriori, double alpha)
{
    GlobalTest test;
    test.dof = dof;
    test.vtpv = vtpv;
    if (sigma0Apriori)
        test.sigma0Apriori = computed(*sigma0Apriori);
    if (dof <= 0) {
        test.reason = "no redundancy (degrees of freedom " + std::to_string(dof) + ")";
        return test;
    }
    test.sigma0Posterior = computed(std::sqrt(vtpv / dof));
    if (!test.sigma0Apriori) {
        test.reason = "no a-priori sigma0: distance weighting needs --sigma0 for the global test";
        return test;
    }
    test.statistic = computed(vtpv / (*test.sigma0Apriori * *test.sigma0Apriori));
    test.lower = computed(chiSquaredQuantile(dof, alpha / 2.0));
    test.upper = computed(chiSquaredQuantile(dof, 1.0 - alpha / 2.0));
    if (!test.statistic || !test.lower || !test.upper) {
        test.reason = "the test statistic cannot be computed";
        return test;
    }
    if (*test.statistic > *test.upper)
        test.verdict = GlobalVerdict::TooLarge;
    else if (*test.statistic < *test.lower)
        test.verdict = GlobalVerdict::TooSmall;
    else
        test.verdict = GlobalVerdict::Passes;
    return test;
}

TestLevels testLevels(const AnalysisOptions& options, int dof, int tests)
{
    LocalTest local;
    if (options.alpha0Rule == LocalLevelRule::BMethod && dof >= 1)
        local = bMethodTest(options.alpha, options.power, dof);
    else if (options.alpha0Rule == LocalLevelRule::FamilyWise)
        local = localTest(familyWiseLevel(options.alpha, tests), options.power);
    else
        local = localTest(options.alpha0, options.power);
    TestLevels levels;
    levels.alpha0 = local.alpha0;
    levels.wCritical = local.critical;
    levels.delta0 = local.delta0;
    if (dof >= 2)
        levels.tauCritical = computed(tauCritical(dof, local.alpha0));
    return levels;
}

namespace {

// w and tau of a residual standardized by its weight and redundancy (v sqrt(p) / sqrt(r) for one
// observation), the verdict of the deciding one (w with an a-priori sigma0, else tau) and the MDB
// from the square root of p r. tau needs two degrees of freedom: with one, the a-posteriori sigma0
// comes from this very residual and |tau| is 1 whatever the data.
void testStandardized(ObservationTest& test, double standardized, double rootPr, const GlobalTest& global,
                      const TestLevels& levels)
{
    if (global.sigma0Apriori) {
        test.w = computed(standardized / *global.sigma0Apriori);
        test.wFails = test.w && std::abs(*test.w) > levels.wCritical;
    }
    if (global.sigma0Posterior && *global.sigma0Posterior > 0.0 && global.dof >= 2) {
        test.tau = computed(standardized / *global.sigma0Posterior);
        test.tauFails = test.tau && levels.tauCritical && std::abs(*test.tau) > *levels.tauCritical;
    }
    test.fails = global.sigma0Apriori ? test.wFails : test.tauFails;
    const Quantity sigma0 = global.sigma0Apriori ? global.sigma0Apriori : global.sigma0Posterior;
    if (sigma0 && *sigma0 > 0.0)
        test.mdb = computed(levels.delta0 * *sigma0 / rootPr);
}

}  // namespace

ObservationTest testEquation(const EquationFigures& figures, const GlobalTest& global, const TestLevels& levels)
{
    ObservationTest test;
    const double v = figures.residualMm;
    const double p = figures.weight;
    test.residual = computed(v);
    // r lies in [0, 1]; rounding may push it a hair outside.
    const double r = std::clamp(1.0 - p * figures.cofactor, 0.0, 1.0);
    test.redundancy = computed(r);
    test.controlled = r >= kSmallestControlledRedundancy;
    if (!test.controlled)
        return test;

    testStandardized(test, v * std::sqrt(p) / std::sqrt(r), std::sqrt(p * r), global, levels);
    if (test.mdb && figures.effectCofactor)
        test.mdbEffect = computed(*test.mdb * p * *figures.effectCofactor);
    test.grossError = computed(-v / r);
    return test;
}

ObservationTest testCorrelatedEquation(const CorrelatedFigures& figures, const GlobalTest& global,
                                       const TestLevels& levels)
{
    ObservationTest test;
    test.residual = computed(figures.residualMm);
    const double r = std::clamp(figures.redundancy, 0.0, 1.0);
    test.redundancy = computed(r);
    test.controlled = r >= kSmallestControlledRedundancy && figures.reducedWeight > 0.0;
    if (!test.controlled)
        return test;

    const double root = std::sqrt(figures.reducedWeight);
    testStandardized(test, figures.weightedResidual / root, root, global, levels);
    if (test.mdb && figures.effectPerBias)
        test.mdbEffect = computed(*test.mdb * *figures.effectPerBias);
    test.grossError = computed(-figures.weightedResidual / figures.reducedWeight);
    return test;
}

}  // namespace korvane::analysis
