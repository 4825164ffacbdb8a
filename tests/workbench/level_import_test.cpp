// "資料->平差資料庫": one dat row per section, chained from-points, distances in kilometres.

#include <gtest/gtest.h>

#include "common/failure.h"
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

TEST(LevelImport, ASectionBeforeAnyLineStartHasAnEmptyFromPointAndFailuresKeepEarlierRows) {
  Database db;
  EXPECT_THROW(importLevelData(kHeader + sectionEnd("v", "TP1", "+00000100", "+0001000"), 10, *db.connection),
               korvane::Failure);  // no End-of-data line
  EXPECT_EQ(db.dat(), QStringList{"|TP1|0.001|0.001|0"});
}
