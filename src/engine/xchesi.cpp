#include "xchesi.h"

#include "fixed_fields.h"

#include <algorithm>
#include <cmath>

namespace tarnex {

namespace {

constexpr double kSmallestRoot = 1e-14;

// Returns the column of a rank defect, or 0.
int factorise(double* a, const Profile& p, Console& console, int singularColumn)
{
    for (int i = 1; i <= p.m; ++i) {
        const int fi = p.first[static_cast<std::size_t>(i)];
        double* rowI = a + p.offset[static_cast<std::size_t>(i)];
        for (int j = fi; j <= i; ++j) {
            const double* rowJ = a + p.offset[static_cast<std::size_t>(j)];
            double s = rowI[j];
            for (int k = std::max(fi, p.first[static_cast<std::size_t>(j)]); k < j; ++k)
                s -= rowI[k] * rowJ[k];
            if (j < i) {
                rowI[j] = s / rowJ[j];
            } else if (i == singularColumn || s <= 0.0 || std::sqrt(s) <= kSmallestRoot) {
                console.write(Record().X(5).A("***  F  RANGDEFEKT IM GLEICHUNGSSYSTEM SPALTE=").I(i, 5));
                return i;
            } else {
                rowI[i] = std::sqrt(s);
            }
        }
    }
    return 0;
}

void solve(const double* a, const Profile& p, double* b)
{
    for (int i = 1; i <= p.m; ++i) {
        const double* row = a + p.offset[static_cast<std::size_t>(i)];
        double s = b[i];
        for (int k = p.first[static_cast<std::size_t>(i)]; k < i; ++k)
            s -= row[k] * b[k];
        b[i] = s / row[i];
    }
    for (int i = p.m; i >= 1; --i) {
        const double* row = a + p.offset[static_cast<std::size_t>(i)];
        const double x = b[i] / row[i];
        b[i] = x;
        for (int k = p.first[static_cast<std::size_t>(i)]; k < i; ++k)
            b[k] -= row[k] * x;
    }
}

// Overwrites L with Z = N^-1 at the profile positions, column by column from the last. Only the
// non-zero entries of the copied column enter the sums.
void invert(double* a, const Profile& p, double* work)
{
    std::vector<int> nonZero;
    nonZero.reserve(static_cast<std::size_t>(p.m));
    for (int i = p.m; i >= 1; --i) {
        const int* rows = p.columnRows.data() + p.columnStart[static_cast<std::size_t>(i)];
        const long rowCount = p.columnStart[static_cast<std::size_t>(i) + 1] - p.columnStart[static_cast<std::size_t>(i)];
        nonZero.clear();
        for (long r = 0; r < rowCount; ++r) {
            const double value = a[p.at(rows[r], i)];
            if (value != 0.0) {
                nonZero.push_back(rows[r]);
                work[rows[r]] = value;
            }
        }
        const double d = -1.0 / a[p.at(i, i)];
        for (long r = rowCount - 1; r >= 0; --r) {
            const int j = rows[r];
            const double* rowJ = a + p.offset[static_cast<std::size_t>(j)];
            double s = 0.0;
            for (int k : nonZero)
                s += (k <= j ? rowJ[k] : a[p.at(k, j)]) * work[k];
            a[p.at(j, i)] = d * s;
        }
        double s = d;
        for (int k : nonZero)
            s += a[p.at(k, i)] * work[k];
        a[p.at(i, i)] = d * s;
    }
}

}  // namespace

int XCHESI(std::vector<double>& matrix, std::vector<double>& diagonal, const Profile& profile,
           std::vector<double>& rhs, int mode, Console& console, int singularColumn)
{
    diagonal.resize(static_cast<std::size_t>(profile.m) + 1);
    const int defect = factorise(matrix.data(), profile, console, singularColumn);
    if (defect != 0)
        return defect;
    if (mode <= 0)
        solve(matrix.data(), profile, rhs.data());
    if (mode >= 0) {
        invert(matrix.data(), profile, diagonal.data());
        for (int i = 1; i <= profile.m; ++i)
            diagonal[static_cast<std::size_t>(i)] = matrix[profile.at(i, i)];
    }
    return 0;
}

}  // namespace tarnex
