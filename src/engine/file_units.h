// The engine's file handles ("units"), numbered from 10 upward like the original run-time's.
#pragma once

#include <filesystem>
#include <set>

namespace tarnex {

class UnitTable {
public:
    bool inUse(int unit) const { return used_.count(unit) != 0; }
    void take(int unit) { used_.insert(unit); }
    void release(int unit) { used_.erase(unit); }

private:
    std::set<int> used_;
};

// The name of the probe file FNUNIT creates and deletes at once.
inline constexpr const char* kProbeFileName = "junk##.$$";

// FNUNIT: the lowest handle from 10 upward that is not in use, after checking that a file can
// be created in `folder` by creating the probe file and deleting it again; -1 when the probe
// cannot be created.
int FNUNIT(const UnitTable& units, const std::filesystem::path& folder);

}  // namespace tarnex
