// An analysis that cannot be carried out: no datum, or normal equations that cannot be solved.
// The message says why; `names` are the points involved, for a window to show.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace korvane::analysis {

class AnalysisFailure : public std::runtime_error {
public:
    AnalysisFailure(const std::string& message, std::vector<std::string> names = {})
        : std::runtime_error(message), names(std::move(names))
    {
    }
    std::vector<std::string> names;
};

// Thrown when the caller's cancel flag is set; the analysis leaves nothing behind.
struct AnalysisCancelled {};

}  // namespace korvane::analysis
