// The entry point of the network analysis: checks before the adjustment, the adjustment with
// every height's standard deviation and every redundancy number, the statistics and (on
// request) data snooping, in one call that returns everything a report or a window shows.
#pragma once

#include "analysis_options.h"
#include "analysis_result.h"
#include "network.h"

#include <atomic>
#include <functional>
#include <string_view>

namespace korvane::analysis {

// How a long analysis reports progress and learns that it should stop. `report` receives the
// stage in words and the share of the whole done so far (0 to 1); `cancel` is read between and
// inside the long steps, and when it is set the analysis throws AnalysisCancelled.
struct Progress {
    std::function<void(std::string_view stage, double done)> report;
    const std::atomic<bool>* cancel = nullptr;
};

// Throws AnalysisFailure (with the names involved) when the options cannot be used, when no
// part of the network has a known point (without --free), or when the normal equations cannot
// be solved; AnalysisCancelled when cancelled.
AnalysisResult analyse(const Network& network, const AnalysisOptions& options, const Progress& progress = {});

}  // namespace korvane::analysis
