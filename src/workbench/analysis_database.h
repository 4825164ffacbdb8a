#pragma once
// The adjustment database's tables dat and cood as the rows of the network analysis: read by
// `korvane analyse --db` and by the workbench's "網形分析" alike.

#include <QString>
#include <functional>

#include "network.h"

namespace korvane::workbench {

// Reads the tables dat and cood of an adjustment database through a read-only connection of
// its own, so it may run on any thread and never changes the file. Names keep their full
// length. Throws analysis::InputError naming the table, row and column. `pause`, when given, is
// called every few thousand rows; what it throws (a cancellation) ends the reading.
analysis::NetworkRows readAnalysisDatabase(const QString& path, const std::function<void()>& pause = {});

}  // namespace korvane::workbench
