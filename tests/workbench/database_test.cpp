// Lnet.mdb: created when missing, its tables and columns in order, recordsets whose edits reach
// the database.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QSqlRecord>

#include "common/failure.h"
#include "workbench/lnet_database.h"
#include "workbench/recordset.h"
#include "workbench_test_support.h"

using namespace korvane::workbench;
using namespace korvane::testing::workbench;

TEST(Database, CreatedWithBothTablesWhenMissing) {
  QTemporaryDir folder;
  const QString path = folder.filePath("Lnet.mdb");
  ASSERT_FALSE(QFileInfo::exists(path));
  {
    Connection connection(path);
    Recordset dat;
    dat.open(kSelectObservations, connection);
    EXPECT_EQ(dat.fieldNames(), QStringList({"起點", "終點", "高差", "距離", "等級(N√K)"}));
    EXPECT_EQ(dat.recordCount(), 0);
    Recordset cood;
    cood.open(kSelectKnownPoints, connection);
    EXPECT_EQ(cood.fieldNames(), QStringList({"點號", "高程", "標準差"}));
    EXPECT_EQ(QList<bool>({dat.isNumberField(0), dat.isNumberField(1), dat.isNumberField(2), dat.isNumberField(4)}),
              QList<bool>({false, false, true, true}));
  }
  EXPECT_TRUE(QFileInfo(path).isFile());
  // The rows inserted by position land in the columns in their order, and stay.
  {
    Connection connection(path);
    connection.execute(kInsertObservation, {"BM1", "TP1", 1.5, 0.05});
  }
  Connection again(path);
  EXPECT_EQ(tableRows(again, "dat"), QStringList{"BM1|TP1|1.5|0.05|0"});
}

TEST(Database, AFileThatCannotBeOpenedIsReportedWithItsCause) {
  QTemporaryDir folder;
  const QString notADatabase = folder.filePath("Lnet.mdb");
  writeBytes(notADatabase, QByteArray("Standard Jet DB").repeated(200));
  try {
    Connection connection(notADatabase);
    FAIL() << "opened";
  } catch (const korvane::Failure& failure) {
    EXPECT_TRUE(failure.description().contains(notADatabase)) << failure.description().toStdString();
    EXPECT_TRUE(failure.description().contains("not a database")) << failure.description().toStdString();
  }
  EXPECT_THROW(Connection(folder.filePath("no/such/folder/Lnet.mdb")), korvane::Failure);
}

TEST(Database, ATableWithOtherColumnsIsRefused) {
  QTemporaryDir folder;
  const QString path = folder.filePath("Lnet.mdb");
  {
    Connection connection(path);
    connection.execute("drop table cood");
    connection.execute("create table cood (name TEXT, height REAL)");
  }
  try {
    Connection connection(path);
    FAIL() << "opened";
  } catch (const korvane::Failure& failure) {
    EXPECT_TRUE(failure.description().contains("cood")) << failure.description().toStdString();
  }
}

TEST(Recordset, RowsInInsertionOrderAndEditsReachTheDatabase) {
  Database db;
  for (const char* name : {"C", "A", "B"}) db.connection->execute(kInsertObservation, {name, "X", 1.0, 0.5});
  db.reopen();
  EXPECT_EQ(recordsetRows(db.observations), QStringList({"C|X|1|0.5|0", "A|X|1|0.5|0", "B|X|1|0.5|0"}));

  // A cell changed in the grid, a duplicate row deleted alone, a row typed on the new-row line.
  Recordset& grid = db.observations;
  EXPECT_TRUE(grid.setData(grid.index(1, 2), "-.25"));
  db.connection->execute(kInsertObservation, {"A", "X", -0.25, 0.5});
  db.reopen();
  ASSERT_EQ(grid.recordCount(), 4);
  EXPECT_TRUE(grid.removeRows(1, 1));
  EXPECT_EQ(db.dat(), QStringList({"C|X|1|0.5|0", "B|X|1|0.5|0", "A|X|-0.25|0.5|0"}));
  EXPECT_EQ(grid.rowCount(), 4);  // three rows and the new-row line
  EXPECT_EQ(grid.headerData(3, Qt::Vertical).toString(), "*");
  EXPECT_TRUE(grid.setData(grid.index(3, 0), "BM9"));
  EXPECT_TRUE(grid.setData(grid.index(3, 3), "1E-05"));
  EXPECT_EQ(db.dat().last(), "BM9|<null>|<null>|1e-05|<null>");
  EXPECT_EQ(grid.data(grid.index(3, 3)).toString(), "1E-05");
  EXPECT_EQ(grid.rowCount(), 5);
}

TEST(Recordset, ANumberFieldRefusesText) {
  Database db;
  QStringList refused;
  db.knownPoints.onEditFailure = [&](const QString& description) { refused << description; };
  Recordset& grid = db.knownPoints;
  EXPECT_TRUE(grid.setData(grid.index(0, 0), "BM1"));
  EXPECT_FALSE(grid.setData(grid.index(0, 1), "12,5"));
  ASSERT_EQ(refused.size(), 1);
  EXPECT_TRUE(refused[0].contains("12,5"));
  EXPECT_EQ(db.cood(), QStringList{"BM1|<null>|<null>"});
  // The database itself refuses a text in a number column.
  EXPECT_THROW(db.connection->execute("insert into cood values ('P', 'abc', 0)"), korvane::Failure);
  // Nothing typed on the new-row line adds no row.
  EXPECT_FALSE(grid.setData(grid.index(1, 0), ""));
  EXPECT_EQ(grid.recordCount(), 1);
}
