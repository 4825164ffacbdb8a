#include "workbench/level_import.h"

#include "common/failure.h"
#include "convert/level/dl100c_records.h"
#include "workbench/engine_numbers.h"
#include "workbench/lnet_database.h"

namespace korvane::workbench {
namespace {

constexpr double kMetresPerKilometre = 1000;

const QString kNothingImported = QStringLiteral("平差資料庫沒有加入任何資料。");

// A name as it stands; an empty name is an empty text, not an empty value.
QString nameOf(QStringView field) {
  QString name = field.toString();
  return name.isNull() ? QString("") : name;
}

// Whether a line has the form of a DL-100C record: its kind, a comma, the status code, a comma.
bool hasRecordForm(QStringView line) {
  line = line.trimmed();
  return line.size() >= 3 && line[0].isLetter() && line[1] == u',' && line.indexOf(u',', 2) >= 2 &&
         line.indexOf(u',', 2) <= 4;
}

bool holdsRecordLines(QStringView text) {
  for (const QStringView line : text.split(u'\n')) {
    if (hasRecordForm(line)) return true;
  }
  return false;
}

}  // namespace

int importLevelData(QStringView text, int unitDivisor, Connection& connection) {
  convert::level::RecordReader reader(text, convert::level::Scaling{unitDivisor});
  Connection::Transaction transaction(connection);
  QString fromPoint("");
  int appended = 0;
  try {
    while (const std::optional<convert::level::Record> record = reader.next()) {
      if (record->isLineStart()) {
        fromPoint = nameOf(record->lineStart.startPoint);
      } else if (record->isSectionEnd()) {
        const convert::level::SectionEnd& section = record->sectionEnd;
        const QString toPoint = nameOf(section.pointName);
        const QVariantList values = {fromPoint, toPoint, roundedToFifteenDigits(section.heightDifference),
                                     roundedToFifteenDigits(section.sectionDistance / kMetresPerKilometre)};
        try {
          for (int column = 2; column < values.size(); ++column) {
            const QString unusable = unusableColumnValue(kObservationColumns[column], values[column].toDouble());
            if (!unusable.isEmpty()) throw Failure(unusable);
          }
          connection.execute(kInsertObservation, values);
        } catch (const Failure& failure) {
          throw Failure(QStringLiteral("第 %1 行的紀錄無法寫入平差資料庫：%2").arg(record->lineNumber).arg(failure.description()));
        }
        ++appended;
        // The next section starts where this one ended.
        fromPoint = toPoint;
      }
    }
    transaction.commit();
  } catch (const Failure& failure) {
    transaction.rollback();
    // A report converted from a download, or any other text, fails somewhere among its lines:
    // what it is not says more than the line where the reading stopped.
    if (!holdsRecordLines(text)) throw Failure(kNotADownload);
    throw Failure(failure.description() + u'\n' + kNothingImported);
  }
  return appended;
}

int importLevelData(QStringView text, int unitDivisor, const QString& databasePath) {
  Connection connection(databasePath);
  return importLevelData(text, unitDivisor, connection);
}

}  // namespace korvane::workbench
