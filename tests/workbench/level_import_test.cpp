// "資料->平差資料庫": one dat row per section, chained from-points, distances in kilometres.

#include <gtest/gtest.h>

#include "common/failure.h"
#include "convert/level/level_lines_data.h"
#include "workbench/level_import.h"
#include "workbench_test_support.h"

using namespace korvane::workbench;
using namespace korvane::testing::workbench;
using namespace korvane::testing::workbench::dl100c;

TEST(LevelImport, SectionsChainFromTheStartPointWithDistancesInKilometres) {
  Database db;
  const QString download = kHeader + lineStart("BM1") + sight("g", "BM1") + sight("j", "TP1") +
                           sectionEnd("v", "TP1", "+00013130", "+0050320") + sight("k", "P7") +
                           sectionEnd("v", "TP2", "-00000123", "+0025000") + record("t", {}) +
                           sectionEnd("w", "BM2", "-00111785", "+0059990") + kEnd;
  EXPECT_EQ(importLevelData(download, 10, *db.connection), 3);
  EXPECT_EQ(db.dat(), QStringList({"BM1|TP1|0.1313|0.05032|0", "TP1|TP2|-0.00123|0.025|0",
                                   "TP2|BM2|-1.11785|0.05999|0"}));
}

TEST(LevelImport, NamesAreStoredAsTheyStandApostrophesIncluded) {
  Database db;
  importLevelData(kHeader + lineStart("O'Neil") + sectionEnd("w", "x'); delete from cood; --", "+00000100", "+0001000") +
                      kEnd,
                  10, *db.connection);
  EXPECT_EQ(db.dat(), QStringList{"O'Neil|x'); delete from cood; --|0.001|0.001|0"});
}

TEST(LevelImport, ASectionBeforeAnyLineStartHasAnEmptyFromPoint) {
  Database db;
  importLevelData(kHeader + sectionEnd("v", "TP1", "+00000100", "+0001000") + kEnd, 10, *db.connection);
  EXPECT_EQ(db.dat(), QStringList{"|TP1|0.001|0.001|0"});
}

// All or nothing: a failing record anywhere adds no row at all, and the message names its line
// and says so; the corrected data then goes in once.
TEST(LevelImport, AFailureAddsNoRowAndNamesTheLine) {
  struct Case {
    QString faulty;
    QString where;
  };
  const QString good = lineStart("BM1") + sectionEnd("v", "TP1", "+00000100", "+0001000");
  const QString bad = QStringLiteral("c,00,JOB,x\r\n");
  for (const Case& c : {
           Case{kHeader + good, "第 4 行中斷"},  // no End-of-data line
           Case{kHeader + good + bad + kEnd, "第 4 行"},  // a "c" record without "+"
           Case{kHeader + good + sectionEnd("w", "BM2", "+1e999", "+0001000") + kEnd, "第 4 行的f4 區間高程差"},
           Case{kHeader + good + sectionEnd("w", "BM2", "+00000100", QString(400, u'9')) + kEnd, "第 4 行的f6 區間距離"},
           // Finite, but beyond the work file's fields: dh F10.5, dist F10.3 (km).
           Case{kHeader + good + sectionEnd("w", "BM2", "+2000000000", "+0001000") + kEnd, "「高差」的數值 20000"},
           Case{kHeader + good + sectionEnd("w", "BM2", "+00000100", "+1e13") + kEnd, "「距離」的數值 1000000"},
           // A report converted from a download, and any other text: no record line at all.
           Case{"  JOB:JOB1     起始點:BM1      已知高程:25.43210\r\n\r\nBM1    25.340            1.45230\r\n"
                "TP1              24.980                   1.32100\r\n",
                "不是 DL-100C 的下載資料"},
           Case{"", "不是 DL-100C 的下載資料"},
       }) {
    SCOPED_TRACE(c.where.toStdString());
    Database db;
    db.connection->execute(kInsertObservation, {"A", "B", 1.0, 1.0});
    try {
      importLevelData(c.faulty, 10, *db.connection);
      ADD_FAILURE() << "no failure";
    } catch (const korvane::Failure& failure) {
      EXPECT_TRUE(failure.description().contains(c.where)) << failure.description().toStdString();
      EXPECT_TRUE(failure.description().endsWith("平差資料庫沒有加入任何資料。")) << failure.description().toStdString();
    }
    EXPECT_EQ(db.dat(), QStringList{"A|B|1|1|0"});
    EXPECT_EQ(importLevelData(kHeader + good + kEnd, 10, *db.connection), 1);
    EXPECT_EQ(db.dat(), QStringList({"A|B|1|1|0", "BM1|TP1|0.001|0.001|0"}));
  }
}

// The workspace of the window holding a GSI file (told from its content): one row per levelling
// line, the flagged line warned of and imported as computed; a damaged file adds nothing.
TEST(LevelImport, WorkspaceWithGsiLinesAddsOneRowPerLine) {
  using namespace korvane::testing::levels;
  Database db;
  const std::vector<Station> stations = {{"A", "TP1", {1.5}, {1.3}, 15, 15}, {"TP1", "TP2", {1.0}, {1.1}, 25, 25},
                                         {"TP2", "B", {1.2}, {1.25}, 20, 20}};
  const std::string gsi = gsiFile({{1, 100, stations, {1}}, {1, 100, {{"B", "A", {1.25}, {1.4}, 30, 30}}, {}}});
  QStringList warnings;
  EXPECT_EQ(importLevelData(QString::fromLatin1(gsi), 10, db.path, &warnings), 2);
  EXPECT_EQ(db.dat(), QStringList({"A|B|0.15|0.07|0", "B|A|-0.15|0.06|0"}));
  ASSERT_EQ(warnings.size(), 1);
  EXPECT_TRUE(warnings[0].contains("A → B") && warnings[0].contains("0.05000")) << warnings[0].toStdString();

  std::string damaged = gsi;
  damaged.replace(damaged.rfind("332.08+") + 7, 1, "x");
  EXPECT_THROW(importLevelData(QString::fromLatin1(damaged), 10, db.path), korvane::Failure);
  EXPECT_EQ(db.dat().size(), 2);
}
