#pragma once
// The levelling lines of a Leica GSI or DiNi M5 file as a report (zh_TW) and as CSV.

#include <QString>
#include <vector>

#include "convert/level/level_lines.h"

namespace korvane::convert::level {

// One row per line: start, end, method, set-ups, height difference (m), length (km), the largest
// difference between a sight's two readings (mm), the distance balance (m) and the instrument's
// values; a line whose running values disagree with ours is marked "*" with both values shown.
QString levelLinesReport(const std::vector<LevelLine>& lines, const QString& source);

// The header row start,end,method,setups,dh_m,length_km,instrument_dh_m,instrument_length_km,agrees
// and one row per line, CR LF after each (no byte-order mark: the writer adds it). An instrument
// value the file does not hold is left empty.
QString levelLinesCsv(const std::vector<LevelLine>& lines);

}  // namespace korvane::convert::level
