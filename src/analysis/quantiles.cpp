#include "quantiles.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/non_central_chi_squared.hpp>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <boost/math/tools/roots.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvane::analysis {

double normalQuantile(double probability)
{
    return boost::math::quantile(boost::math::normal_distribution<double>(), probability);
}

double normalUpperQuantile(double tail)
{
    return boost::math::quantile(boost::math::complement(boost::math::normal_distribution<double>(), tail));
}

double studentUpperQuantile(int dof, double tail)
{
    return boost::math::quantile(boost::math::complement(boost::math::students_t_distribution<double>(dof), tail));
}

double chiSquaredQuantile(int dof, double probability)
{
    return boost::math::quantile(boost::math::chi_squared_distribution<double>(dof), probability);
}

double studentQuantile(int dof, double probability)
{
    return boost::math::quantile(boost::math::students_t_distribution<double>(dof), probability);
}

double tauCritical(int dof, double alpha)
{
    // A level below the smallest double (the B-method in a large network) is taken at that
    // smallest one: its t is then far beyond any observation's.
    const double t = studentUpperQuantile(dof - 1, std::max(alpha / 2.0, std::numeric_limits<double>::min()));
    return t * std::sqrt(double(dof)) / std::sqrt(dof - 1.0 + t * t);
}

double noncentrality(double alpha, double power)
{
    const boost::math::normal_distribution<double> normal;
    const double z = normalUpperQuantile(alpha / 2.0);
    auto shortfall = [&](double delta) {
        return boost::math::cdf(normal, delta - z) + boost::math::cdf(normal, -delta - z) - power;
    };
    // The power rises from alpha at delta = 0 to 1; it reaches any power below 1 before z + 40.
    const auto [low, high] = boost::math::tools::bisect(shortfall, 0.0, z + 40.0,
                                                         boost::math::tools::eps_tolerance<double>(50));
    return (low + high) / 2.0;
}

LocalTest localTest(double alpha0, double power)
{
    return {alpha0, normalUpperQuantile(alpha0 / 2.0), noncentrality(alpha0, power)};
}

LocalTest bMethodTest(double alpha, double power, int dof)
{
    using boost::math::complement;
    const double bound = boost::math::quantile(complement(boost::math::chi_squared_distribution<double>(dof), alpha / 2.0));
    // lambda0: the global test's statistic stays below its bound with probability 1 - power.
    const double lambda0 = boost::math::non_central_chi_squared_distribution<double>::find_non_centrality(
        double(dof), bound, 1.0 - power);
    const double delta0 = std::sqrt(lambda0);
    // The one-dimensional test with the same delta0 and power: Phi(delta0 - z) + Phi(-delta0 - z)
    // = power, solved for its critical value z, whose two tails are alpha0.
    const boost::math::normal_distribution<double> normal;
    auto excess = [&](double z) {
        return boost::math::cdf(normal, delta0 - z) + boost::math::cdf(normal, -delta0 - z) - power;
    };
    const auto [low, high] =
        boost::math::tools::bisect(excess, 0.0, delta0 + 40.0, boost::math::tools::eps_tolerance<double>(50));
    const double z = (low + high) / 2.0;
    return {2.0 * boost::math::cdf(complement(normal, z)), z, delta0};
}

double familyWiseLevel(double alpha, int tests)
{
    return -std::expm1(std::log1p(-alpha) / double(std::max(tests, 1)));
}

}  // namespace korvane::analysis
