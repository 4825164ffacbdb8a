#include "dense_reference.h"

#include <cmath>
#include <stdexcept>
#include <utility>

namespace tarnex_test {

DenseMatrix denseInverse(DenseMatrix a)
{
    const std::size_t n = a.size();
    DenseMatrix inverse(n, std::vector<double>(n, 0.0));
    for (std::size_t i = 0; i < n; ++i)
        inverse[i][i] = 1.0;
    for (std::size_t column = 0; column < n; ++column) {
        std::size_t pivot = column;
        for (std::size_t row = column + 1; row < n; ++row)
            if (std::fabs(a[row][column]) > std::fabs(a[pivot][column]))
                pivot = row;
        if (a[pivot][column] == 0.0)
            throw std::runtime_error("singular matrix in the dense reference");
        std::swap(a[pivot], a[column]);
        std::swap(inverse[pivot], inverse[column]);
        const double scale = 1.0 / a[column][column];
        for (std::size_t k = 0; k < n; ++k) {
            a[column][k] *= scale;
            inverse[column][k] *= scale;
        }
        for (std::size_t row = 0; row < n; ++row) {
            if (row == column || a[row][column] == 0.0)
                continue;
            const double factor = a[row][column];
            for (std::size_t k = 0; k < n; ++k) {
                a[row][k] -= factor * a[column][k];
                inverse[row][k] -= factor * inverse[column][k];
            }
        }
    }
    return inverse;
}

std::vector<double> multiply(const DenseMatrix& matrix, const std::vector<double>& vector)
{
    std::vector<double> product(matrix.size(), 0.0);
    for (std::size_t i = 0; i < matrix.size(); ++i)
        for (std::size_t j = 0; j < vector.size(); ++j)
            product[i] += matrix[i][j] * vector[j];
    return product;
}

DenseResult adjustDense(int points, const std::vector<DenseObservation>& observations,
                        const std::vector<DenseKnownPoint>& known, bool gradeWeighting)
{
    const auto m = static_cast<std::size_t>(points);
    DenseMatrix normal(m, std::vector<double>(m, 0.0));
    std::vector<double> rhs(m, 0.0);
    std::vector<double> weights;
    for (const DenseObservation& o : observations) {
        const double p = gradeWeighting ? 1.0 / (1e6 * o.grade * o.grade * o.distance) : 1.0 / o.distance;
        weights.push_back(p);
        if (o.from == o.to)
            continue;
        const auto i = static_cast<std::size_t>(o.from - 1);
        const auto j = static_cast<std::size_t>(o.to - 1);
        normal[i][i] += p;
        normal[j][j] += p;
        normal[i][j] -= p;
        normal[j][i] -= p;
        rhs[i] -= p * o.dh;
        rhs[j] += p * o.dh;
    }
    int freedom = static_cast<int>(observations.size()) - points;
    for (const DenseKnownPoint& k : known) {
        const double w = k.sigma > 0.0 ? 1.0 / (k.sigma * k.sigma) : 1e12;
        const auto i = static_cast<std::size_t>(k.point - 1);
        normal[i][i] += w;
        rhs[i] += w * k.elevation;
        if (w > 1.0)
            ++freedom;
    }
    const DenseMatrix q = denseInverse(normal);
    DenseResult result;
    result.heights = multiply(q, rhs);
    result.freedom = freedom;
    double vtpv = 0.0;
    for (std::size_t l = 0; l < observations.size(); ++l) {
        const DenseObservation& o = observations[l];
        const auto i = static_cast<std::size_t>(o.from - 1);
        const auto j = static_cast<std::size_t>(o.to - 1);
        const double v = result.heights[j] - result.heights[i] - o.dh;
        result.residuals.push_back(v);
        vtpv += weights[l] * v * v;
        const double cofactor = o.from == o.to ? 0.0 : q[i][i] - 2.0 * q[i][j] + q[j][j];
        result.redundancy.push_back(1.0 - weights[l] * cofactor);
    }
    result.sigma0 = freedom > 0 ? std::sqrt(vtpv / freedom) : 0.0;
    for (std::size_t i = 0; i < m; ++i)
        result.deviations.push_back(std::sqrt(q[i][i]) * result.sigma0);
    return result;
}

}  // namespace tarnex_test
