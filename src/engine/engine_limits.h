// The engine's capacities.
#pragma once

#include <cstddef>

namespace tarnex {

inline constexpr int kMaxKnownPoints = 200;
inline constexpr int kMaxPoints = 1500;
inline constexpr int kMaxObservations = 2000;
inline constexpr int kMaxNeighbours = 25;
inline constexpr long kMaxProfileStorage = 90000;  // "maxcor"
inline constexpr std::size_t kFileNameLength = 30;        // the prompt keeps this many characters
inline constexpr std::size_t kReportFileNameLength = 40;  // the report heading shows this many
inline constexpr std::size_t kNameLength = 10;            // point names in the input file
inline constexpr std::size_t kShortNameLength = 8;        // point names of the work file

}  // namespace tarnex
