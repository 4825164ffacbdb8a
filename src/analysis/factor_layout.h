// Where the entries of a sparse Cholesky factor L stand, column by column: column j's values at
// values[outer[j] .. outer[j + 1]), the diagonal first, and their rows, ascending, at
// rows[rowStart[j] ..]. Columns of one supernode share one list of rows (column j + 1's rows are
// column j's without its first), so the rows take far less room than the values.
#pragma once

namespace korvane::analysis {

struct FactorLayout {
    int columns = 0;
    const int* outer = nullptr;
    const int* rowStart = nullptr;
    const int* rows = nullptr;

    int count(int column) const { return outer[column + 1] - outer[column]; }
    const int* rowsOf(int column) const { return rows + rowStart[column]; }
};

}  // namespace korvane::analysis
