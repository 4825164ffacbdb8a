#include "cholesky_factor.h"

#include "large_memory.h"

#include <Eigen/Cholesky>
#include <Eigen/SparseCholesky>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace korvane::analysis {

namespace {

constexpr double kSmallestRelativePivot = 1e-13;
// Fronts below this many values (rows times columns times rows) are factorised by plain loops:
// for them the set-up of Eigen's blocked operations costs more than the arithmetic.
constexpr long kBlockedFrom = 2048;

using Front = Eigen::Map<Eigen::MatrixXd>;

// The first column whose pivot is too small against N's diagonal there, or nothing; `pivots`
// gives L's diagonal.
template <typename Pivot>
std::optional<int> firstSmallPivot(const Eigen::SparseMatrix<double>& matrix, Pivot pivots)
{
    for (int column = 0; column < matrix.cols(); ++column) {
        const double pivot = pivots(column);
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
    const Eigen::SparseMatrix<double>& l = solver.matrixL().nestedExpression();
    return solver.info() == Eigen::Success &&
           !firstSmallPivot(block, [&](int column) { return l.valuePtr()[l.outerIndexPtr()[column]]; });
}

// Cholesky of the front's first `width` columns by plain loops, right-looking: each column in
// turn is divided by its pivot and taken off the columns to its right, the rows below the
// supernode included, which leaves the update there.
bool factorizeSmallFront(double* f, int rows, int width)
{
    for (int c = 0; c < width; ++c) {
        double* fc = f + std::size_t(c) * rows;
        if (!(fc[c] > 0.0))
            return false;
        const double pivot = std::sqrt(fc[c]);
        fc[c] = pivot;
        for (int a = c + 1; a < rows; ++a)
            fc[a] /= pivot;
        for (int b = c + 1; b < rows; ++b) {
            double* fb = f + std::size_t(b) * rows;
            const double x = fc[b];
            for (int a = b; a < rows; ++a)
                fb[a] -= fc[a] * x;
        }
    }
    return true;
}

// The same with Eigen's blocked dense operations: L(J,J) L(J,J)' = F(J,J),
// L(R,J) = F(R,J) L(J,J)^-T, update F(R,R) - L(R,J) L(R,J)'.
bool factorizeLargeFront(Front& f, int width)
{
    const int below = int(f.rows()) - width;
    Eigen::Ref<Eigen::MatrixXd> diagonal = f.topLeftCorner(width, width);
    const Eigen::LLT<Eigen::Ref<Eigen::MatrixXd>> llt(diagonal);
    if (llt.info() != Eigen::Success)
        return false;
    if (below > 0) {
        auto side = f.bottomLeftCorner(below, width);
        f.topLeftCorner(width, width).triangularView<Eigen::Lower>().transpose().solveInPlace<Eigen::OnTheRight>(side);
        f.bottomRightCorner(below, below).selfadjointView<Eigen::Lower>().rankUpdate(side, -1.0);
    }
    return true;
}

}  // namespace

CholeskyFactor::CholeskyFactor(const Eigen::SparseMatrix<double>& pattern)
    : pattern_(analyseFactorPattern(pattern)), updateAt_(pattern_.supernodeCount(), 0)
{
    resizeLarge(values_, pattern_.outer.back());
    space_.rows.assign(pattern.cols(), -1);
}

std::optional<int> CholeskyFactor::factorize(const Eigen::SparseMatrix<double>& matrix)
{
    inverted_ = false;
    const std::size_t front = std::size_t(pattern_.largestFront) * std::size_t(pattern_.largestFront);
    if (space_.values.size() < front + pattern_.largestUpdates)
        resizeLarge(space_.values, front + pattern_.largestUpdates);
    updatesTop_ = front;
    bool factorised = true;
    for (int s : pattern_.order) {
        factorised = factorizeFront(s, matrix.valuePtr());
        if (!factorised)
            break;
    }
    std::fill(space_.rows.begin(), space_.rows.end(), -1);
    if (!factorised)
        return firstFailingColumn(matrix).value_or(0);
    // A pivot that survived only as rounding noise: the column is not determined.
    return firstSmallPivot(matrix, [&](int column) { return values_[pattern_.outer[column]]; });
}

SelectedInverse CholeskyFactor::invert(const std::function<void()>& pause)
{
    inverted_ = true;
    return SelectedInverse(SelectedInverse::InPlace{}, pattern_.layout(), values_.data(), space_, pause);
}

Eigen::SparseMatrix<double> CholeskyFactor::factor() const
{
    const FactorLayout layout = pattern_.layout();
    Eigen::SparseMatrix<double> l(layout.columns, layout.columns);
    l.resizeNonZeros(layout.outer[layout.columns]);
    std::copy(layout.outer, layout.outer + layout.columns + 1, l.outerIndexPtr());
    for (int column = 0; column < layout.columns; ++column)
        std::copy(layout.rowsOf(column), layout.rowsOf(column) + layout.count(column),
                  l.innerIndexPtr() + layout.outer[column]);
    std::copy(values_.begin(), values_.end(), l.valuePtr());
    return l;
}

bool CholeskyFactor::factorizeFront(int s, const double* values)
{
    const FactorLayout layout = pattern_.layout();
    const int first = pattern_.supernodeStart[s];
    const int width = pattern_.supernodeStart[s + 1] - first;
    const int rows = layout.count(first);  // the first column's pattern: the front's rows
    const int* frontRows = layout.rowsOf(first);
    int* place = space_.rows.data();
    for (int a = 0; a < rows; ++a)
        place[frontRows[a]] = a;

    // N's columns of the supernode, then the updates of its children.
    Front f(space_.values.data(), rows, rows);
    for (int c = 0; c < rows; ++c)
        std::fill(&f(c, c), &f(0, c) + rows, 0.0);
    for (int c = 0; c < width; ++c)
        for (int q = pattern_.lowerStart[first + c]; q < pattern_.lowerStart[first + c + 1]; ++q)
            f(place[pattern_.lowerRow[q]], c) += values[pattern_.lowerPlace[q]];
    const int firstChild = pattern_.childStart[s];
    const int endChild = pattern_.childStart[s + 1];
    for (int child = firstChild; child < endChild; ++child) {
        const int c = pattern_.children[child];
        const int* childRows = layout.rowsOf(pattern_.supernodeStart[c + 1] - 1) + 1;
        const int count = pattern_.rowsBelow(c);
        const double* u = space_.values.data() + updateAt_[c];
        for (int b = 0; b < count; ++b) {
            double* fb = &f(0, place[childRows[b]]);
            for (int a = b; a < count; ++a)
                fb[place[childRows[a]]] += *u++;
        }
    }
    if (endChild > firstChild)
        updatesTop_ = updateAt_[pattern_.children[firstChild]];

    const bool factorised = long(rows) * rows * width < kBlockedFrom ? factorizeSmallFront(f.data(), rows, width)
                                                                     : factorizeLargeFront(f, width);
    if (!factorised)
        return false;

    for (int c = 0; c < width; ++c)
        std::copy(&f(c, c), &f(0, c) + rows, values_.data() + layout.outer[first + c]);
    const int below = rows - width;
    if (below > 0) {
        updateAt_[s] = updatesTop_;
        double* u = space_.values.data() + updatesTop_;
        for (int b = width; b < rows; ++b)
            u = std::copy(&f(b, b), &f(0, b) + rows, u);
        updatesTop_ += updateSize(below);
    }
    return true;
}

Eigen::VectorXd CholeskyFactor::solve(const Eigen::VectorXd& b) const
{
    if (inverted_)
        throw std::logic_error("the Cholesky factor has been turned into the selected inverse");
    // L y = b column by column, then L' x = y from the last column back.
    const FactorLayout layout = pattern_.layout();
    Eigen::VectorXd x = b;
    for (int j = 0; j < layout.columns; ++j) {
        const double* l = values_.data() + layout.outer[j];
        const int* rows = layout.rowsOf(j);
        x[j] /= l[0];
        for (int q = 1; q < layout.count(j); ++q)
            x[rows[q]] -= l[q] * x[j];
    }
    for (int j = layout.columns - 1; j >= 0; --j) {
        const double* l = values_.data() + layout.outer[j];
        const int* rows = layout.rowsOf(j);
        double sum = x[j];
        for (int q = 1; q < layout.count(j); ++q)
            sum -= l[q] * x[rows[q]];
        x[j] = sum / l[0];
    }
    return x;
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
