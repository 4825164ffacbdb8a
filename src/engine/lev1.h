// LEV1: the least-squares adjustment of the levelling network in the work file level.inp.
// Every point height is an unknown; known points enter as weighted observations of their own
// heights. Writes the report "level.out", the dump "level.dmp" and the adjustment's console
// lines, and ends with " normal end O.K".
#pragma once

#include "channels.h"

#include <filesystem>
#include <string_view>

namespace tarnex {

inline constexpr const char* kReportFileName = "level.out";
inline constexpr const char* kDumpFileName = "level.dmp";
inline constexpr const char* kObservationScratchName = "temp.dat";

// Reads `folder`/level.inp; `inputFileName` is shown in the report heading (cut to 40).
// Returns the exit status of the normal end; stops throw EngineStop.
int LEV1(const std::filesystem::path& folder, std::string_view inputFileName, Console& console);

}  // namespace tarnex
