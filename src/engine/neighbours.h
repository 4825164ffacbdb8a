// Neighbour lists of the levelling network and their checks: which points are joined by at least
// one observation. The lists give the profile of the normal matrix.
#pragma once

#include "channels.h"

#include <vector>

namespace tarnex {

// ORDER: the end points of an observation from its line code (from x 10000 + to).
void ORDER(int& from, int& to, long lineCode);

// Neighbour lists of points 1..m (index 0 unused). A neighbour appears once per list however
// many observations join the two points; an observation from a point to itself puts the point
// once into its own list. The lists are complete even beyond 25 neighbours.
struct NeighbourLists {
    std::vector<std::vector<int>> of;

    int points() const { return static_cast<int>(of.size()) - 1; }
    int count(int point) const { return static_cast<int>(of[static_cast<std::size_t>(point)].size()); }
    const std::vector<int>& at(int point) const { return of[static_cast<std::size_t>(point)]; }
};

// SORTL: builds the lists from the line codes of the observations (index 0 unused) for m points.
NeighbourLists SORTL(const std::vector<long>& lineCodes, int m);

// Check codes reported after "  after reordierror= ".
inline constexpr int kCheckClean = 0;
inline constexpr int kCheckLonelyPoint = 1;
inline constexpr int kCheckCrowdedPoint = 25;

// REORD: checks the counts (a point without neighbours: error 006; a point with more than 25:
// error 007) and returns the check code.
int REORD(const NeighbourLists& lists, Console& console);

// The column at which an exact factorisation meets its first zero pivot because a connected
// group of points holds no known point (known points are 1..knownPoints): the highest point
// number of the group that is completed first. 0 when every group holds a known point.
int firstColumnWithoutDatum(const NeighbourLists& lists, int knownPoints);

}  // namespace tarnex
