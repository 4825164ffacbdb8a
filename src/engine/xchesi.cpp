#include "xchesi.h"

#include "fixed_fields.h"

#include <algorithm>
#include <cmath>

namespace tarnex {

namespace {

constexpr double kSmallestRoot = 1e-14;

// Sum of x[k] * y[k] over k < count, in four running sums.
double dot(const double* x, const double* y, int count)
{
    double s0 = 0.0;
    double s1 = 0.0;
    double s2 = 0.0;
    double s3 = 0.0;
    int k = 0;
    for (; k + 4 <= count; k += 4) {
        s0 += x[k] * y[k];
        s1 += x[k + 1] * y[k + 1];
        s2 += x[k + 2] * y[k + 2];
        s3 += x[k + 3] * y[k + 3];
    }
    for (; k < count; ++k)
        s0 += x[k] * y[k];
    return (s0 + s1) + (s2 + s3);
}

// Returns the column of a rank defect, or 0.
int factorise(double* a, const Profile& p, Console& console, int singularColumn)
{
    for (int i = 1; i <= p.m; ++i) {
        const int fi = p.first[static_cast<std::size_t>(i)];
        double* rowI = a + p.offset[static_cast<std::size_t>(i)];
        for (int j = fi; j <= i; ++j) {
            const double* rowJ = a + p.offset[static_cast<std::size_t>(j)];
            const int from = std::max(fi, p.first[static_cast<std::size_t>(j)]);
            const double s = rowI[j] - dot(rowI + from, rowJ + from, j - from);
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
        const int from = p.first[static_cast<std::size_t>(i)];
        b[i] = (b[i] - dot(row + from, b + from, i - from)) / row[i];
    }
    for (int i = p.m; i >= 1; --i) {
        const double* row = a + p.offset[static_cast<std::size_t>(i)];
        const double x = b[i] / row[i];
        b[i] = x;
        for (int k = p.first[static_cast<std::size_t>(i)]; k < i; ++k)
            b[k] -= row[k] * x;
    }
}

// One non-zero entry of the copied column: its row, where that row starts, and L(row, i).
struct ColumnEntry {
    int row;
    long rowOffset;
    double value;
};

// Overwrites L with Z = N^-1 at the profile positions, column by column from the last. Only the
// non-zero entries of the copied column enter the sums, so column i costs its profile length
// times its number of non-zeros.
void invert(double* a, const Profile& p)
{
    std::vector<ColumnEntry> nonZero;
    nonZero.reserve(static_cast<std::size_t>(p.m));
    for (int i = p.m; i >= 1; --i) {
        const int* rows = p.columnRows.data() + p.columnStart[static_cast<std::size_t>(i)];
        const long rowCount = p.columnStart[static_cast<std::size_t>(i) + 1] - p.columnStart[static_cast<std::size_t>(i)];
        nonZero.clear();
        for (long r = 0; r < rowCount; ++r) {
            const long offset = p.offset[static_cast<std::size_t>(rows[r])];
            const double value = a[offset + i];
            if (value != 0.0)
                nonZero.push_back({rows[r], offset, value});
        }
        const double d = -1.0 / a[p.at(i, i)];
        for (long r = rowCount - 1; r >= 0; --r) {
            const int j = rows[r];
            double* rowJ = a + p.offset[static_cast<std::size_t>(j)];
            double s = 0.0;
            std::size_t e = 0;
            for (; e < nonZero.size() && nonZero[e].row <= j; ++e)
                s += rowJ[nonZero[e].row] * nonZero[e].value;  // Z(j, k), k <= j
            for (; e < nonZero.size(); ++e)
                s += a[nonZero[e].rowOffset + j] * nonZero[e].value;  // Z(k, j), k > j
            rowJ[i] = d * s;
        }
        double s = d;
        for (const ColumnEntry& entry : nonZero)
            s += a[entry.rowOffset + i] * entry.value;
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
        invert(matrix.data(), profile);
        for (int i = 1; i <= profile.m; ++i)
            diagonal[static_cast<std::size_t>(i)] = matrix[profile.at(i, i)];
    }
    return 0;
}

}  // namespace tarnex
