// The per-point and per-observation tables of the result, from the final adjustment.
#pragma once

#include "adjuster.h"
#include "adjustment_model.h"
#include "analysis_result.h"
#include "equation_tests.h"
#include "datum_transform.h"
#include "network.h"
#include "network_graph.h"
#include "snooping.h"

namespace korvane::analysis {

// Per point the cofactor of its height in the final adjustment (in the datum of its datum points when
// `freeDatum` is given; 0 for a held height).
std::vector<double> heightCofactors(const Network& network, const Adjuster& adjuster,
                                    const DatumTransform* freeDatum);

// `heights` and `cofactors` of the final adjustment, in the datum of its datum points under --free.
void fillPointResults(AnalysisResult& result, const Network& network, const NetworkGraph& graph,
                      const AdjustmentModel& model, const Eigen::VectorXd& heights,
                      const std::vector<double>& cofactors, const AdjustmentRuns& runs, const Evaluation& evaluation);

void fillObservationResults(AnalysisResult& result, const Network& network, const AdjustmentModel& model,
                            const AdjustmentRuns& runs, const Evaluation& evaluation);

}  // namespace korvane::analysis
