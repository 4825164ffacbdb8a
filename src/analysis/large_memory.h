// Room for the large tables of a large network. A table of many megabytes is asked to stand on
// huge pages where the system offers them on request (Linux's transparent huge pages): each
// 2 MB is then mapped at its first use in one step, instead of 512 page faults of 4 KB, and the
// processor keeps far more of the table within reach of its address cache. Smaller tables, and
// systems without such pages, are left as they are.
#pragma once

#include <cstddef>
#include <vector>

namespace korvane::analysis {

// Advises the whole 2 MB pages inside [data, data + bytes) for huge pages; their memory must not
// have been used yet for the advice to take effect at once.
void adviseHugePages(const void* data, std::size_t bytes);

// reserve(), with the advice for the room reserved.
template <class T>
void reserveLarge(std::vector<T>& table, std::size_t count)
{
    table.reserve(count);
    adviseHugePages(table.data(), table.capacity() * sizeof(T));
}

// resize(), the room advised before the new elements are made.
template <class T>
void resizeLarge(std::vector<T>& table, std::size_t count)
{
    reserveLarge(table, count);
    table.resize(count);
}

}  // namespace korvane::analysis
