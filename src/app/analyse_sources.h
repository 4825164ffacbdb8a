#pragma once
// The inputs of `korvane analyse`: an engine input file (code page 950 or UTF-8) or the
// adjustment database's tables dat and cood, turned into the rows of the network analysis.

#include <QString>

#include "network.h"

namespace korvane::app {

// Reads an engine input file ("-" for standard input). A file is UTF-8 when its bytes are valid
// UTF-8 and not all ASCII, else code page 950, decoded line by line with Korvane's codec so that
// every field keeps its columns. Throws analysis::InputError naming the file and line.
analysis::NetworkRows readAnalysisFile(const QString& path);

// Reads the tables dat and cood of an adjustment database, without changing it. Names keep
// their full length. Throws analysis::InputError naming the table, row and column.
analysis::NetworkRows readAnalysisDatabase(const QString& path);

}  // namespace korvane::app
