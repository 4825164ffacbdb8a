// Checks of the network's make-up: its connected parts (and those without a known point that
// enters the adjustment), and the names that tarnex would treat differently.
#pragma once

#include "adjustment_model.h"
#include "analysis_result.h"
#include "network.h"
#include "network_graph.h"

#include <vector>

namespace korvane::analysis {

std::vector<PartCheck> partChecks(const Network& network, const NetworkGraph& graph, const AdjustmentModel& model);
std::vector<NameFinding> nameChecks(const Network& network);

}  // namespace korvane::analysis
