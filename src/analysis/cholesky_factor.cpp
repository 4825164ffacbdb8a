#include "cholesky_factor.h"

#include <cmath>

namespace korvane::analysis {

namespace {

constexpr double kSmallestRelativePivot = 1e-13;

// The first column whose pivot is too small against N's diagonal there, or nothing.
template <typename Factor>
std::optional<int> firstSmallPivot(const Eigen::SparseMatrix<double>& matrix, const Factor& l)
{
    for (int column = 0; column < matrix.cols(); ++column) {
        const double pivot = l.valuePtr()[l.outerIndexPtr()[column]];
        const double diagonal = matrix.valuePtr()[matrix.outerIndexPtr()[column + 1] - 1];  // last of the upper column
        if (!(pivot * pivot > kSmallestRelativePivot * diagonal))
            return column;
    }
    return std::nullopt;
}

bool leadingBlockFactorises(const Eigen::SparseMatrix<double>& matrix, int size)
{
    const Eigen::SparseMatrix<double> block = matrix.topLeftCorner(size, size);
    Eigen::SimplicialLLT<Eigen::SparseMatrix<double>, Eigen::Upper, Eigen::NaturalOrdering<int>> solver(block);
    return solver.info() == Eigen::Success && !firstSmallPivot(block, solver.matrixL().nestedExpression());
}

}  // namespace

CholeskyFactor::CholeskyFactor(const Eigen::SparseMatrix<double>& pattern)
{
    solver_.analyzePattern(pattern);
}

std::optional<int> CholeskyFactor::factorize(const Eigen::SparseMatrix<double>& matrix)
{
    solver_.factorize(matrix);
    if (solver_.info() != Eigen::Success)
        return firstFailingColumn(matrix).value_or(0);
    // A pivot that survived only as rounding noise: the column is not determined.
    return firstSmallPivot(matrix, factor());
}

Eigen::VectorXd CholeskyFactor::solve(const Eigen::VectorXd& b) const
{
    return solver_.solve(b);
}

const Eigen::SparseMatrix<double>& CholeskyFactor::factor() const
{
    return solver_.matrixL().nestedExpression();
}

std::optional<int> firstFailingColumn(const Eigen::SparseMatrix<double>& matrix)
{
    const int n = int(matrix.cols());
    if (n == 0 || leadingBlockFactorises(matrix, n))
        return std::nullopt;
    int good = 0;  // the leading block of this size factorises
    int bad = n;   // the leading block of this size does not
    while (bad - good > 1) {
        const int middle = good + (bad - good) / 2;
        if (leadingBlockFactorises(matrix, middle))
            good = middle;
        else
            bad = middle;
    }
    return bad - 1;
}

}  // namespace korvane::analysis
