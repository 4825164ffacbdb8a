#pragma once
// One run of the network analysis on the adjustment database, as the workbench's window asks
// for it: what is asked, what comes of it, and the run itself, which may go on any thread.

#include <QString>
#include <QStringList>
#include <memory>

#include "analyse.h"
#include "analysis_options.h"
#include "analysis_result.h"

namespace korvane::workbench {

struct NetworkAnalysisRequest {
  QString databasePath;
  QString title;  // the project name of the results
  analysis::AnalysisOptions options;
};

struct NetworkAnalysisOutcome {
  enum class Kind {
    Done,             // `result` holds the analysis
    BadInput,         // a row of the tables cannot be used: `problem` names table, row and column
    UnusableNetwork,  // no datum, or equations that cannot be solved: `problem`, and `names`
    Cancelled,
  };
  Kind kind = Kind::Cancelled;
  std::shared_ptr<const analysis::AnalysisResult> result;
  QString problem;
  QStringList names;  // the points involved
};

// Reads the tables dat and cood, builds the network and analyses it. `progress` hears the
// stage ("reading", then the analysis's own stages) and the share done; its cancel flag is read
// while the tables are read and throughout the analysis. Never throws.
NetworkAnalysisOutcome runNetworkAnalysis(const NetworkAnalysisRequest& request, const analysis::Progress& progress);

// The share of the whole run at which the analysis itself begins (reading the tables is before).
inline constexpr double kAnalysisShareStart = 0.1;

}  // namespace korvane::workbench
