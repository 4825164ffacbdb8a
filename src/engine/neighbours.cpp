#include "neighbours.h"

#include "engine_limits.h"

#include <algorithm>

namespace tarnex {

namespace {

void appendOnce(std::vector<int>& list, int point)
{
    if (std::find(list.begin(), list.end(), point) == list.end())
        list.push_back(point);
}

}  // namespace

void ORDER(int& from, int& to, long lineCode)
{
    from = static_cast<int>(lineCode / 10000);
    to = static_cast<int>(lineCode % 10000);
}

NeighbourLists SORTL(const std::vector<long>& lineCodes, int m)
{
    NeighbourLists lists;
    lists.of.resize(static_cast<std::size_t>(m) + 1);
    for (std::size_t l = 1; l < lineCodes.size(); ++l) {
        int from = 0;
        int to = 0;
        ORDER(from, to, lineCodes[l]);
        appendOnce(lists.of[static_cast<std::size_t>(from)], to);
        appendOnce(lists.of[static_cast<std::size_t>(to)], from);
    }
    return lists;
}

int REORD(const NeighbourLists& lists, Console& console)
{
    int smallest = kMaxNeighbours;
    int largest = 0;
    for (int point = 1; point <= lists.points(); ++point) {
        smallest = std::min(smallest, lists.count(point));
        largest = std::max(largest, lists.count(point));
    }
    int check = kCheckClean;
    if (lists.points() > 0 && smallest < 1) {
        console.empty();
        console.write(" *** ERROR 006 --- Linked Node < 1 *** ");
        check = kCheckLonelyPoint;
    }
    if (largest > kMaxNeighbours) {
        console.empty();
        console.write(" *** ERROR 007 --- Linked Node > 25 *** ");
        check = kCheckCrowdedPoint;
    }
    return check;
}

int firstColumnWithoutDatum(const NeighbourLists& lists, int knownPoints)
{
    const int m = lists.points();
    std::vector<int> group(static_cast<std::size_t>(m) + 1, 0);
    std::vector<int> pending;
    int column = 0;
    for (int start = 1; start <= m; ++start) {
        if (group[static_cast<std::size_t>(start)] != 0)
            continue;
        group[static_cast<std::size_t>(start)] = start;
        pending.assign(1, start);
        int highest = start;
        bool hasKnownPoint = false;
        while (!pending.empty()) {
            const int point = pending.back();
            pending.pop_back();
            highest = std::max(highest, point);
            hasKnownPoint = hasKnownPoint || point <= knownPoints;
            for (int next : lists.at(point)) {
                if (group[static_cast<std::size_t>(next)] == 0) {
                    group[static_cast<std::size_t>(next)] = start;
                    pending.push_back(next);
                }
            }
        }
        if (!hasKnownPoint && (column == 0 || highest < column))
            column = highest;
    }
    return column;
}

}  // namespace tarnex
