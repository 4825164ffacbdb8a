// The per-point and per-observation tables of the result, from the final adjustment.
#pragma once

#include "adjuster.h"
#include "adjustment_model.h"
#include "analysis_result.h"
#include "equation_tests.h"
#include "minimum_trace.h"
#include "network.h"
#include "network_graph.h"
#include "snooping.h"

namespace korvane::analysis {

void fillPointResults(AnalysisResult& result, const Network& network, const NetworkGraph& graph,
                      const AdjustmentModel& model, const Adjuster& adjuster, const AdjustmentRuns& runs,
                      const Evaluation& evaluation, const MinimumTraceDatum* freeDatum);

void fillObservationResults(AnalysisResult& result, const Network& network, const AdjustmentModel& model,
                            const AdjustmentRuns& runs, const Evaluation& evaluation);

}  // namespace korvane::analysis
