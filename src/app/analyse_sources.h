#pragma once
// The engine input file as an input of `korvane analyse` (code page 950 or UTF-8), turned into
// the rows of the network analysis. The adjustment database is read by
// workbench/analysis_database.h.

#include <QString>

#include "network.h"

namespace korvane::app {

// Reads an engine input file ("-" for standard input), or the levelling lines of a Leica GSI or
// DiNi M5 file (app/level_line_rows.h). A file is UTF-8 when its bytes are valid
// UTF-8 and not all ASCII, else code page 950, decoded line by line with Korvane's codec so that
// every field keeps its columns. Throws analysis::InputError naming the file and line.
analysis::NetworkRows readAnalysisFile(const QString& path);

}  // namespace korvane::app
