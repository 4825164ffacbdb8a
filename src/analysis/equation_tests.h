// The statistics of one adjustment: the global test and the tests of every equation in use.
#pragma once

#include "adjuster.h"
#include "adjustment_model.h"
#include "analysis_options.h"
#include "minimum_trace.h"
#include "network_graph.h"
#include "statistics.h"

#include <vector>

namespace korvane::analysis {

struct Evaluation {
    GlobalTest global;
    TestLevels levels;
    std::vector<ObservationTest> tests;  // per equation; one not in use has only its residual
};

// `freeDatum` gives the effects on heights in parts held only for their datum defect (--free);
// without it those effects are not computed.
Evaluation evaluate(const AdjustmentModel& model, const NetworkGraph& graph, const Adjuster& adjuster,
                    const AdjustmentState& state, const std::vector<bool>& inUse, const AnalysisOptions& options,
                    const MinimumTraceDatum* freeDatum);

}  // namespace korvane::analysis
