// Reference writers of the result files for the tests: the JSON document built as a document
// tree of nlohmann-json and dumped, the CSV tables built as a string per field.
#pragma once

#include "analysis_result.h"

#include <ostream>

namespace korvane::analysis::testing {

void writeJsonByTree(const AnalysisResult& result, std::ostream& out);
void writePointsCsvByStrings(const AnalysisResult& result, std::ostream& out);
void writeObservationsCsvByStrings(const AnalysisResult& result, std::ostream& out);
void writeLoopsCsvByStrings(const AnalysisResult& result, std::ostream& out);

}  // namespace korvane::analysis::testing
