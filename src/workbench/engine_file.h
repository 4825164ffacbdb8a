#pragma once
// The engine input file as the workbench writes it ("平差檔建立") and reads it back ("資料讀入").
//
// Plain text in code page 950, lines ending in CR LF: the project name; one line per `dat` row
// (from-point in columns 1-10, to-point 11-20, height difference 21-30, distance 31-40, grade
// 41-50); "-99"; one line per `cood` row (point 1-10, height 11-20, standard deviation 21-30);
// "-99". Columns are counted in the file's bytes, as tarnex reads them: a Chinese character
// takes two.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace korvane::workbench {

class Recordset;

inline const QString kEngineFileFilter = QStringLiteral("*.Dat(*.dat)|*.dat");
inline constexpr int kFieldColumns = 10;
inline const QByteArray kEndOfList = QByteArrayLiteral("-99");

// The messages of the two commands, one per step.
inline const QString kFileOpenError = QStringLiteral("檔案開啟錯誤");
inline const QString kObservationDataError = QStringLiteral("平差資料錯誤");
inline const QString kKnownPointDataError = QStringLiteral("已知點資料錯誤");
inline const QString kReadInError = QStringLiteral("資料讀入錯誤");

// The suffix of an engine input file, added to a name typed without one.
inline const QString kEngineFileSuffix = QStringLiteral("dat");

// The path with ".dat" added when its file name has no suffix ("job1" gives "job1.dat", "job1."
// gives "job1.dat"); any other path as it stands.
QString withEngineFileSuffix(const QString& path);

// One line of the file without its CR LF: each value in its ten columns, numbers in their
// engine number text, an empty value as the word Null. Throws Failure naming the field when a
// text does not fit its ten columns or has no code page 950 form, or a number is not finite or
// too large for the field of tarnex's work file that it fills (unusableColumnValue).
QByteArray engineFileLine(const QVariantList& values, const QList<bool>& numberFields,
                          const QStringList& fieldNames = {});

// "平差檔建立": writes the file, replacing an existing one. Throws Failure whose description is
// the step's message, followed on further lines by the cause where there is one:
// - "檔案開啟錯誤" when the file cannot be written;
// - "平差資料錯誤" for an empty `dat` (the file is left empty) or a row that cannot be written;
// - "已知點資料錯誤" for an empty `cood` (the file then ends after the first "-99") or a row that
//   cannot be written.
// A row that cannot be written (a name longer than ten columns) leaves no file at all, and an
// existing file as it was; so does a project name of more than one line or one that reads as
// the end mark "-99" (a Failure saying so, before anything is written).
void writeEngineFile(const QString& path, const QString& projectName, const Recordset& observations,
                     const Recordset& knownPoints);

// "資料讀入": reads the file and appends its rows to the two recordsets, and sets the project name
// from its first line. All or nothing: throws Failure whose description is "檔案開啟錯誤" or
// "資料讀入錯誤" and the cause (naming the line and the columns); then no row is added, which
// the message says, the recordsets hold what the database holds, and the project name stays.
void readEngineFile(const QString& path, QString& projectName, Recordset& observations, Recordset& knownPoints);

}  // namespace korvane::workbench
