#include "profile.h"

#include "engine_limits.h"
#include "fixed_fields.h"

#include <algorithm>

namespace tarnex {

Profile PROFIL(const NeighbourLists& lists, Console& console)
{
    Profile profile;
    const int m = lists.points();
    profile.m = m;
    profile.first.assign(static_cast<std::size_t>(m) + 1, 10000);
    for (int c = 1; c <= m; ++c) {
        for (int q : lists.at(c))
            if (q > c)
                profile.first[static_cast<std::size_t>(q)] = std::min(profile.first[static_cast<std::size_t>(q)], c);
        profile.first[static_cast<std::size_t>(c)] = std::min(profile.first[static_cast<std::size_t>(c)], c);
    }
    profile.offset.assign(static_cast<std::size_t>(m) + 1, 0);
    for (int i = 2; i <= m; ++i)
        profile.offset[static_cast<std::size_t>(i)] =
            profile.offset[static_cast<std::size_t>(i) - 1] + i - profile.first[static_cast<std::size_t>(i)];

    // Column structure: row k lies in columns f(k)..k-1 below their diagonals.
    profile.columnStart.assign(static_cast<std::size_t>(m) + 2, 0);
    for (int k = 1; k <= m; ++k)
        for (int i = profile.first[static_cast<std::size_t>(k)]; i < k; ++i)
            ++profile.columnStart[static_cast<std::size_t>(i) + 1];
    for (int i = 1; i <= m; ++i)
        profile.columnStart[static_cast<std::size_t>(i) + 1] += profile.columnStart[static_cast<std::size_t>(i)];
    profile.columnRows.resize(static_cast<std::size_t>(profile.columnStart[static_cast<std::size_t>(m) + 1]));
    std::vector<long> fill(profile.columnStart.begin(), profile.columnStart.end());
    for (int k = 1; k <= m; ++k)
        for (int i = profile.first[static_cast<std::size_t>(k)]; i < k; ++i)
            profile.columnRows[static_cast<std::size_t>(fill[static_cast<std::size_t>(i)]++)] = k;

    if (profile.storage() > kMaxProfileStorage) {
        console.empty();
        console.write(Record().A(" *** ERROR --- Memory Overflow ! *** maxcor=").I(kMaxProfileStorage, 8));
    }
    return profile;
}

}  // namespace tarnex
