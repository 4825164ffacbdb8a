#pragma once
// The columns of the network analysis window's tables, read straight from the result: checks
// (parts and closures), points, observations and snooping steps.

#include <memory>
#include <vector>

#include "analysis_result.h"
#include "shell/result_table_model.h"

namespace korvane::shell {

using SharedResult = std::shared_ptr<const analysis::AnalysisResult>;

// The closures in the order the checks tab lists them: loops, lines between known points,
// repeated sections.
std::vector<const analysis::ClosureCheck*> closureRows(const analysis::AnalysisResult& result);

std::vector<ResultColumn> partColumns(const SharedResult& result);
std::vector<ResultColumn> closureColumns(const SharedResult& result, std::vector<const analysis::ClosureCheck*> rows);
std::vector<ResultColumn> pointColumns(const SharedResult& result);
// The 判定 column names the most likely gross error.
std::vector<ResultColumn> observationColumns(const SharedResult& result);
// The place of each observation in the table's first order: the flagged ones by descending
// deciding statistic, then the others in input order.
std::vector<int> observationFirstOrder(const analysis::AnalysisResult& result);
std::vector<ResultColumn> snoopingColumns(const SharedResult& result);

bool partFails(const analysis::AnalysisResult& result, int part);
bool pointFails(const analysis::AnalysisResult& result, int point);

}  // namespace korvane::shell
