#pragma once
// The adjustment database `Lnet.mdb`: an SQLite file in the program folder with the tables `dat`
// (levelled height differences) and `cood` (known points), their columns in a fixed order.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace korvane::workbench {

inline const QString kDatabaseFileName = QStringLiteral("Lnet.mdb");

// The tables and their columns, in order. Rows of `dat` are inserted by position.
inline const QString kObservationTable = QStringLiteral("dat");
inline const QString kKnownPointTable = QStringLiteral("cood");
inline const QStringList kObservationColumns = {QStringLiteral("起點"), QStringLiteral("終點"), QStringLiteral("高差"),
                                               QStringLiteral("距離"), QStringLiteral("等級(N√K)")};
inline const QStringList kKnownPointColumns = {QStringLiteral("點號"), QStringLiteral("高程"), QStringLiteral("標準差")};

// The statements the workbench and the import run.
inline const QString kSelectObservations = QStringLiteral("select * from dat");
inline const QString kSelectKnownPoints = QStringLiteral("select * from cood");
inline const QString kDeleteObservations = QStringLiteral("delete from dat");
inline const QString kDeleteKnownPoints = QStringLiteral("delete from cood");
// The import's row: from-point, to-point, height difference (m), distance (km), grade 0.
inline const QString kInsertObservation = QStringLiteral("Insert into dat values (?,?,?,?,0)");

// The project name kept with the tables: a table of one row, created when missing, so a file
// without it opens with an empty name.
inline const QString kProjectTable = QStringLiteral("project");

// `Lnet.mdb` in the program folder.
QString defaultDatabasePath();

// One open connection to the database. Opening creates the file with both tables when it is
// missing, and a missing table in an existing file.
class Connection {
 public:
  // Throws Failure naming the file and the cause when it cannot be opened, is no database, or
  // holds a table whose columns are not those of the workbench.
  explicit Connection(const QString& path);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  const QString& path() const { return path_; }
  bool isOpen() const;
  void close();
  QSqlDatabase database() const;

  // Runs a statement with its values bound in order; throws Failure with the database's cause.
  void execute(const QString& statement, const QVariantList& values = {});

  // The project name stored with the tables (empty when none was stored); storing replaces it.
  // Throw Failure with the database's cause.
  QString projectName();
  void storeProjectName(const QString& name);

  // All or nothing: what is stored while a transaction is open is kept by commit() only; a
  // transaction that ends without it (a failure) takes back everything stored since it began.
  class Transaction {
   public:
    // Throws Failure with the database's cause when no transaction can begin.
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Throws Failure with the database's cause; everything is taken back then.
    void commit();
    void rollback();

   private:
    Connection& connection_;
    bool open_ = false;
  };

 private:
  void prepareTables();

  QString path_;
  QString name_;
};

}  // namespace korvane::workbench
