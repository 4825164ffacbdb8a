#pragma once
// Helpers of the network analysis window's tests: a small levelling network with a planted
// error written into a fresh database, a large grid network, the window with recording
// services, and the cells of its tables by column caption.

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

#include "fakes/recording_messages.h"
#include "shell/analysis_tabs.h"
#include "shell/network_analysis_window.h"
#include "shell/qt_services.h"
#include "window_support.h"
#include "workbench/lnet_database.h"

namespace korvane::testing::workbench {

struct DatRow {
  QString from;
  QString to;
  double dh;        // m
  double distance;  // km
  double grade;     // m per square root of a km
};
struct CoodRow {
  QString name;
  double height;
  double sigma;
};

// Seven points, two of them benchmarks, eleven sections in five meshes, grade weighting, small
// errors of a millimetre or less, and 30 mm planted in row 5 (C -> D, truly 0.9000 m). Every
// loop through C-D misses its tolerance (12 mm sqrt(K), K <= 3.5 km); the others close within
// 1.5 mm.
inline const std::vector<DatRow> kPlantedRows = {
    {"BM1", "A", 0.5004, 1.0, 0.003}, {"A", "B", 0.6993, 1.2, 0.003},  {"B", "BM2", 0.8006, 0.9, 0.003},
    {"BM1", "C", 0.7995, 1.1, 0.003}, {"C", "D", 0.9302, 1.0, 0.003},  {"D", "BM2", 0.2996, 0.8, 0.003},
    {"A", "C", 0.3003, 0.7, 0.003},   {"B", "D", 0.4998, 0.6, 0.003},  {"C", "E", 0.2004, 0.9, 0.003},
    {"E", "B", 0.1997, 1.0, 0.003},   {"D", "E", -0.7002, 1.1, 0.003},
};
inline const std::vector<CoodRow> kPlantedKnown = {{"BM1", 100.0, 0.0}, {"BM2", 102.0, 0.0}};
inline constexpr int kPlantedObservation = 4;  // 0-based: row 5

inline void writeRows(const QString& databasePath, const std::vector<DatRow>& dat, const std::vector<CoodRow>& cood) {
  korvane::workbench::Connection connection(databasePath);
  korvane::workbench::Connection::Transaction transaction(connection);
  for (const DatRow& row : dat) {
    connection.execute(QStringLiteral("insert into dat values (?,?,?,?,?)"),
                       {row.from, row.to, row.dh, row.distance, row.grade});
  }
  for (const CoodRow& row : cood) {
    connection.execute(QStringLiteral("insert into cood values (?,?,?)"), {row.name, row.height, row.sigma});
  }
  transaction.commit();
}

// A grid of columns x rows points, sections along the rows and up every other column, a fixed
// benchmark every 30 points each way: a network that takes a while.
inline void writeGrid(const QString& databasePath, int columns, int rows) {
  std::vector<DatRow> dat;
  std::vector<CoodRow> cood;
  auto name = [](int r, int c) { return QStringLiteral("G%1-%2").arg(r).arg(c); };
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      if (c + 1 < columns) dat.push_back({name(r, c), name(r, c + 1), 0.010 + 0.001 * ((r * 7 + c) % 5), 0.8, 0.003});
      if (r + 1 < rows && c % 2 == 0) dat.push_back({name(r, c), name(r + 1, c), 0.020, 0.9, 0.003});
      if (r % 30 == 0 && c % 30 == 0) cood.push_back({name(r, c), 100.0 + 0.01 * r + 0.01 * c, 0.0});
    }
  }
  writeRows(databasePath, dat, cood);
}

inline constexpr int kRunWaitMs = 60000;

// The window with recording message boxes, answering file dialogs and the real printer (which
// a test points at a PDF file), on a database of its own.
struct AnalysisWindowFixture {
  QTemporaryDir folder;
  QString database = folder.filePath(QStringLiteral("Lnet.mdb"));
  RecordingMessages messages;
  ScriptedDialogs dialogs;
  shell::QtPrinting printing;
  std::unique_ptr<shell::NetworkAnalysisWindow> window;

  explicit AnalysisWindowFixture(std::unique_ptr<korvane::workbench::NetworkAnalysisRunner> runner = nullptr)
      : window(std::make_unique<shell::NetworkAnalysisWindow>(messages, dialogs, printing, std::move(runner))) {}

  // Analyses the database and waits for the end of the run.
  void analyse(const QString& title = QStringLiteral("示範網")) {
    window->analyse(database, title);
    waitForTheRun();
  }
  void recompute() {
    window->recompute();
    waitForTheRun();
  }
  void waitForTheRun() {
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->isRunning(); }, kRunWaitMs)) << "the analysis did not end";
  }
  QString file(const char* name) const { return folder.filePath(QString::fromUtf8(name)); }

  template <typename T>
  T* find(const char* name) {
    T* widget = window->findChild<T*>(QString::fromLatin1(name));
    if (!widget) ADD_FAILURE() << "no control " << name;
    return widget;
  }
  QTableView* table(const char* name) { return find<QTableView>(name); }
};

// The column of a table with this caption, or -1.
inline int columnOf(const QAbstractItemModel& model, const QString& caption) {
  for (int column = 0; column < model.columnCount(); ++column) {
    if (model.headerData(column, Qt::Horizontal).toString() == caption) return column;
  }
  ADD_FAILURE() << "no column " << caption.toStdString();
  return -1;
}

// The text of a cell as the view shows it (in the view's order), by row and column caption.
inline QString cell(QTableView* view, int row, const QString& caption) {
  const QAbstractItemModel& model = *view->model();
  return model.index(row, columnOf(model, caption)).data().toString();
}

inline QVariant cellRole(QTableView* view, int row, const QString& caption, int role) {
  const QAbstractItemModel& model = *view->model();
  return model.index(row, columnOf(model, caption)).data(role);
}

}  // namespace korvane::testing::workbench
