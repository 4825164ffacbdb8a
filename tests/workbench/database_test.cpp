// Lnet.mdb: created when missing with its tables and columns in order; recordsets whose edits
// reach the database.

#include <gtest/gtest.h>

#include <QFileInfo>

#include "common/failure.h"
#include "workbench_test_support.h"

using namespace korvane::workbench;
using namespace korvane::testing::workbench;

TEST(Database, CreatedWithBothTablesWhenMissingAndReportedWithItsCauseWhenUnreadable) {
  QTemporaryDir folder;
  const QString path = folder.filePath("Lnet.mdb");
  {
    Connection connection(path);
    Recordset dat;
    dat.open(kSelectObservations, connection);
    EXPECT_EQ(dat.fieldNames(), QStringList({"起點", "終點", "高差", "距離", "等級(N√K)"}));
    Recordset cood;
    cood.open(kSelectKnownPoints, connection);
    EXPECT_EQ(cood.fieldNames(), QStringList({"點號", "高程", "標準差"}));
    connection.execute(kInsertObservation, {"BM1", "TP1", 1.5, 0.05});
  }
  Connection again(path);
  EXPECT_EQ(tableRows(again, "dat"), QStringList{"BM1|TP1|1.5|0.05|0"});

  const QString garbage = folder.filePath("garbage.mdb");
  writeBytes(garbage, QByteArray(4096, 'x'));
  try {
    Connection connection(garbage);
    FAIL() << "opened";
  } catch (const korvane::Failure& failure) {
    EXPECT_TRUE(failure.description().contains(garbage) && failure.description().contains("not a database"))
        << failure.description().toStdString();
  }
}

// The project name is kept with the tables; a file from before it was kept opens with none.
TEST(Database, KeepsTheProjectNameAndOpensAnOlderFileWithoutOne) {
  QTemporaryDir folder;
  const QString path = folder.filePath("older.mdb");
  writeHandMadeDatabase(path, kOlderTables + QStringList{"INSERT INTO dat VALUES ('A','B',1,1,0)"});
  {
    Connection connection(path);
    EXPECT_EQ(connection.projectName(), "");
    connection.storeProjectName("新竹 第一期");
    connection.storeProjectName("新竹 第二期");
  }
  Connection again(path);
  EXPECT_EQ(again.projectName(), "新竹 第二期");
  EXPECT_EQ(tableRows(again, "project").size(), 1);
  EXPECT_EQ(tableRows(again, "dat"), QStringList{"A|B|1|1|0"});
}

TEST(Recordset, RowsInInsertionOrderEditsAndDeletesReachTheDatabase) {
  Database db;
  for (const char* name : {"C", "A", "A", "B"}) db.connection->execute(kInsertObservation, {name, "X", 1.0, 0.5});
  db.reopen();
  Recordset& grid = db.observations;
  EXPECT_TRUE(grid.setData(grid.index(1, 2), "-.25"));
  EXPECT_TRUE(grid.removeRows(2, 1));  // one of two rows that were alike
  // Typed on the new-row line: the grid stays on the row it made, the next cell fills it.
  const QPersistentModelIndex editing = grid.index(3, 0);
  EXPECT_TRUE(grid.setData(editing, "BM9"));
  EXPECT_EQ(editing.row(), 3);
  EXPECT_TRUE(grid.setData(grid.index(editing.row(), 1), "Y"));
  EXPECT_EQ(grid.rowCount(), 5);
  EXPECT_EQ(db.dat(), QStringList({"C|X|1|0.5|0", "A|X|-0.25|0.5|0", "B|X|1|0.5|0", "BM9|Y|<null>|<null>|<null>"}));

  // A number field refuses text, in the grid and in the database itself.
  QStringList refused;
  grid.onEditFailure = [&](const QString& description) { refused << description; };
  EXPECT_FALSE(grid.setData(grid.index(0, 3), "12,5"));
  EXPECT_EQ(refused.size(), 1);
  EXPECT_THROW(db.connection->execute("insert into cood values ('P', 'abc', 0)"), korvane::Failure);
}
