// How the network analysis runs for the workbench: away from the window's thread, with its
// progress shown and a cancel that stops it wherever it is while the window keeps answering;
// a new request while a run goes on replaces it. The workbench's button "網形分析" opens the
// window, which takes input while the workbench is modal.

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "analysis_window_support.h"
#include "fakes/scripted_port.h"
#include "shell/deformation_window.h"
#include "shell/main_window.h"
#include "shell/workbench_window.h"
#include "workbench/network_analysis_runner.h"

using namespace korvane::shell;
using namespace korvane::testing::workbench;
using korvane::workbench::NetworkAnalysisRequest;
using korvane::testing::RecordingMessages;
using korvane::workbench::ThreadedNetworkAnalysisRunner;

namespace {

// The real analysis, held at one stage until it is cancelled (so that the cancel comes in the
// middle of the run however fast the machine is), noting every stage it reaches.
struct HeldAnalysis {
  std::string holdAt;
  std::atomic<int> runs{0};
  std::atomic<int> stagesAfterCancel{0};
  std::atomic<bool> held{false};

  ThreadedNetworkAnalysisRunner::Job job() {
    return [this](const NetworkAnalysisRequest& request, const korvane::analysis::Progress& progress) {
      const bool hold = runs++ == 0;
      korvane::analysis::Progress watched = progress;
      watched.report = [this, hold, &progress](std::string_view stage, double done) {
        if (progress.cancel->load()) ++stagesAfterCancel;
        progress.report(stage, done);
        if (hold && stage == holdAt) {
          held = true;
          for (int i = 0; i < 6000 && !progress.cancel->load(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
      };
      return korvane::workbench::runNetworkAnalysis(request, watched);
    };
  }
};

}  // namespace

TEST(NetworkAnalysisRun, CancelStopsALongRunAtAnyStageAndTheWindowKeepsAnswering) {
  QTemporaryDir shared;
  const QString grid = shared.filePath("grid.mdb");
  writeGrid(grid, 150, 140);  // 21,000 points
  for (const char* stage : {"reading", "checks", "adjustment"}) {
    SCOPED_TRACE(stage);
    HeldAnalysis analysis;
    analysis.holdAt = stage;
    AnalysisWindowFixture f(std::make_unique<ThreadedNetworkAnalysisRunner>(analysis.job()));
    f.window->show();
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);

    f.window->analyse(grid, "大網");
    EXPECT_TRUE(f.window->isRunning());
    QProgressBar* progress = f.find<QProgressBar>("AnalysisProgress");
    QPushButton* cancel = f.find<QPushButton>("CancelAnalysis");
    ASSERT_TRUE(QTest::qWaitFor([&] { return analysis.held && cancel->isVisible(); }, kRunWaitMs));
    EXPECT_TRUE(progress->isVisible());
    EXPECT_TRUE(f.window->statusText().startsWith("分析中：")) << f.window->statusText().toStdString();
    const int ticksBefore = ticks;
    QTest::qWait(100);
    EXPECT_GT(ticks, ticksBefore + 3) << "the window's thread waits for the analysis";

    QTest::mouseClick(cancel, Qt::LeftButton);
    f.waitForTheRun();
    EXPECT_EQ(analysis.stagesAfterCancel, 0) << "the analysis went on after the cancel";
    EXPECT_FALSE(f.window->result());
    EXPECT_TRUE(f.window->problemText().contains("分析已取消")) << f.window->problemText().toStdString();
    EXPECT_FALSE(progress->isVisible());
    EXPECT_FALSE(cancel->isVisible());
    EXPECT_TRUE(f.find<QPushButton>("Recompute")->isEnabled());
  }
}

TEST(NetworkAnalysisRun, ANewRequestReplacesTheRunThatGoesOnAndACancelKeepsTheLastResult) {
  HeldAnalysis analysis;
  analysis.holdAt = "checks";
  AnalysisWindowFixture f(std::make_unique<ThreadedNetworkAnalysisRunner>(analysis.job()));
  writeRows(f.database, kPlantedRows, kPlantedKnown);
  QTemporaryDir other;
  const QString grid = other.filePath("grid.mdb");
  writeGrid(grid, 60, 50);

  f.window->analyse(grid, "大網");
  ASSERT_TRUE(QTest::qWaitFor([&] { return bool(analysis.held); }, kRunWaitMs));
  f.window->analyse(f.database, "示範網");  // cancels the held run, then runs this one
  f.waitForTheRun();
  ASSERT_TRUE(f.window->result()) << f.window->problemText().toStdString();
  EXPECT_EQ(f.window->result()->points.size(), 7u);
  EXPECT_EQ(f.window->result()->title, "示範網");
  EXPECT_EQ(analysis.runs, 2);

  // A recomputation cancelled before its end leaves the last result in view and says so.
  HeldAnalysis again;
  again.holdAt = "adjustment";
  AnalysisWindowFixture g(std::make_unique<ThreadedNetworkAnalysisRunner>(again.job()));
  writeRows(g.database, kPlantedRows, kPlantedKnown);
  again.runs = 1;  // the first run goes through
  g.analyse();
  ASSERT_TRUE(g.window->result());
  again.runs = 0;  // the next one is held
  g.window->recompute();
  ASSERT_TRUE(QTest::qWaitFor([&] { return bool(again.held); }, kRunWaitMs));
  g.window->cancel();
  g.waitForTheRun();
  ASSERT_TRUE(g.window->result());
  EXPECT_TRUE(g.window->problemText().isEmpty());
  EXPECT_EQ(g.window->statusText(), "分析已取消；顯示的是上一次的結果。");
}

// The workbench's command row gains "網形分析" after "平差"; it analyses the workbench's own
// database under its project name in a window of its own, which takes input (a click through
// the window system) while the workbench is window-modal over the Main window.
TEST(NetworkAnalysisRun, TheWorkbenchButtonOpensTheWindowThatStaysUsableBesideTheModalWorkbench) {
  QTemporaryDir home;
  qputenv("KORVANE_HOME", home.path().toLocal8Bit());
  const QString database = home.filePath("Lnet.mdb");
  writeRows(database, kPlantedRows, kPlantedKnown);
  RecordingMessages messages;
  korvane::testing::ScriptedPort port;
  ScriptedDialogs dialogs;
  ScriptedModal modal;
  WindowServices services;
  services.fileDialogs = &dialogs;
  services.modalShow = &modal;
  const ScreenMetrics screen{15360, 11520, 96.0, 96.0};
  MainWindow main(messages, port, &screen, services);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  NetworkAnalysisWindow& analysis = main.workbench().analysisWindow();

  modal.steps = [&](WorkbenchWindow& form) {
    QStringList row;
    auto* commands = form.findChild<QWidget*>("Frame3");
    for (int i = 0; i < commands->layout()->count(); ++i) {
      if (auto* button = qobject_cast<QPushButton*>(commands->layout()->itemAt(i)->widget())) row << button->text();
    }
    EXPECT_EQ(row, QStringList({"資料讀入", "平差檔建立", "平差", "網形分析", "變形分析", "平差資料清除", "已知點資料清除", "結束"}));

    form.setWindowModality(Qt::WindowModal);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.setProjectName("示範網");
    form.findChild<QPushButton*>("SSCommand7")->click();
    ASSERT_TRUE(analysis.isVisible());
    EXPECT_TRUE(analysis.isWindow());
    EXPECT_EQ(analysis.parentWidget(), nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&analysis));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !analysis.isRunning(); }, kRunWaitMs));
    ASSERT_TRUE(analysis.result()) << analysis.problemText().toStdString();
    EXPECT_EQ(analysis.result()->title, "示範網");
    EXPECT_EQ(analysis.result()->sourceName, database.toStdString());

    // A click through the window system reaches the analysis window's tabs, not the Main window's
    // button, while the workbench is modal.
    int blockedClicks = 0;
    QPushButton* download = main.findChild<QPushButton*>("cDownload");
    download->setEnabled(true);
    QObject::connect(download, &QPushButton::pressed, [&] { ++blockedClicks; });
    auto clickThroughWindowSystem = [](QWidget* widget, QPoint at) {
      QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                        widget->mapTo(widget->window(), at));
    };
    clickThroughWindowSystem(download, download->rect().center());
    EXPECT_EQ(blockedClicks, 0) << "the Main window should be blocked by the window-modal workbench";
    QTabBar* tabs = analysis.tabs().tabBar();
    clickThroughWindowSystem(tabs, tabs->tabRect(AnalysisTabs::Observations).center());
    EXPECT_EQ(analysis.tabs().currentIndex(), AnalysisTabs::Observations);

    // 變形分析 opens its own window, where the workbench's database is the current one.
    DeformationWindow& deformation = main.workbench().deformationWindow();
    form.findChild<QPushButton*>("SSCommand8")->click();
    EXPECT_TRUE(deformation.isVisible());
    EXPECT_EQ(deformation.parentWidget(), nullptr);
    deformation.findChild<QPushButton*>("AddCurrentDatabase")->click();
    ASSERT_EQ(deformation.epochs().size(), 1u);
    EXPECT_EQ(deformation.epochs()[0].source, "db:" + QFileInfo(database).absoluteFilePath());
    deformation.close();
    form.close();
  };
  main.showWorkbench();
  EXPECT_EQ(modal.shown, 1);
  analysis.close();
  qunsetenv("KORVANE_HOME");
}
