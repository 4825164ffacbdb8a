// Large tables ask for huge pages: where the system gives them on request, a table of many
// megabytes must come to stand on them; a small one and odd ranges are left alone.
#include "large_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using korvane::analysis::adviseHugePages;
using korvane::analysis::reserveLarge;

std::string hugePageMode()
{
    std::ifstream file("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string text;
    std::getline(file, text);
    return text;
}

// kB of the process's anonymous memory on huge pages within the mapping that holds `address`.
long hugePagesAround(const void* address)
{
    std::ifstream maps("/proc/self/smaps");
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    bool inside = false;
    for (std::string line; std::getline(maps, line);) {
        std::uintptr_t begin = 0;
        std::uintptr_t end = 0;
        char dash = 0;
        std::istringstream range(line);
        if (range >> std::hex >> begin >> dash >> end && dash == '-') {
            inside = begin <= at && at < end;
            continue;
        }
        if (inside && line.rfind("AnonHugePages:", 0) == 0)
            return std::stol(line.substr(14));
    }
    return -1;
}

TEST(LargeMemory, ALargeTableStandsOnHugePagesWhereTheSystemGivesThemOnRequest)
{
    const std::string mode = hugePageMode();
    if (mode.find("[madvise]") == std::string::npos && mode.find("[always]") == std::string::npos)
        GTEST_SKIP() << "this system gives no huge pages on request (" << mode << ")";

    std::vector<double> table;
    reserveLarge(table, std::size_t(12) << 20);  // 96 MB: whole 2 MB pages inside for sure
    table.resize(table.capacity(), 1.0);
    EXPECT_GE(hugePagesAround(table.data() + table.size() / 2), 2048);
    double sum = 0.0;
    for (std::size_t i = 0; i < table.size(); i += 4096)
        sum += table[i];
    EXPECT_EQ(sum, double(table.size() / 4096));
}

TEST(LargeMemory, SmallAndEmptyRangesAreLeftAsTheyAre)
{
    std::vector<int> small;
    reserveLarge(small, 100);
    small.assign(100, 7);
    EXPECT_EQ(small.capacity(), 100u);
    adviseHugePages(nullptr, 0);
    adviseHugePages(small.data() + 1, 3);
    EXPECT_EQ(small[99], 7);
}

}  // namespace
