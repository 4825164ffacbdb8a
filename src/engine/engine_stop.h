// How the engine stops before its normal end.
#pragma once

#include <string>

namespace tarnex {

// Thrown to end a run early. Console lines that belong to the stop are written before the
// throw; `message` (when not empty) explains the stop on the error stream. The run then ends
// with the line "Stop - Program terminated." and exit status 1.
struct EngineStop {
    std::string message;
};

inline constexpr int kExitNormal = 0;
inline constexpr int kExitStopped = 1;

}  // namespace tarnex
