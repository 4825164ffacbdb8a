#include "selected_inverse.h"

#include <Eigen/Core>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace korvane::analysis {

namespace {

constexpr int kColumnsBetweenPauses = 4096;
// From this many rows on, the dense vector operations of Eigen beat a plain loop.
constexpr int kDenseFrom = 16;
// A supernode is inverted as dense blocks from this many columns on, or from this many rows
// below it; a smaller one column by column.
constexpr int kBlockFromColumns = 2;
constexpr int kBlockFromRows = 32;
// Supernodes wider than this are cut into panels of this many columns: the diagonal block of a
// panel costs its width cubed.
constexpr int kPanelColumns = 32;

using Matrix = Eigen::Map<Eigen::MatrixXd>;

// Where each panel of the factor starts: a run of at most kPanelColumns columns (of a
// supernode) in which each column's pattern below its diagonal is the next column and that
// column's pattern. Ends with the column count.
std::vector<int> panelStarts(const FactorLayout& layout)
{
    std::vector<int> starts;
    for (int j = 0; j < layout.columns; ++j) {
        const bool continues = j > 0 && j - starts.back() < kPanelColumns &&
                               layout.count(j - 1) == layout.count(j) + 1 && layout.rowsOf(j - 1)[1] == j;
        if (!continues)
            starts.push_back(j);
    }
    starts.push_back(layout.columns);
    return starts;
}

class Inversion {
public:
    // L is read from `l` and Z written to `z`, which may be the same place.
    Inversion(const FactorLayout& layout, const double* l, double* z, const std::vector<int>& starts,
              InversionSpace& space)
        : layout_(layout), outer_(layout.outer), l_(l), z_(z), placeOfRow_(space.rows)
    {
        const int n = layout.columns;
        std::size_t largest = 0;
        int longest = 0;
        for (std::size_t s = 0; s + 1 < starts.size(); ++s) {
            const std::size_t w = starts[s + 1] - starts[s];
            const std::size_t r = layout.count(starts[s + 1] - 1) - 1;
            largest = std::max(largest, 3 * w * w + 2 * r * w + r * r);
            longest = std::max(longest, layout.count(starts[s]));
        }
        if (space.values.size() < largest + longest)
            space.values.resize(largest + longest);
        work_ = space.values.data();
        sum_ = work_ + largest;
        std::fill(sum_, sum_ + longest, 0.0);
        if (int(placeOfRow_.size()) < n)
            placeOfRow_.assign(n, -1);
    }

    // Columns [first, end) of one panel.
    void panel(int first, int end)
    {
        const int width = end - first;
        const int rows = layout_.count(end - 1) - 1;  // below the panel
        if (width >= kBlockFromColumns || rows >= kBlockFromRows) {
            blocks(first, width, rows);
            return;
        }
        for (int j = end - 1; j >= first; --j)
            column(j);
    }

private:
    // One column: for each row k of the column (place b), Z(k, k) L(k, j), and every Z(r, k)
    // with r a later row of the column (place a), which serves both sums: Z(r, j) through
    // L(k, j) and Z(k, j) through L(r, j).
    void column(int j)
    {
        const int diagonalAt = outer_[j];
        const int first = diagonalAt + 1;
        const int count = outer_[j + 1] - first;  // rows below the diagonal
        const double pivot = l_[diagonalAt];
        double* z = z_;
        if (count == 0) {
            z[diagonalAt] = 1.0 / (pivot * pivot);
            return;
        }
        const int* rows = layout_.rowsOf(j) + 1;
        const double* lj = l_ + first;
        const int lastRow = rows[count - 1];
        double* sum = sum_;
        bool placed = false;
        for (int b = 0; b < count; ++b) {
            const int k = rows[b];
            const double lk = lj[b];
            double sumK = z[outer_[k]] * lk;
            const int later = count - b - 1;
            const int start = outer_[k] + 1;  // Z's values below the diagonal of column k
            const int* kRows = layout_.rowsOf(k) + 1;
            const int kCount = layout_.count(k) - 1;
            if (later > 0 && later <= kCount && kRows[later - 1] == lastRow) {
                // Column k holds exactly the later rows of column j next to its diagonal.
                if (later >= kDenseFrom) {
                    const Eigen::Map<const Eigen::VectorXd> zk(z + start, later);
                    Eigen::Map<Eigen::VectorXd>(sum + b + 1, later) += lk * zk;
                    sumK += zk.dot(Eigen::Map<const Eigen::VectorXd>(lj + b + 1, later));
                } else {
                    for (int t = 0; t < later; ++t) {
                        sum[b + 1 + t] += z[start + t] * lk;
                        sumK += z[start + t] * lj[b + 1 + t];
                    }
                }
            } else if (later > 0) {
                if (!placed) {
                    for (int a = 0; a < count; ++a)
                        placeOfRow_[rows[a]] = a;
                    placed = true;
                }
                for (int t = 0; t < kCount && kRows[t] <= lastRow; ++t) {
                    const int a = placeOfRow_[kRows[t]];
                    if (a >= 0) {
                        sum[a] += z[start + t] * lk;
                        sumK += z[start + t] * lj[a];
                    }
                }
            }
            sum[b] += sumK;
        }
        double diagonal = 1.0 / (pivot * pivot);
        for (int a = 0; a < count; ++a) {
            const double value = -sum[a] / pivot;
            diagonal -= value * lj[a] / pivot;
            z[first + a] = value;  // may overwrite lj[a]
            sum[a] = 0.0;
            if (placed)
                placeOfRow_[rows[a]] = -1;
        }
        z[diagonalAt] = diagonal;
    }

