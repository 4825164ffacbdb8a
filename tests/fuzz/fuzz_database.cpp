#include "fuzz_database.h"

#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>

#include "common/failure.h"
#include "fuzz_checks.h"
#include "fuzz_qt.h"
#include "fuzz_tarnex.h"
#include "workbench/engine_file.h"

namespace korvane::fuzz {

FuzzDatabase::FuzzDatabase() : connection_(QStringLiteral(":memory:")) { reopen(); }

void FuzzDatabase::reopen() {
  observations_.open(workbench::kSelectObservations, connection_);
  knownPoints_.open(workbench::kSelectKnownPoints, connection_);
}

void FuzzDatabase::checkStoredNumbers(std::string_view where) {
  for (const QString& table : {workbench::kObservationTable, workbench::kKnownPointTable}) {
    QSqlQuery query(connection_.database());
    if (!query.exec(QStringLiteral("select * from ") + table)) finding(where, "the database cannot list " + utf8(table));
    while (query.next()) {
      for (int i = 0; i < query.record().count(); ++i) {
        const QVariant value = query.value(i);
        if (value.metaType().id() == QMetaType::Double) checkFinite(value.toDouble(), where);
      }
    }
  }
}

void FuzzDatabase::runEngineOnRows(const QString& projectName, std::string_view input, std::string_view where) {
  const std::string name = "rows.dat";
  const QString path = programFolder() + u'/' + QString::fromStdString(name);
  QFile::remove(path);
  reopen();
  try {
    workbench::writeEngineFile(path, projectName, observations_, knownPoints_);
  } catch (const Failure&) {
    // Refused, or written up to a table that is empty.
  }
  if (QFile::exists(path)) runTarnex(scratchFolder(), name, input, where);
}

void FuzzDatabase::clear() {
  connection_.execute(workbench::kDeleteObservations);
  connection_.execute(workbench::kDeleteKnownPoints);
  reopen();
}

}  // namespace korvane::fuzz
