// The distributions of the tests, from Boost.Math: quantiles of the normal, chi-square and
// Student t distributions, Pope's tau, and the non-centrality that gives a test its power.
#pragma once

namespace korvane::analysis {

double normalQuantile(double probability);
double chiSquaredQuantile(int dof, double probability);
double studentQuantile(int dof, double probability);

// The critical value of Pope's tau for `dof` degrees of freedom (2 or more) at level alpha,
// two-sided: tau = t sqrt(dof) / sqrt(dof - 1 + t^2) with t the Student quantile for dof - 1.
double tauCritical(int dof, double alpha);

// The shift delta0 of a standard normal test statistic that the two-sided test at level alpha
// finds with probability `power`: Phi(delta0 - z) + Phi(-delta0 - z) = power, z = z(1 - alpha/2).
double noncentrality(double alpha, double power);

}  // namespace korvane::analysis
