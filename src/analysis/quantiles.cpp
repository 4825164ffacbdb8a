#include "quantiles.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <boost/math/tools/roots.hpp>

#include <cmath>

namespace korvane::analysis {

double normalQuantile(double probability)
{
    return boost::math::quantile(boost::math::normal_distribution<double>(), probability);
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
    const double t = studentQuantile(dof - 1, 1.0 - alpha / 2.0);
    return t * std::sqrt(double(dof)) / std::sqrt(dof - 1.0 + t * t);
}

double noncentrality(double alpha, double power)
{
    const boost::math::normal_distribution<double> normal;
    const double z = normalQuantile(1.0 - alpha / 2.0);
    auto shortfall = [&](double delta) {
        return boost::math::cdf(normal, delta - z) + boost::math::cdf(normal, -delta - z) - power;
    };
    // The power rises from alpha at delta = 0 to 1; it reaches any power below 1 before z + 40.
    const auto [low, high] = boost::math::tools::bisect(shortfall, 0.0, z + 40.0,
                                                         boost::math::tools::eps_tolerance<double>(50));
    return (low + high) / 2.0;
}

}  // namespace korvane::analysis
