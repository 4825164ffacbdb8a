// The normal equations N x = b of the levelling adjustment, kept sparse.
//
// Built in two steps, as a sparse Cholesky wants them: the symbolic step (once per network)
// orders the unknowns with approximate minimum degree (AMD) to keep the factor's fill small and
// lays out the pattern of N's upper triangle in that order; the numeric step (once per
// adjustment, again after each removal while snooping) fills in the values for the current
// weights. An equation of weight 0 keeps its place in the pattern, so the factor's pattern, and
// with it the cofactors of every observation, stays the same however many are removed.
//
// Unknowns are the heights that are not held; columns are their places in the elimination
// order. Both are 0-based.
#pragma once

#include <Eigen/SparseCore>

#include <span>
#include <vector>

namespace korvane::analysis {

// An observation equation h(to) - h(from) = value, in unknown numbers; -1 stands for a height
// that is held (a fixed known point, or the point that gives a part its datum) or, for `from`,
// for no point at all (a known height observed directly).
struct EquationEnds {
    int from = -1;
    int to = -1;
};

class NormalSystem {
public:
    NormalSystem(int unknowns, std::span<const EquationEnds> equations);

    int size() const { return int(unknownOfColumn_.size()); }
    int columnOf(int unknown) const { return columnOfUnknown_[unknown]; }
    int unknownOf(int column) const { return unknownOfColumn_[column]; }

    // N's upper triangle, columns in elimination order, rows sorted within each column.
    const Eigen::SparseMatrix<double>& matrix() const { return matrix_; }

    // Fills N and b = A' P l for the weights and reduced observations (observed minus
    // approximate value) of the equations, in the order given to the constructor; `rhs` is
    // indexed by column.
    void assemble(std::span<const double> weights, std::span<const double> reduced, Eigen::VectorXd& rhs);

private:
    struct Slots {
        int from = -1;  // N's diagonal at the from-column
        int to = -1;
        int between = -1;  // N's off-diagonal entry of the two columns
    };

    Eigen::SparseMatrix<double> matrix_;
    std::vector<int> columnOfUnknown_;
    std::vector<int> unknownOfColumn_;
    std::vector<EquationEnds> columns_;  // per equation, its ends as columns
    std::vector<Slots> slots_;
};

}  // namespace korvane::analysis
