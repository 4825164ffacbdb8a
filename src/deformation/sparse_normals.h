// Normal equations of any sparse least-squares model, solved with the analysis's multifrontal
// Cholesky factor: the unknowns are ordered by approximate minimum degree, N is factorised once,
// and the factor gives solutions (N^-1 b for any b) and the diagonal of N^-1 through the selected
// inverse. Unknowns held for a datum are simply left out by the caller.
#pragma once

#include "cholesky_factor.h"

#include <Eigen/Core>
#include <Eigen/SparseCore>

#include <optional>
#include <vector>

namespace korvane::deformation {

struct NormalEntry {
    int a = 0;  // unknowns; (a, b) and (b, a) are the same entry, and repeated entries add up
    int b = 0;
    double value = 0.0;
};

class SparseNormals {
public:
    // N of `unknowns` unknowns from its entries; every unknown gets a diagonal entry.
    SparseNormals(int unknowns, const std::vector<NormalEntry>& entries);

    int size() const { return int(columnOf_.size()); }

    // Factorises N; gives the first unknown (in elimination order) whose height the model does
    // not determine, or nothing.
    std::optional<int> factorize();

    // x = N^-1 b, both indexed by unknown (after a successful factorize()).
    Eigen::VectorXd solve(const Eigen::VectorXd& b) const;

    // The diagonal of N^-1 by unknown, from the selected inverse of a second factorisation (the
    // first stays for solve()).
    Eigen::VectorXd inverseDiagonal();

private:
    std::vector<int> columnOf_;  // per unknown, its column in elimination order
    Eigen::SparseMatrix<double> matrix_;  // upper triangle, elimination order
    std::optional<analysis::CholeskyFactor> factor_;
    std::optional<analysis::CholeskyFactor> inverseFactor_;
};

}  // namespace korvane::deformation
