#include "normal_system.h"

#include <Eigen/OrderingMethods>

#include <algorithm>
#include <numeric>

namespace korvane::analysis {

namespace {

bool joinsTwoUnknowns(const EquationEnds& ends)
{
    return ends.from >= 0 && ends.to >= 0 && ends.from != ends.to;
}

// The elimination order of the unknowns: approximate minimum degree on N's pattern.
std::vector<int> minimumDegreeOrder(int unknowns, std::span<const EquationEnds> equations)
{
    std::vector<Eigen::Triplet<double, int>> entries;
    entries.reserve(unknowns + 2 * equations.size());
    for (int i = 0; i < unknowns; ++i)
        entries.emplace_back(i, i, 1.0);
    for (const EquationEnds& ends : equations) {
        if (joinsTwoUnknowns(ends)) {
            entries.emplace_back(ends.from, ends.to, 1.0);
            entries.emplace_back(ends.to, ends.from, 1.0);
        }
    }
    Eigen::SparseMatrix<double, Eigen::ColMajor, int> pattern(unknowns, unknowns);
    pattern.setFromTriplets(entries.begin(), entries.end());
    Eigen::PermutationMatrix<Eigen::Dynamic, Eigen::Dynamic, int> order;
    Eigen::AMDOrdering<int> amd;
    amd(pattern, order);  // order.indices()[column] is the unknown eliminated at that column
    return {order.indices().data(), order.indices().data() + unknowns};
}

// The place of entry (row, column) among N's stored values.
int slotOf(const Eigen::SparseMatrix<double>& matrix, int row, int column)
{
    const int* rows = matrix.innerIndexPtr();
    const int* begin = rows + matrix.outerIndexPtr()[column];
    const int* end = rows + matrix.outerIndexPtr()[column + 1];
    return int(std::lower_bound(begin, end, row) - rows);
}

}  // namespace

NormalSystem::NormalSystem(int unknowns, std::span<const EquationEnds> equations)
{
    if (unknowns > 0)
        unknownOfColumn_ = minimumDegreeOrder(unknowns, equations);
    columnOfUnknown_.assign(unknowns, -1);
    for (int column = 0; column < unknowns; ++column)
        columnOfUnknown_[unknownOfColumn_[column]] = column;

    columns_.reserve(equations.size());
    std::vector<Eigen::Triplet<double, int>> entries;
    entries.reserve(unknowns + equations.size());
    for (int i = 0; i < unknowns; ++i)
        entries.emplace_back(i, i, 0.0);
    for (const EquationEnds& ends : equations) {
        const EquationEnds inColumns{ends.from >= 0 ? columnOfUnknown_[ends.from] : -1,
                                     ends.to >= 0 ? columnOfUnknown_[ends.to] : -1};
        columns_.push_back(inColumns);
        if (joinsTwoUnknowns(inColumns))
            entries.emplace_back(std::min(inColumns.from, inColumns.to), std::max(inColumns.from, inColumns.to), 0.0);
    }
    matrix_.resize(unknowns, unknowns);
    matrix_.setFromTriplets(entries.begin(), entries.end());  // compressed, rows sorted
    matrix_.makeCompressed();

    slots_.reserve(columns_.size());
    for (const EquationEnds& ends : columns_) {
        Slots slots;
        if (ends.from == ends.to) {  // no point, or a point to itself: the equation adds nothing to N
            slots_.push_back(slots);
            continue;
        }
        if (ends.from >= 0)
            slots.from = slotOf(matrix_, ends.from, ends.from);
        if (ends.to >= 0)
            slots.to = slotOf(matrix_, ends.to, ends.to);
        if (joinsTwoUnknowns(ends))
            slots.between = slotOf(matrix_, std::min(ends.from, ends.to), std::max(ends.from, ends.to));
        slots_.push_back(slots);
    }
}

void NormalSystem::assemble(std::span<const double> weights, std::span<const double> reduced, Eigen::VectorXd& rhs)
{
    double* values = matrix_.valuePtr();
    std::fill(values, values + matrix_.nonZeros(), 0.0);
    rhs.setZero(size());
    for (std::size_t e = 0; e < slots_.size(); ++e) {
        const Slots& slots = slots_[e];
        const double p = weights[e];
        const double pl = p * reduced[e];
        if (slots.from >= 0) {
            values[slots.from] += p;
            rhs[columns_[e].from] -= pl;
        }
        if (slots.to >= 0) {
            values[slots.to] += p;
            rhs[columns_[e].to] += pl;
        }
        if (slots.between >= 0)
            values[slots.between] -= p;
    }
}

}  // namespace korvane::analysis
