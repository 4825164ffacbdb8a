#pragma once
// `korvane analyse`: the network analysis of a levelling network (checks before the adjustment,
// the adjustment with every height's sigma and every redundancy number, the statistical tests,
// data snooping) from an engine input file or the adjustment database, with a summary on
// standard output and, on request, JSON, CSV and HTML results.

#include <QStringList>

namespace korvane::app {

int runAnalyseCommand(const QStringList& arguments);

}  // namespace korvane::app
