// A grid-like levelling network for the benchmarks: points on a grid of `columns` x `rows`,
// sections along every row and up every other column (1.5 observations per point), known
// points spread over it on a regular sub-grid (one in about a thousand, half of them held
// fixed, half weighted), grade weighting, distances of 0.3 to 1.5 km, and height differences
// with normal errors of the grade's size.
#pragma once

#include "network.h"

namespace korvane::analysis::bench {

NetworkRows gridNetworkRows(int columns, int rows, unsigned seed = 1);

// The rows as the text of an engine input file (names of up to ten columns).
std::string engineFileText(const NetworkRows& rows);

}  // namespace korvane::analysis::bench
