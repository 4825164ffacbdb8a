// The symbolic analysis of the sparse Cholesky factorisation N = L L' (N given by its upper
// triangle, columns in elimination order), made once per network: the pattern of L, its
// supernodes and the order in which the multifrontal factorisation visits them.
//
// The elimination tree (each column's parent is the first row below its diagonal) gives the
// number of entries of each column: row k of L holds the columns met walking up the tree from
// the rows of N's column k. A supernode is a run of columns each of which has the next as its
// parent and, below it, that column's pattern: together they form one dense block, the front of
// the multifrontal method. A supernode's rows below it are those of N's entries in its columns
// and of its children's rows below them, beyond its own columns.
#pragma once

#include "factor_layout.h"

#include <Eigen/SparseCore>

#include <cstddef>
#include <vector>

namespace korvane::analysis {

struct FactorPattern {
    // L's layout (factor_layout.h).
    std::vector<int> outer;
    std::vector<int> rowStart;
    std::vector<int> rows;

    // Per supernode: its first column (then the column count), its parent supernode (the one
    // holding the first row below it) or -1, and its children.
    std::vector<int> supernodeStart;
    std::vector<int> parentSupernode;
    std::vector<int> childStart;  // children of s: children[childStart[s] .. childStart[s + 1])
    std::vector<int> children;
    std::vector<int> order;  // the supernodes, each after its children and every subtree in one run

    // N's lower triangle by columns: for column j, the rows i >= j of N(i, j) and the places of
    // those entries among N's stored values (upper triangle, so N(j, i) in column i).
    std::vector<int> lowerStart;
    std::vector<int> lowerRow;
    std::vector<int> lowerPlace;

    int largestFront = 0;              // rows of the largest supernode's front
    std::size_t largestUpdates = 0;    // values that the waiting updates of fronts need at most

    int supernodeCount() const { return int(supernodeStart.size()) - 1; }
    FactorLayout layout() const { return {int(rowStart.size()), outer.data(), rowStart.data(), rows.data()}; }
    // Rows below supernode s.
    int rowsBelow(int s) const
    {
        const int last = supernodeStart[s + 1] - 1;
        return outer[last + 1] - outer[last] - 1;
    }
};

FactorPattern analyseFactorPattern(const Eigen::SparseMatrix<double>& upper);

// Values that the update of a front with `rows` rows below its supernode takes (its lower
// triangle, column by column).
inline std::size_t updateSize(int rows)
{
    return std::size_t(rows) * std::size_t(rows + 1) / 2;
}

}  // namespace korvane::analysis
