// The symbolic analysis of the sparse Cholesky factorisation N = L L' (N given by its upper
// triangle, columns in elimination order), made once per network: the pattern of L, its
// supernodes and the order in which the multifrontal factorisation visits them.
//
// L's pattern comes from the elimination tree (each column's parent is the first row below its
// diagonal): row k of L holds the columns met walking up the tree from the rows of N's column k.
// A supernode is a run of columns each of which has the next as its parent and, below it, that
// column's pattern: together they form one dense block, the front of the multifrontal method.
#pragma once

#include <Eigen/SparseCore>

#include <cstddef>
#include <vector>

namespace korvane::analysis {

struct FactorPattern {
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
};

// Analyses N's pattern and lays out L's pattern in `factor` (compressed columns, the diagonal
// first, rows sorted; its values sized but not set).
FactorPattern analyseFactorPattern(const Eigen::SparseMatrix<double>& upper, Eigen::SparseMatrix<double>& factor);

// Values that the update of a front with `rows` rows below its supernode takes (its lower
// triangle, column by column).
inline std::size_t updateSize(int rows)
{
    return std::size_t(rows) * std::size_t(rows + 1) / 2;
}

}  // namespace korvane::analysis
