#include "normal_system.h"

#include "large_memory.h"

#include <Eigen/OrderingMethods>

#include <algorithm>

namespace korvane::analysis {

namespace {

bool joinsTwoUnknowns(const EquationEnds& ends)
{
    return ends.from >= 0 && ends.to >= 0 && ends.from != ends.to;
}

// The pattern of an upper triangle: per column the rows before it that an equation joins to it,
// sorted and each once, then the column itself. Built straight from the equations in two
// passes over them grouped by their smaller end, which gives every column its rows in order.
class UpperPattern {
public:
    // `number` renumbers the unknowns (nullptr: as they are).
    UpperPattern(int size, std::span<const EquationEnds> equations, const std::vector<int>* number)
        : size_(size), ends_(equations.size())
    {
        std::vector<int> rowStart(size + 2, 0);
        for (std::size_t e = 0; e < equations.size(); ++e) {
            if (!joinsTwoUnknowns(equations[e]))
                continue;
            const int a = number ? (*number)[equations[e].from] : equations[e].from;
            const int b = number ? (*number)[equations[e].to] : equations[e].to;
            ends_[e] = {std::min(a, b), std::max(a, b)};
            ++rowStart[ends_[e].from + 2];
        }
        for (int row = 0; row < size; ++row)
            rowStart[row + 2] += rowStart[row + 1];
        byRow_.resize(rowStart[size + 1]);
        for (std::size_t e = 0; e < equations.size(); ++e)
            if (joinsTwoUnknowns(equations[e]))
                byRow_[rowStart[ends_[e].from + 1]++] = int(e);
        rowStart_ = std::move(rowStart);  // rowStart_[row] .. rowStart_[row + 1] now
    }

    // Fills `outer` (size + 1) and `inner` of the pattern and, when given, per equation the place
    // of its entry between two unknowns (-1 for none). `inner` is sized by `reserve(count)`.
    template <typename ReserveInner>
    void fill(int* outer, ReserveInner reserve, std::vector<int>* between) const
    {
        std::vector<int> lastRow(size_, -1);
        std::fill(outer, outer + size_ + 1, 0);
        forEachEntry(lastRow, [&](int, int column, bool repeated) {
            if (!repeated)
                ++outer[column + 1];
        });
        for (int column = 0; column < size_; ++column)
            outer[column + 1] += outer[column] + 1;  // and the diagonal
        int* inner = reserve(outer[size_]);
        std::vector<int> next(outer, outer + size_);
        if (between)
            between->assign(ends_.size(), -1);
        std::fill(lastRow.begin(), lastRow.end(), -1);
        forEachEntry(lastRow, [&](int e, int column, bool repeated) {
            if (!repeated)
                inner[next[column]++] = ends_[e].from;
            if (between)
                (*between)[e] = next[column] - 1;
        });
        for (int column = 0; column < size_; ++column)
            inner[next[column]] = column;
    }

private:
    template <typename Visit>
    void forEachEntry(std::vector<int>& lastRow, Visit visit) const
    {
        for (int row = 0; row < size_; ++row) {
            for (int at = rowStart_[row]; at < rowStart_[row + 1]; ++at) {
                const int e = byRow_[at];
                const int column = ends_[e].to;
                visit(e, column, lastRow[column] == row);
                lastRow[column] = row;
            }
        }
    }

    int size_;
    std::vector<EquationEnds> ends_;  // per equation: its smaller and larger number
    std::vector<int> rowStart_;
    std::vector<int> byRow_;  // the equations grouped by their smaller number
};

// The elimination order of the unknowns: approximate minimum degree on N's pattern.
std::vector<int> minimumDegreeOrder(int unknowns, std::span<const EquationEnds> equations)
{
    std::vector<int> outer(unknowns + 1);
    std::vector<int> inner;
    UpperPattern(unknowns, equations, nullptr).fill(outer.data(), [&](int count) {
        inner.resize(count);
        return inner.data();
    }, nullptr);
    const std::vector<char> marks(inner.size(), 1);
    const Eigen::Map<const Eigen::SparseMatrix<char, Eigen::ColMajor, int>> pattern(
        unknowns, unknowns, outer.back(), outer.data(), inner.data(), marks.data());
    Eigen::PermutationMatrix<Eigen::Dynamic, Eigen::Dynamic, int> order;
    Eigen::AMDOrdering<int> amd;
    amd(pattern.selfadjointView<Eigen::Upper>(), order);  // order.indices()[column] is the unknown eliminated there
    return {order.indices().data(), order.indices().data() + unknowns};
}

}  // namespace

NormalSystem::NormalSystem(int unknowns, std::span<const EquationEnds> equations)
{
    if (unknowns > 0)
        unknownOfColumn_ = minimumDegreeOrder(unknowns, equations);
    columnOfUnknown_.assign(unknowns, -1);
    for (int column = 0; column < unknowns; ++column)
        columnOfUnknown_[unknownOfColumn_[column]] = column;

    std::vector<int> between;
    matrix_.resize(unknowns, unknowns);
    UpperPattern(unknowns, equations, &columnOfUnknown_).fill(matrix_.outerIndexPtr(), [&](int count) {
        matrix_.resizeNonZeros(count);
        return matrix_.innerIndexPtr();
    }, &between);

    reserveLarge(columns_, equations.size());
    reserveLarge(slots_, equations.size());
    const int* outer = matrix_.outerIndexPtr();
    for (std::size_t e = 0; e < equations.size(); ++e) {
        const EquationEnds& ends = equations[e];
        const EquationEnds inColumns{ends.from >= 0 ? columnOfUnknown_[ends.from] : -1,
                                     ends.to >= 0 ? columnOfUnknown_[ends.to] : -1};
        columns_.push_back(inColumns);
        Slots slots;
        if (inColumns.from != inColumns.to) {  // else no point, or a point to itself: nothing in N
            if (inColumns.from >= 0)
                slots.from = outer[inColumns.from + 1] - 1;  // the diagonal ends its column
            if (inColumns.to >= 0)
                slots.to = outer[inColumns.to + 1] - 1;
            slots.between = between[e];
        }
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
