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
    throw Failure(failure.description() + u'\n' + kNothingImported);
  }
  return appended;
}

int importLevelData(QStringView text, int unitDivisor, const QString& databasePath) {
  Connection connection(databasePath);
  return importLevelData(text, unitDivisor, connection);
}

}  // namespace korvane::workbench
