// The monitoring result as three spreadsheet tables in a folder: velocities.csv (a row per
// benchmark), displacements.csv (a row per benchmark and comparison) and epochs.csv. UTF-8
// with a byte-order mark, comma-separated, CR LF, a header row, fields quoted where they hold a
// comma, quote or line break, an empty field for a value that is not computable: as the network
// analysis writes its tables. Columns are documented in docs/deformation-results.md.
#pragma once

#include "deformation.h"

#include <filesystem>
#include <ostream>

namespace korvane::deformation {

void writeVelocitiesCsv(const DeformationResult& result, std::ostream& out);
void writeDisplacementsCsv(const DeformationResult& result, std::ostream& out);
void writeEpochsCsv(const DeformationResult& result, std::ostream& out);

// Creates the folder when it is missing and writes the three files; throws std::runtime_error
// naming the file or folder that cannot be written.
void writeDeformationCsvFolder(const DeformationResult& result, const std::filesystem::path& folder);

}  // namespace korvane::deformation
