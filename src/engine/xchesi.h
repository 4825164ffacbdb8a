// XCHESI: Cholesky factorisation N = L L^T inside the profile, solution of N x = b, and the
// elements of the inverse Z = N^-1 at every profile position, all in the one profile array.
#pragma once

#include "channels.h"
#include "profile.h"

#include <vector>

namespace tarnex {

// Modes: 0 factorise, solve and invert; above 0 factorise and invert; below 0 factorise and solve.
inline constexpr int kSolveAndInvert = 0;

// `matrix` holds N at the profile positions (element 0 unused) and becomes Z; `rhs` (index 0
// unused) holds b and becomes x; `diagonal` receives Z(i,i).
// A pivot s <= 0 or with sqrt(s) <= 1e-14 is a rank defect, and so is the diagonal of
// `singularColumn` (when not 0: where a group of points without a known point is completed).
// A rank defect writes its console message and returns its column; the arrays are then left
// as they stand. Returns 0 after success.
int XCHESI(std::vector<double>& matrix, std::vector<double>& diagonal, const Profile& profile,
           std::vector<double>& rhs, int mode, Console& console, int singularColumn = 0);

}  // namespace tarnex
