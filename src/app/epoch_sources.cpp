#include "app/epoch_sources.h"

#include "app/analyse_sources.h"
#include "app/gkf_reader.h"
#include "input_error.h"
#include "workbench/analysis_database.h"

namespace korvane::app {

analysis::NetworkRows readEpochSource(const QString& source) {
  static const QString kDatabase = QStringLiteral("db:");
  if (source.startsWith(kDatabase)) {
    const QString path = source.mid(kDatabase.size());
    if (path.isEmpty()) throw analysis::InputError("db: needs the path of an adjustment database (db:PATH)");
    return workbench::readAnalysisDatabase(path);
  }
  if (source.isEmpty()) throw analysis::InputError("an epoch needs a source file");
  if (isGkfPath(source)) return readGkfFile(source).rows;
  return readAnalysisFile(source);
}

}  // namespace korvane::app
