#pragma once
// The monitoring result as three spreadsheet tables, as the deformation window exports them:
// epochs.csv, displacements.csv (every comparison) and velocities.csv. The same conventions as
// the network analysis's CSV tables: UTF-8 with a byte-order mark, comma-separated, CR LF, a
// header row, quoted fields where needed, a value that is not computable an empty field,
// booleans true / false. Columns are documented in docs/network-analysis-results.md.

#include <QString>

#include "deformation.h"

namespace korvane::shell {

QByteArray epochsCsv(const deformation::DeformationResult& result);
QByteArray displacementsCsv(const deformation::DeformationResult& result);
QByteArray velocitiesCsv(const deformation::DeformationResult& result);

// Creates the folder when it is missing and writes the three files; throws Failure naming the
// file that cannot be written.
void writeDeformationCsvFolder(const deformation::DeformationResult& result, const QString& folder);

}  // namespace korvane::shell
