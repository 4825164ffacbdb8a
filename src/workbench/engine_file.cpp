#include "workbench/engine_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <optional>

#include "common/failure.h"
#include "text/cp950.h"
#include "text/spaces.h"
#include "workbench/engine_numbers.h"
#include "workbench/lnet_database.h"
#include "workbench/recordset.h"

namespace korvane::workbench {
namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

const QString kNothingRead = QStringLiteral("資料庫沒有加入任何資料。");

// Where the numbers begin in a line of each list: after the two point names, after the one.
constexpr int kObservationFirstNumber = 2;
constexpr int kKnownPointFirstNumber = 1;

// A recordset as the database holds it again, after its new rows were taken back.
void rereadRows(Recordset& recordset) {
  if (!recordset.isOpen() || !recordset.connection()) return;
  const QString statement = recordset.statement();
  try {
    recordset.open(statement, *recordset.connection());
  } catch (const Failure&) {
    recordset.close();
  }
}

Failure stepFailure(const QString& message, const QString& detail) { return Failure(message + u'\n' + detail); }

QByteArray encodedText(const QString& text, const QString& what) {
  const text::Cp950Encoding encoded = text::encodeCp950(text);
  if (!encoded.ok()) throw Failure(QStringLiteral("%1「%2」：%3").arg(what, text, encoded.describe()));
  return encoded.bytes;
}

// The number columns: those the table declares so, and those the file's layout puts numbers in
// (from `firstNumberColumn` on), whatever a hand-made table declares.
QList<bool> numberFieldsOf(const Recordset& recordset, int firstNumberColumn) {
  QList<bool> numbers;
  for (int i = 0; i < recordset.fieldCount(); ++i) numbers << (i >= firstNumberColumn || recordset.isNumberField(i));
  return numbers;
}

// The lines of a recordset, each with its CR LF, then "-99". A row that cannot be written
// throws Failure naming the row.
QByteArray recordLines(const Recordset& recordset, int firstNumberColumn) {
  const QList<bool> numbers = numberFieldsOf(recordset, firstNumberColumn);
  QByteArray lines;
  for (int row = 0; row < recordset.recordCount(); ++row) {
    QVariantList values;
    for (int column = 0; column < recordset.fieldCount(); ++column) values << recordset.value(row, column);
    try {
      lines += engineFileLine(values, numbers, recordset.fieldNames()) + kLineEnd;
    } catch (const Failure& failure) {
      throw Failure(QStringLiteral("第 %1 筆資料：%2").arg(row + 1).arg(failure.description()));
    }
  }
  return lines + kEndOfList + kLineEnd;
}

// The file's lines without their line ends; a last line without one counts.
QList<QByteArray> linesOf(const QByteArray& bytes) {
  QList<QByteArray> lines = bytes.split('\n');
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  for (QByteArray& line : lines) {
    if (line.endsWith('\r')) line.chop(1);
  }
  return lines;
}

// The values of one data line: the texts of its ten-column fields without their leading and
// trailing blanks, as the recordset's fields take them.
QVariantList lineValues(const QByteArray& line, int lineNumber, const Recordset& recordset, int fieldCount) {
  QVariantList values;
  for (int i = 0; i < fieldCount; ++i) {
    const int first = i * kFieldColumns + 1;
    const int last = first + kFieldColumns - 1;
    int undecodable = 0;
    const QString decoded = text::decodeCp950(line.mid(first - 1, kFieldColumns), &undecodable);
    if (undecodable > 0) {
      throw stepFailure(kReadInError, QStringLiteral("第 %1 行第 %2-%3 欄有無法讀出的字（中文字被欄界切開？）")
                                          .arg(lineNumber)
                                          .arg(first)
                                          .arg(last));
    }
    try {
      values << recordset.valueFromText(i, text::trimSpaces(decoded));
    } catch (const Failure& failure) {
      throw stepFailure(kReadInError,
                        QStringLiteral("第 %1 行第 %2-%3 欄：%4").arg(lineNumber).arg(first).arg(last).arg(failure.description()));
    }
  }
  return values;
}

// The line that ends a list, as tarnex and the network analysis take it: its first ten columns,
// without their blanks, are "-99" (or "-999"); what stands after them does not count.
bool isEndOfList(const QByteArray& line) {
  const QByteArray name = line.left(kFieldColumns).trimmed();
  return name == kEndOfList || name == QByteArrayLiteral("-999");
}

bool onlyBlankLinesFrom(const QList<QByteArray>& lines, int at) {
  for (; at < lines.size(); ++at) {
    if (!lines[at].trimmed().isEmpty()) return false;
  }
  return true;
}

// Reads data lines into the recordset up to the line that ends the list. The known points may
// also end with the file (or with blank lines only), as tarnex and the analysis take them.
void readList(const QList<QByteArray>& lines, int& at, Recordset& recordset, int fieldCount, const QString& what,
              bool mayEndWithFile) {
  while (true) {
    if (mayEndWithFile && onlyBlankLinesFrom(lines, at)) return;
    if (at >= lines.size()) {
      throw stepFailure(kReadInError, QStringLiteral("檔案在%1結束的「-99」之前就結束了（共 %2 行）").arg(what).arg(lines.size()));
    }
    const QByteArray& line = lines[at++];
    if (isEndOfList(line)) return;
    const QVariantList values = lineValues(line, at, recordset, fieldCount);
    try {
      recordset.addNew(values);
    } catch (const Failure& failure) {
      throw stepFailure(kReadInError, QStringLiteral("第 %1 行：%2").arg(at).arg(failure.description()));
    }
  }
}

// The project name is the file's first line: one line, and never a line that ends a list.
void checkProjectName(const QString& projectName) {
  if (projectName.contains(u'\n') || projectName.contains(u'\r')) {
    throw Failure(QStringLiteral("計劃名稱只能有一行：平差檔的第一行是計劃名稱，換行後的字會被當成平差資料"));
  }
  const text::Cp950Encoding encoded = text::encodeCp950(projectName);
  if (encoded.ok() && isEndOfList(encoded.bytes)) {
    throw Failure(QStringLiteral("計劃名稱不能是「%1」：那是平差檔中資料結束的記號").arg(projectName.trimmed()));
  }
}

}  // namespace