    // A panel J of `width` columns over the rows R below it, as dense blocks: with
    // U = L(R,J) L(J,J)^-1,
    //   Z(R, J) = -Z(R, R) U
    //   Z(J, J) = L(J,J)^-T L(J,J)^-1 - U' Z(R, J)
    // Z(R, R) lies in the pattern of later columns (R is a clique of the factor's graph).
    void blocks(int first, int width, int rows)
    {
        used_ = 0;
        Matrix ljj = take(width, width);
        Matrix linv = take(width, width);
        Matrix u = take(rows, width);
        Matrix zrr = take(rows, rows);
        Matrix zrj = take(rows, width);
        Matrix zjj = take(width, width);
        for (int c = 0; c < width; ++c) {
            const double* lc = l_ + outer_[first + c];
            for (int r = c; r < width; ++r)
                ljj(r, c) = lc[r - c];
            std::copy(lc + width - c, lc + width - c + rows, u.data() + std::size_t(c) * rows);  // none when rows is 0
        }
        const int* below = layout_.rowsOf(first + width - 1) + 1;
        gather(below, rows, zrr);

        linv.setIdentity();
        ljj.triangularView<Eigen::Lower>().solveInPlace(linv);
        zjj.noalias() = linv.transpose() * linv;
        if (rows > 0) {  // Eigen's product kernels divide by the sizes: nothing below, nothing to do
            ljj.triangularView<Eigen::Lower>().solveInPlace<Eigen::OnTheRight>(u);
            zrj.noalias() = zrr.selfadjointView<Eigen::Lower>() * u;
            zrj = -zrj;
            zjj.noalias() -= u.transpose() * zrj;
        }

        for (int c = 0; c < width; ++c) {
            double* zc = z_ + outer_[first + c];
            for (int r = c; r < width; ++r)
                zc[r - c] = zjj(r, c);
            const double* zrjc = zrj.data() + std::size_t(c) * rows;
            std::copy(zrjc, zrjc + rows, zc + width - c);
        }
    }

    // Z(R, R)'s lower triangle from the columns of the rows R.
    void gather(const int* r, int rows, Matrix& zrr) const
    {
        for (int a = 0; a < rows; ++a) {
            const int k = r[a];
            const double* zk = z_ + outer_[k];
            zrr(a, a) = zk[0];
            const int later = rows - a - 1;
            if (later == 0)
                continue;
            const int* ks = layout_.rowsOf(k) + 1;
            const int* end = ks + layout_.count(k) - 1;
            if (ks + later <= end && ks[later - 1] == r[rows - 1]) {
                std::copy(zk + 1, zk + 1 + later, &zrr(a + 1, a));  // column k starts with them
                continue;
            }
            const int* q = ks;
            for (int b = a + 1; b < rows; ++b) {
                while (*q < r[b])
                    ++q;
                zrr(b, a) = zk[1 + (q - ks)];
            }
        }
    }

    // The next block of the work space (large enough for the largest panel).
    Matrix take(int rows, int columns)
    {
        double* at = work_ + used_;
        used_ += std::size_t(rows) * std::size_t(columns);
        return Matrix(at, rows, columns);
    }

    const FactorLayout& layout_;
    const int* outer_;
    const double* l_;
    double* z_;
    std::vector<int>& placeOfRow_;  // place of row r among the current column's rows, or -1
    double* work_ = nullptr;        // the dense blocks of one panel
    double* sum_ = nullptr;         // per place: the sum that gives Z(row, j)
    std::size_t used_ = 0;
};

}  // namespace

SelectedInverse::SelectedInverse(const Eigen::SparseMatrix<double>& factor, const std::function<void()>& pause)
    : own_(factor.valuePtr(), factor.valuePtr() + factor.nonZeros()), values_(own_.data())
{
    // The layout's arrays: outer, then rowStart (the same as outer here), then the rows.
    const int n = int(factor.cols());
    ownPattern_.reserve(2 * (n + 1) + factor.nonZeros());
    ownPattern_.assign(factor.outerIndexPtr(), factor.outerIndexPtr() + n + 1);
    ownPattern_.insert(ownPattern_.end(), factor.outerIndexPtr(), factor.outerIndexPtr() + n + 1);
    ownPattern_.insert(ownPattern_.end(), factor.innerIndexPtr(), factor.innerIndexPtr() + factor.nonZeros());
    layout_ = {n, ownPattern_.data(), ownPattern_.data() + n + 1, ownPattern_.data() + 2 * (n + 1)};
    InversionSpace space;
    invert(space, pause);
}

SelectedInverse::SelectedInverse(InPlace, const FactorLayout& layout, double* values, InversionSpace& space,
                                 const std::function<void()>& pause)
    : layout_(layout), values_(values)
{
    invert(space, pause);
}

void SelectedInverse::invert(InversionSpace& space, const std::function<void()>& pause)
{
    const std::vector<int> starts = panelStarts(layout_);
    Inversion inversion(layout_, values_, values_, starts, space);
    int nextPause = layout_.columns - kColumnsBetweenPauses;
    for (std::size_t s = starts.size() - 1; s-- > 0;) {
        if (pause && starts[s] <= nextPause) {
            pause();
            nextPause = starts[s] - kColumnsBetweenPauses;
        }
        inversion.panel(starts[s], starts[s + 1]);
    }
}

int SelectedInverse::place(int row, int column) const
{
    if (row < column)
        std::swap(row, column);
    const int* begin = layout_.rowsOf(column);
    const int* end = begin + layout_.count(column);
    const int* found = std::lower_bound(begin, end, row);
    if (found == end || *found != row)
        throw std::logic_error("the selected inverse holds no element (" + std::to_string(row) + ", " +
                               std::to_string(column) + ")");
    return layout_.outer[column] + int(found - begin);
}

double SelectedInverse::at(int row, int column) const
{
    return values_[place(row, column)];
}

}  // namespace korvane::analysis
