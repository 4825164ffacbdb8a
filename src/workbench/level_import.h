#pragma once
// "資料->平差資料庫": the levelled sections of a DL-100C download appended to the table `dat`.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

#include "convert/level/level_lines.h"

namespace korvane::workbench {

class Connection;

// Appends one `dat` row per turning-point ("v") and end-point ("w") record of the DL-100C text,
// in record order: from-point, to-point, the section's height difference (m), its distance (km)
// and grade 0. Within a levelling line the first row starts at the start point of the "b" or "c"
// record and each later row at the to-point of the row before. Names are stored as they stand.
// Returns the number of rows appended. All or nothing: throws Failure (the text ends before the
// End-of-data line, a "c" record that cannot be cut, a number that is not finite or too large for
// the field it fills, a database error) naming the line, and then no row is added, which the
// message says; a text without any line of record form fails with kNotADownload instead.
int importLevelData(QStringView text, int unitDivisor, Connection& connection);

// What the import says when the text holds no section: nothing was added.
inline const QString kNoSections = QStringLiteral(
    "資料中找不到 DL-100C 的水準區間（資料結束列「Z,&,」之前的轉點記錄 v 或結束點記錄 w），也不是 Leica GSI-8/GSI-16 "
    "或 Trimble DiNi M5 的水準資料，平差資料庫沒有加入任何資料。");

// What the import says when the text has no line of a DL-100C record ("A,01,..."), such as a
// report converted from a download: nothing was added.
inline const QString kNotADownload = QStringLiteral(
    "這段文字不是 DL-100C 的下載資料（沒有「A,01,」這類的紀錄列；轉換過的報表不能再讀入），平差資料庫沒有加入任何資料。");

// The same through a connection of its own to the database file, closed at the end. A text that
// holds Leica GSI or DiNi M5 levelling (told from its content) is imported by importLevelLines,
// its warnings added to `warnings` when given.
int importLevelData(QStringView text, int unitDivisor, const QString& databasePath, QStringList* warnings = nullptr);

// Appends one `dat` row per levelling line of a GSI or M5 file: start, end, height difference (m),
// length (km), grade 0. All or nothing, as importLevelData. Returns the rows appended; each line
// whose instrument values disagree with ours adds a warning naming it and both values (it is
// imported as we computed it, never corrected).
int importLevelLines(const std::vector<convert::level::LevelLine>& lines, Connection& connection, QStringList& warnings);

// The warning for a line whose running values disagree with ours.
QString disagreementWarning(const convert::level::LevelLine& line);

}  // namespace korvane::workbench