QString withEngineFileSuffix(const QString& path) {
  const QFileInfo file(path);
  if (file.fileName().isEmpty()) return path;
  if (file.fileName().endsWith(u'.')) return path + kEngineFileSuffix;
  if (file.suffix().isEmpty()) return path + u'.' + kEngineFileSuffix;
  return path;
}

QByteArray engineFileLine(const QVariantList& values, const QList<bool>& numberFields, const QStringList& fieldNames) {
  QByteArray line;
  for (qsizetype i = 0; i < values.size(); ++i) {
    const QVariant& value = values[i];
    QByteArray item;
    if (value.isNull() || !value.isValid()) {
      item = kEmptyValueWord.toLatin1();
    } else if (numberFields.value(i)) {
      // A table without the number checks (an older or hand-made file) may hold a text here;
      // every reader of the file would refuse it.
      const QString field = fieldNames.value(i, QStringLiteral("第 %1 項").arg(i + 1));
      std::optional<double> number;
      if (value.metaType().id() == QMetaType::QString) {
        number = parseNumberText(value.toString().trimmed());
      } else if (value.canConvert<double>()) {
        number = value.toDouble();
      }
      if (!number) throw Failure(QStringLiteral("「%1」欄要填數字，「%2」不是數字").arg(field, value.toString()));
      if (const QString unusable = unusableColumnValue(field, *number); !unusable.isEmpty()) throw Failure(unusable);
      item = fittedEngineNumberText(*number, kFieldColumns).toLatin1();
    } else {
      const QString text = value.toString();
      const QString field = fieldNames.value(i, QStringLiteral("第 %1 項").arg(i + 1));
      const text::Cp950Encoding encoded = text::encodeCp950(text);
      if (!encoded.ok()) throw Failure(QStringLiteral("%1「%2」：%3").arg(field, text, encoded.describe()));
      if (encoded.bytes.size() > kFieldColumns) {
        throw Failure(QStringLiteral("%1「%2」佔 %3 欄，超過 %4 欄（中文字一字佔兩欄）")
                          .arg(field, text)
                          .arg(encoded.bytes.size())
                          .arg(kFieldColumns));
      }
      item = encoded.bytes;
    }
    if (i > 0) line.append(i * kFieldColumns - line.size(), ' ');
    line += item;
  }
  return line;
}

