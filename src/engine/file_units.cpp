#include "file_units.h"

#include <cstdio>
#include <system_error>

namespace tarnex {

int FNUNIT(const UnitTable& units, const std::filesystem::path& folder)
{
    int unit = 10;
    while (units.inUse(unit))
        ++unit;
    const std::filesystem::path probe = folder / kProbeFileName;
    std::FILE* file = std::fopen(probe.c_str(), "wb");
    if (!file)
        return -1;
    std::fclose(file);
    std::error_code ignored;
    std::filesystem::remove(probe, ignored);
    return unit;
}

}  // namespace tarnex
