// The statistics of an adjustment: the global test of the variance factor and, for every
// observation, Baarda's w, Pope's tau, the minimal detectable bias with its largest effect on a
// height, and the estimated gross error. Residuals are adjusted minus observed values, in mm.
#pragma once

#include "analysis_options.h"
#include "quantity.h"

#include <optional>
#include <string>

namespace korvane::analysis {

// Below this redundancy number an observation is not controlled by the others: it has no test.
inline constexpr double kSmallestControlledRedundancy = 1e-6;

enum class GlobalVerdict { NotPossible, Passes, TooLarge, TooSmall };

struct GlobalTest {
    int dof = 0;
    double vtpv = 0.0;  // sum of p v^2, v in mm
    Quantity sigma0Posterior;  // sqrt(vtpv / dof), in the units of the weights (see AnalysisResult)
    Quantity sigma0Apriori;
    Quantity statistic;        // vtpv / sigma0Apriori^2, chi-square with dof degrees of freedom
    Quantity lower;            // chi-square quantiles at alpha/2 and 1 - alpha/2
    Quantity upper;
    GlobalVerdict verdict = GlobalVerdict::NotPossible;
    std::string reason;  // why the test is not possible
};

GlobalTest globalTest(double vtpv, int dof, std::optional<double> sigma0Apriori, double alpha);

// Critical values for the tests of single observations in an adjustment with `dof` degrees
// of freedom.
struct TestLevels {
    double alpha0 = 0.0;     // the level of each test: as given, or by the options' rule
    double wCritical = 0.0;  // z(1 - alpha0/2)
    double delta0 = 0.0;     // shift found with the chosen power
    Quantity tauCritical;    // needs dof >= 2
};

// `tests`: the equations tested in that adjustment, for the family-wise level. The B-method
// takes the adjustment's own degrees of freedom; without any it falls back on the given alpha0.
TestLevels testLevels(const AnalysisOptions& options, int dof, int tests);

struct ObservationTest {
    Quantity residual;    // mm, adjusted minus observed
    Quantity redundancy;  // r = 1 - p a'Qa
    Quantity w;           // v sqrt(p) / (sigma0 apriori sqrt(r))
    Quantity tau;         // v sqrt(p) / (sigma0 aposteriori sqrt(r)); none below 2 degrees of freedom
    Quantity mdb;         // mm: delta0 sigma0 / sqrt(p r)
    Quantity mdbEffect;   // mm: the largest change of a height that a bias of mdb causes
    Quantity grossError;  // mm: -v / r
    bool controlled = false;  // r >= kSmallestControlledRedundancy
    bool wFails = false;
    bool tauFails = false;
    // The test that decides: w with an a-priori sigma0, else tau. It marks the observation
    // flagged, and data snooping removes by it.
    bool fails = false;
};

struct EquationFigures {
    double residualMm = 0.0;
    double weight = 0.0;
    double cofactor = 0.0;  // a'Qa of the adjusted value
    // The largest height change per unit of bias, divided by the weight: for an observation from
    // i to j, max(|Q(j,j) - Q(i,j)|, |Q(i,j) - Q(i,i)|); for a known height at k, Q(k,k). Nothing
    // when the heights of its part are not determined.
    std::optional<double> effectCofactor;
};

// The tests of one equation. MDB and its effect use the a-priori sigma0 when there is one, else
// the a-posteriori one.
ObservationTest testEquation(const EquationFigures& figures, const GlobalTest& global, const TestLevels& levels);

// An observation of a correlated set (weight matrix P, residual cofactors Qvv), observation i.
struct CorrelatedFigures {
    double residualMm = 0.0;        // v_i
    double weightedResidual = 0.0;  // (P v)_i
    double redundancy = 0.0;        // (Qvv P)_ii
    double reducedWeight = 0.0;     // (P Qvv P)_ii
    // The largest height change per unit bias in observation i, or nothing (see EquationFigures).
    std::optional<double> effectPerBias;
};

// w = (P v)_i / (sigma0 sqrt((P Qvv P)_ii)), tau the same with the a-posteriori sigma0, the MDB
// delta0 sigma0 / sqrt((P Qvv P)_ii), the gross error -(P v)_i / (P Qvv P)_ii: for a single
// observation (P = p) these are testEquation's.
ObservationTest testCorrelatedEquation(const CorrelatedFigures& figures, const GlobalTest& global,
                                       const TestLevels& levels);

}  // namespace korvane::analysis
