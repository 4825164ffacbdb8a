// The sparse Cholesky factor N = L L' of the normal equations (Eigen's simplicial LLT on the
// matrix already in elimination order). The symbolic analysis (elimination tree, the factor's
// pattern) is made once from N's pattern; each numeric factorisation reuses it.
//
// A factorisation that fails names its column: the first column whose pivot is not positive,
// or is so small against N's diagonal there (below 1e-13 of it) that the height of that column
// is not determined by the observations.
#pragma once

#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>

#include <optional>

namespace korvane::analysis {

class CholeskyFactor {
public:
    // The symbolic analysis of N's pattern (upper triangle, columns in elimination order).
    explicit CholeskyFactor(const Eigen::SparseMatrix<double>& pattern);

    // The numeric factorisation of N (same pattern). Returns the failing column, or nothing.
    std::optional<int> factorize(const Eigen::SparseMatrix<double>& matrix);

    // x = N^-1 b (after a successful factorisation).
    Eigen::VectorXd solve(const Eigen::VectorXd& b) const;

    // L: column-major, rows sorted within each column, the diagonal first.
    const Eigen::SparseMatrix<double>& factor() const;

private:
    using Solver = Eigen::SimplicialLLT<Eigen::SparseMatrix<double>, Eigen::Upper, Eigen::NaturalOrdering<int>>;
    Solver solver_;
};

// The first column of N (upper triangle, elimination order) at which a Cholesky factorisation
// meets a pivot that is not positive or too small, or nothing when there is none. Used only
// after a failure: it factorises leading blocks of N, halving the range each time.
std::optional<int> firstFailingColumn(const Eigen::SparseMatrix<double>& matrix);

}  // namespace korvane::analysis
