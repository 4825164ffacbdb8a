// Profile (envelope) storage of the symmetric normal matrix: the lower triangle of row i from its
// first column f(i) to the diagonal, rows one after another in one array.
//
//   f(i)  the smallest of i and the numbers of i's neighbours below i
//   o(1) = 0, o(i) = o(i-1) + i - f(i)
//   element (i, j), f(i) <= j <= i, at position o(i) + j (positions counted from 1)
//   storage S = o(m) + m
#pragma once

#include "channels.h"
#include "neighbours.h"

#include <vector>

namespace tarnex {

struct Profile {
    int m = 0;
    std::vector<int> first;    // f(1..m), index 0 unused
    std::vector<long> offset;  // o(1..m), index 0 unused
    // For the inverse, column by column: the rows k > i with f(k) <= i of column i, ascending,
    // are columnRows[columnStart[i] .. columnStart[i+1]).
    std::vector<long> columnStart;
    std::vector<int> columnRows;

    long storage() const { return m == 0 ? 0 : offset[static_cast<std::size_t>(m)] + m; }
    // Position of element (i, j), f(i) <= j <= i, in an array whose element 0 is unused.
    std::size_t at(int i, int j) const { return static_cast<std::size_t>(offset[static_cast<std::size_t>(i)] + j); }
    bool holds(int i, int j) const { return j >= first[static_cast<std::size_t>(i)] && j <= i; }
};

// PROFIL: the profile of the current numbering from the neighbour lists. When the storage
// exceeds 90000 values it writes the "Memory Overflow" message; the profile is still complete
// (the arrays are sized to what is needed).
Profile PROFIL(const NeighbourLists& lists, Console& console);

}  // namespace tarnex
