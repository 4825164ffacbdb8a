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

}  // namespace

SelectedInverse::SelectedInverse(const Eigen::SparseMatrix<double>& factor, const std::function<void()>& pause)
    : outer_(factor.outerIndexPtr(), factor.outerIndexPtr() + factor.cols() + 1),
      inner_(factor.innerIndexPtr(), factor.innerIndexPtr() + factor.nonZeros()),
      values_(factor.nonZeros(), 0.0)
{
    const int n = int(factor.cols());
    const double* l = factor.valuePtr();
    const int* outer = outer_.data();
    const int* inner = inner_.data();
    double* z = values_.data();
    std::vector<int> placeOfRow(n, -1);  // place of row r among the current column's rows, or -1
    std::vector<double> sum(n, 0.0);     // per place: the sum that gives Z(row, j)

    for (int j = n - 1; j >= 0; --j) {
        if (pause && j % kColumnsBetweenPauses == 0)
            pause();
        const int diagonalAt = outer[j];
        const int first = diagonalAt + 1;
        const int count = outer[j + 1] - first;  // rows below the diagonal
        const double pivot = l[diagonalAt];
        if (count == 0) {
            z[diagonalAt] = 1.0 / (pivot * pivot);
            continue;
        }
        const int* rows = inner + first;
        const double* lj = l + first;
        const int lastRow = rows[count - 1];
        bool placed = false;

        // For each row k of the column (place b): Z(k, k) L(k, j), and every Z(r, k) with r a
        // later row of the column (place a), which serves both sums: Z(r, j) through L(k, j)
        // and Z(k, j) through L(r, j).
        for (int b = 0; b < count; ++b) {
            const int k = rows[b];
            const double lk = lj[b];
            double sumK = z[outer[k]] * lk;
            const int later = count - b - 1;
            const int start = outer[k] + 1;
            if (later > 0 && start + later <= outer[k + 1] && inner[start + later - 1] == lastRow) {
                // Column k holds exactly the later rows of column j next to its diagonal (the
                // columns of a supernode): dense vector operations, no search.
                if (later >= kDenseFrom) {
                    const Eigen::Map<const Eigen::VectorXd> zk(z + start, later);
                    Eigen::Map<Eigen::VectorXd>(sum.data() + b + 1, later) += lk * zk;
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
                        placeOfRow[rows[a]] = a;
                    placed = true;
                }
                for (int q = start; q < outer[k + 1] && inner[q] <= lastRow; ++q) {
                    const int a = placeOfRow[inner[q]];
                    if (a >= 0) {
                        sum[a] += z[q] * lk;
                        sumK += z[q] * lj[a];
                    }
                }
            }
            sum[b] += sumK;
        }

        double diagonal = 1.0 / (pivot * pivot);
        for (int a = 0; a < count; ++a) {
            const double value = -sum[a] / pivot;
            z[first + a] = value;
            diagonal -= value * lj[a] / pivot;
            sum[a] = 0.0;
            if (placed)
                placeOfRow[rows[a]] = -1;
        }
        z[diagonalAt] = diagonal;
    }
}

int SelectedInverse::place(int row, int column) const
{
    if (row < column)
        std::swap(row, column);
    const auto begin = inner_.begin() + outer_[column];
    const auto end = inner_.begin() + outer_[column + 1];
    const auto found = std::lower_bound(begin, end, row);
    if (found == end || *found != row)
        throw std::logic_error("the selected inverse holds no element (" + std::to_string(row) + ", " +
                               std::to_string(column) + ")");
    return int(found - inner_.begin());
}

double SelectedInverse::at(int row, int column) const
{
    return values_[place(row, column)];
}

}  // namespace korvane::analysis
