// Data snooping: adjust, test every equation, remove the worst one whose test fails, adjust
// again, until none fails (or, when chosen, until the global test passes; or the redundancy or
// the chosen limit runs out). The worst is the largest |w| when there is an a-priori sigma0, else
// the largest |tau|: the same statistic that marks an observation flagged. At the end each
// removed equation is tested for readmission against the final adjustment.
#pragma once

#include "adjuster.h"
#include "adjustment_model.h"
#include "analysis_options.h"
#include "analysis_result.h"
#include "network_graph.h"

#include <functional>
#include <optional>
#include <vector>

namespace korvane::analysis {

struct AdjustmentRuns {
    std::vector<bool> inUse;  // per equation
    AdjustmentState final;
    std::vector<SnoopStep> steps;
    std::optional<GlobalTest> firstGlobal;  // when snooping removed something
};

// One adjustment, or with options.snoop the snooping loop. `stepDone` is told the number of
// each removal as it happens and how many equations still failed in the adjustment it came from.
AdjustmentRuns runAdjustments(const AdjustmentModel& model, const NetworkGraph& graph, Adjuster& adjuster,
                              const AnalysisOptions& options,
                              const std::function<void(int step, int failing)>& stepDone = {});

// Fills the readmission fields of the steps from the final adjustment.
void testReadmission(std::vector<SnoopStep>& steps, const AdjustmentModel& model, const Adjuster& adjuster,
                     const AdjustmentRuns& runs, const GlobalTest& finalGlobal, const TestLevels& finalLevels);

}  // namespace korvane::analysis