void writeEngineFile(const QString& path, const QString& projectName, const Recordset& observations,
                     const Recordset& knownPoints) {
  QSaveFile file(path);
  if (path.isEmpty()) throw stepFailure(kFileOpenError, QStringLiteral("沒有指定檔名"));
  checkProjectName(projectName);
  if (!file.open(QIODevice::WriteOnly)) throw stepFailure(kFileOpenError, path + QStringLiteral("：") + file.errorString());
  QByteArray bytes;
  // What was written before a step found its table empty stays in the file.
  auto keepWritten = [&] {
    if (file.write(bytes) != bytes.size() || !file.commit()) {
      throw stepFailure(kFileOpenError, path + QStringLiteral("：") + file.errorString());
    }
  };

  if (!observations.isOpen() || observations.recordCount() == 0) {
    keepWritten();
    throw Failure(kObservationDataError);
  }
  try {
    bytes += encodedText(projectName, QStringLiteral("計劃名稱")) + kLineEnd;
    bytes += recordLines(observations, kObservationFirstNumber);
  } catch (const Failure& failure) {
    file.cancelWriting();
    throw stepFailure(kObservationDataError, failure.description());
  }

  if (!knownPoints.isOpen() || knownPoints.recordCount() == 0) {
    keepWritten();
    throw Failure(kKnownPointDataError);
  }
  try {
    bytes += recordLines(knownPoints, kKnownPointFirstNumber);
  } catch (const Failure& failure) {
    file.cancelWriting();
    throw stepFailure(kKnownPointDataError, failure.description());
  }
  keepWritten();
}

void readEngineFile(const QString& path, QString& projectName, Recordset& observations, Recordset& knownPoints) {
  if (path.isEmpty()) throw stepFailure(kFileOpenError, QStringLiteral("沒有指定檔名"));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) throw stepFailure(kFileOpenError, path + QStringLiteral("：") + file.errorString());
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) throw stepFailure(kReadInError, path + QStringLiteral("：") + file.errorString());
  file.close();

  const QList<QByteArray> lines = linesOf(bytes);
  if (lines.isEmpty()) throw stepFailure(kReadInError, QStringLiteral("檔案是空的，沒有計劃名稱"));

  // All or nothing: one transaction on each connection the recordsets use.
  std::optional<Connection::Transaction> observationRows;
  std::optional<Connection::Transaction> knownPointRows;
  try {
    if (Connection* connection = observations.connection()) observationRows.emplace(*connection);
    if (Connection* connection = knownPoints.connection(); connection && connection != observations.connection()) {
      knownPointRows.emplace(*connection);
    }
    int at = 1;
    readList(lines, at, observations, kObservationColumns.size(), QStringLiteral("平差資料"), false);
    readList(lines, at, knownPoints, kKnownPointColumns.size(), QStringLiteral("已知點資料"), true);
    if (knownPointRows) knownPointRows->commit();
    if (observationRows) observationRows->commit();
  } catch (const Failure& failure) {
    if (knownPointRows) knownPointRows->rollback();
    if (observationRows) observationRows->rollback();
    rereadRows(observations);
    rereadRows(knownPoints);
    const QString description = failure.description().startsWith(kReadInError) ? failure.description()
                                                                              : kReadInError + u'\n' + failure.description();
    throw Failure(description + u'\n' + kNothingRead);
  }
  projectName = text::decodeCp950(lines[0]);
}

}  // namespace korvane::workbench
