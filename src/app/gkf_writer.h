#pragma once
// A levelling network written as GNU Gama's local-network XML (gama-local, *.gkf), which
// readGkf (gkf_reader.h) reads back into the same network.
//
// Every point is listed: fixed known heights with fix="z", the others adj="z". Known heights with
// a standard deviation are observed heights: a <coordinates> with a diagonal <cov-mat>, and one
// with the full matrix per group observed together. Height differences carry val (m) and dist
// (km); under grade weighting also their stdev (mm), 1/sqrt of their weight, and sigma-apr is 1.
// Under distance weighting they carry dist only and sigma-apr is the a-priori sigma0 (when there
// is none, Gama's default of 10 applies). For a free network (options.freeNetwork) the known
// points that give the datum are written adj="Z" with their z, the others adj="z".

#include <ostream>

#include "analysis_options.h"
#include "network.h"

namespace korvane::app {

void writeGkf(const analysis::Network& network, const analysis::AnalysisOptions& options, std::ostream& out);

}  // namespace korvane::app
