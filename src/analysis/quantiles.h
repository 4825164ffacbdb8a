// The distributions of the tests, from Boost.Math: quantiles of the normal, chi-square and
// Student t distributions, Pope's tau, and the non-centrality that gives a test its power.
#pragma once

namespace korvane::analysis {

double normalQuantile(double probability);
// The value the standard normal (Student t) variable exceeds with probability `tail`; exact for a
// tail far below the resolution of 1 - tail.
double normalUpperQuantile(double tail);
double studentUpperQuantile(int dof, double tail);
double chiSquaredQuantile(int dof, double probability);
double studentQuantile(int dof, double probability);

// The critical value of Pope's tau for `dof` degrees of freedom (2 or more) at level alpha,
// two-sided: tau = t sqrt(dof) / sqrt(dof - 1 + t^2) with t the Student quantile for dof - 1.
double tauCritical(int dof, double alpha);

// The shift delta0 of a standard normal test statistic that the two-sided test at level alpha
// finds with probability `power`: Phi(delta0 - z) + Phi(-delta0 - z) = power, z = z(1 - alpha/2).
double noncentrality(double alpha, double power);

// The two-sided test of one normally distributed statistic: its level alpha0, its critical
// value z (|statistic| > z fails) and the shift delta0 it finds with the chosen power.
struct LocalTest {
    double alpha0 = 0.0;
    double critical = 0.0;
    double delta0 = 0.0;
};

// The test at the level alpha0.
LocalTest localTest(double alpha0, double power);

// Baarda's B-method: the test of one observation that finds, with probability `power`, the same
// non-centrality lambda0 = delta0^2 as the global test (chi-square with `dof` degrees of freedom,
// its upper bound at 1 - alpha/2) finds with that power. With one degree of freedom its level is
// alpha/2; with many it is far smaller (its alpha0 may be below the smallest double: 0).
LocalTest bMethodTest(double alpha, double power, int dof);

// The level of each of `tests` independent tests whose family has the level alpha (Sidak):
// 1 - (1 - alpha)^(1/tests).
double familyWiseLevel(double alpha, int tests);

}  // namespace korvane::analysis
