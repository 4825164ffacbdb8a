#include "workbench/level_import.h"

#include "common/failure.h"
#include "convert/level/dl100c_records.h"
#include "convert/level/level_file.h"
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

// One `dat` row (height difference in m, length in m stored in km), its numbers checked as the
// table's checks would; a failure names `what` was being written.
void appendObservation(Connection& connection, const QString& from, const QString& to, double heightDifference,
                       double lengthMetres, const QString& what) {
  const QVariantList values = {from, to, roundedToFifteenDigits(heightDifference),
                               roundedToFifteenDigits(lengthMetres / kMetresPerKilometre)};
  try {
    for (int column = 2; column < values.size(); ++column) {
      const QString unusable = unusableColumnValue(kObservationColumns[column], values[column].toDouble());
      if (!unusable.isEmpty()) throw Failure(unusable);
    }
    connection.execute(kInsertObservation, values);
  } catch (const Failure& failure) {
    throw Failure(what + QStringLiteral("無法寫入平差資料庫：") + failure.description());
  }
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
        appendObservation(connection, fromPoint, toPoint, section.heightDifference, section.sectionDistance,
                          QStringLiteral("第 %1 行的紀錄").arg(record->lineNumber));
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

int importLevelData(QStringView text, int unitDivisor, const QString& databasePath, QStringList* warnings) {
  const std::string start = convert::level::workspaceBytes(text.first(std::min<qsizetype>(text.size(), 4096)));
  const convert::level::LevelFormat format = convert::level::detectLevelFormat(start);
  if (format == convert::level::LevelFormat::Gsi || format == convert::level::LevelFormat::M5) {
    const QString where = QStringLiteral("工作區");
    std::vector<convert::level::LevelLine> lines;
    try {
      lines = convert::level::readLevelLines(convert::level::workspaceBytes(text), format, where);
    } catch (const Failure& failure) {
      throw Failure(failure.description() + u'\n' + kNothingImported);
    }
    Connection connection(databasePath);
    QStringList said;
    const int rows = importLevelLines(lines, connection, said);
    if (warnings) *warnings += said;
    return rows;
  }
  Connection connection(databasePath);
  return importLevelData(text, unitDivisor, connection);
}

QString disagreementWarning(const convert::level::LevelLine& line) {
  const auto value = [](const std::optional<double>& v, double scale, int decimals) {
    return v ? QString::number(*v * scale, 'f', decimals) : QStringLiteral("-");
  };
  return QStringLiteral("第 %1 行起的水準線 %2 → %3 與儀器的累計值不符：高程差 %4 m（儀器 %5 m），長度 %6 km（儀器 %7 km）")
      .arg(line.fileLine)
      .arg(line.start, line.end)
      .arg(QString::number(line.dh, 'f', 5), value(line.instrumentDh, 1, 5))
      .arg(QString::number(line.length / kMetresPerKilometre, 'f', 5), value(line.instrumentLength, 1 / kMetresPerKilometre, 5));
}

int importLevelLines(const std::vector<convert::level::LevelLine>& lines, Connection& connection, QStringList& warnings) {
  Connection::Transaction transaction(connection);
  int appended = 0;
  QStringList said;
  try {
    for (const convert::level::LevelLine& line : lines) {
      appendObservation(connection, nameOf(line.start), nameOf(line.end), line.dh, line.length,
                        QStringLiteral("第 %1 行起的水準線").arg(line.fileLine));
      ++appended;
      if (!line.agrees()) said << disagreementWarning(line);
    }
    transaction.commit();
  } catch (const Failure& failure) {
    transaction.rollback();
    throw Failure(failure.description() + u'\n' + kNothingImported);
  }
  warnings += said;
  return appended;
}

}  // namespace korvane::workbench
