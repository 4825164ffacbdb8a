// The result as three spreadsheet tables in a folder: points.csv, observations.csv and
// loops.csv (loops, lines between known points and repeated sections). UTF-8 with a byte-order
// mark (so that spreadsheet programs take it for UTF-8), comma-separated, a header row, fields
// quoted where they hold a comma, quote or line break; a value that is not computable is an
// empty field. Columns are documented in docs/network-analysis-results.md.
#pragma once

#include "analysis_result.h"

#include <filesystem>
#include <ostream>

namespace korvane::analysis {

void writePointsCsv(const AnalysisResult& result, std::ostream& out);
void writeObservationsCsv(const AnalysisResult& result, std::ostream& out);
void writeLoopsCsv(const AnalysisResult& result, std::ostream& out);

// Creates the folder when it is missing and writes the three files; throws std::runtime_error
// naming the file that cannot be written.
void writeCsvFolder(const AnalysisResult& result, const std::filesystem::path& folder);

}  // namespace korvane::analysis
