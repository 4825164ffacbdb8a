// The sparse Cholesky factor N = L L' of the normal equations (N already in elimination order),
// made by the multifrontal method: the columns of each supernode (factor_pattern.h) are
// factorised together as one dense front, with Eigen's dense Cholesky, triangular solve and
// rank update, and the front's update goes on to its parent's front. The symbolic analysis is
// made once from N's pattern; each numeric factorisation reuses it.
//
// A factorisation that fails names its column: the first column whose pivot is not positive,
// or is so small against N's diagonal there (below 1e-13 of it) that the height of that column
// is not determined by the observations.
#pragma once

#include "factor_pattern.h"
#include "selected_inverse.h"

#include <Eigen/SparseCore>

#include <optional>
#include <vector>

namespace korvane::analysis {

class CholeskyFactor {
public:
    // The symbolic analysis of N's pattern (upper triangle, columns in elimination order).
    explicit CholeskyFactor(const Eigen::SparseMatrix<double>& pattern);

    // The numeric factorisation of N (same pattern). Returns the failing column, or nothing.
    std::optional<int> factorize(const Eigen::SparseMatrix<double>& matrix);

    // x = N^-1 b (after a successful factorisation, before invert()).
    Eigen::VectorXd solve(const Eigen::VectorXd& b) const;

    // A copy of L: column-major, rows sorted within each column, the diagonal first.
    Eigen::SparseMatrix<double> factor() const;

    // Turns the factor into the selected inverse in its own place, with the factorisation's
    // scratch space; solve() refuses until the next factorisation.
    SelectedInverse invert(const std::function<void()>& pause = {});

private:
    // Factorises one supernode's front; false when a pivot is not positive.
    bool factorizeFront(int s, const double* values);

    FactorPattern pattern_;
    std::vector<double> values_;  // L's, as pattern_.layout() places them
    // The current front, then the updates that wait for their parent (a stack); per row of the
    // current front, its place there.
    InversionSpace space_;
    std::vector<std::size_t> updateAt_;  // per supernode, where its update stands
    std::size_t updatesTop_ = 0;
    bool inverted_ = false;
};

// The first column of N (upper triangle, elimination order) at which a Cholesky factorisation
// meets a pivot that is not positive or too small, or nothing when there is none. Used only
// after a failure: it factorises leading blocks of N, halving the range each time.
std::optional<int> firstFailingColumn(const Eigen::SparseMatrix<double>& matrix);

}  // namespace korvane::analysis
