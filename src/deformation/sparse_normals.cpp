#include "sparse_normals.h"

#include <Eigen/OrderingMethods>

#include <stdexcept>

namespace korvane::deformation {

SparseNormals::SparseNormals(int unknowns, const std::vector<NormalEntry>& entries)
{
    std::vector<Eigen::Triplet<double>> triplets;
    triplets.reserve(entries.size() + unknowns);
    for (int u = 0; u < unknowns; ++u)
        triplets.emplace_back(u, u, 0.0);
    for (const NormalEntry& e : entries)
        triplets.emplace_back(std::min(e.a, e.b), std::max(e.a, e.b), e.value);
    Eigen::SparseMatrix<double> upper(unknowns, unknowns);
    upper.setFromTriplets(triplets.begin(), triplets.end());

    Eigen::PermutationMatrix<Eigen::Dynamic, Eigen::Dynamic, int> order;
    Eigen::AMDOrdering<int> amd;
    amd(upper.selfadjointView<Eigen::Upper>(), order);  // order.indices()[column] is the unknown there
    columnOf_.assign(unknowns, 0);
    for (int column = 0; column < unknowns; ++column)
        columnOf_[order.indices()[column]] = column;

    for (auto& t : triplets) {
        const int a = columnOf_[t.row()];
        const int b = columnOf_[t.col()];
        t = Eigen::Triplet<double>(std::min(a, b), std::max(a, b), t.value());
    }
    matrix_.resize(unknowns, unknowns);
    matrix_.setFromTriplets(triplets.begin(), triplets.end());  // summed, rows sorted
    matrix_.makeCompressed();
}

std::optional<int> SparseNormals::factorize()
{
    factor_.emplace(matrix_);
    if (const std::optional<int> column = factor_->factorize(matrix_)) {
        const int at = analysis::firstFailingColumn(matrix_).value_or(*column);
        for (int u = 0; u < size(); ++u)
            if (columnOf_[u] == at)
                return u;
        return 0;
    }
    return std::nullopt;
}

Eigen::VectorXd SparseNormals::solve(const Eigen::VectorXd& b) const
{
    if (!factor_)
        throw std::logic_error("the normal equations are not factorised");
    Eigen::VectorXd inColumns(size());
    for (int u = 0; u < size(); ++u)
        inColumns[columnOf_[u]] = b[u];
    const Eigen::VectorXd x = factor_->solve(inColumns);
    Eigen::VectorXd out(size());
    for (int u = 0; u < size(); ++u)
        out[u] = x[columnOf_[u]];
    return out;
}

Eigen::VectorXd SparseNormals::inverseDiagonal()
{
    inverseFactor_.emplace(matrix_);
    if (inverseFactor_->factorize(matrix_))
        throw std::logic_error("the normal equations are not factorised");
    const analysis::SelectedInverse inverse = inverseFactor_->invert();
    Eigen::VectorXd diagonal(size());
    for (int u = 0; u < size(); ++u)
        diagonal[u] = inverse.diagonal(columnOf_[u]);
    inverseFactor_.reset();
    return diagonal;
}

}  // namespace korvane::deformation
