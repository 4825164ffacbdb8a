#pragma once
// `korvane deform`: subsidence monitoring over many epochs of levelling (each epoch's analysis,
// the agreement of their variances, the comparison of epochs with the stable benchmarks and the
// displacements, every benchmark's velocity), with a summary on standard output and, on request,
// JSON, CSV and HTML results.

#include <QStringList>

namespace korvane::app {

int runDeformCommand(const QStringList& arguments);

}  // namespace korvane::app
