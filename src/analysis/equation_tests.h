// The statistics of one adjustment: the global test and the tests of every equation in use.
#pragma once

#include "adjuster.h"
#include "adjustment_model.h"
#include "analysis_options.h"
#include "datum_transform.h"
#include "network_graph.h"
#include "statistics.h"

#include <string>
#include <vector>

namespace korvane::analysis {

struct Evaluation {
    GlobalTest global;
    TestLevels levels;
    std::vector<ObservationTest> tests;  // per equation; one not in use has only its residual
};

// `freeDatum` gives the effects on heights in parts held only for their datum defect that have
// datum points (--free); without it those effects are not computed.
Evaluation evaluate(const AdjustmentModel& model, const NetworkGraph& graph, const Adjuster& adjuster,
                    const AdjustmentState& state, const std::vector<bool>& inUse, const AnalysisOptions& options,
                    const DatumTransform* freeDatum);

// The redundancy numbers of the equations in use add up to the degrees of freedom. When rounding
// has eaten that (weights too far apart for double precision in a way their spread alone did not
// show), no figure of the adjustment can be trusted: the description of the problem, or empty.
std::string redundancySumProblem(const Evaluation& evaluation, const std::vector<bool>& inUse, int dof);

}  // namespace korvane::analysis
