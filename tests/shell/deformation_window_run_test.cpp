// The deformation window with the monitoring itself, on the four yearly epochs of the subsidence
// example: the run off the window's thread fills the tabs and marks the sinking benchmarks, and
// epochs out of date order come back as the monitoring's own message in a box.

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "fakes/recording_messages.h"
#include "shell/deformation_pictures.h"
#include "shell/deformation_tabs.h"
#include "shell/deformation_window.h"

using namespace korvane::shell;

namespace {

class NoDialogs : public FileDialogs {
 public:
  bool showOpen(CommonDialog&, QWidget*) override { return false; }
  bool showSave(CommonDialog&, QWidget*) override { return false; }
};

class NoPrinter : public Printing {
 public:
  void setUp(QWidget*) override {}
  void print(const QString&, const QFont&) override {}
};

const std::pair<const char*, const char*> kEpochs[] = {
    {"2021-03-15", "epoch-2021.dat"}, {"2022-03-20", "epoch-2022.dat"},
    {"2023-03-18", "epoch-2023.dat"}, {"2024-03-22", "epoch-2024.dat"}};

QString examplePath(const char* file) { return QStringLiteral(KORVANE_EXAMPLES "/subsidence/") + QString::fromLatin1(file); }

struct DeformationRunTest : ::testing::Test {
  korvane::testing::RecordingMessages messages;
  NoDialogs dialogs;
  NoPrinter printer;
  DeformationWindow window{messages, dialogs, printer};

  void run() {
    window.findChild<QPushButton*>(QStringLiteral("RunDeformation"))->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isRunning(); }, 60000)) << "the monitoring did not end";
  }
};

TEST_F(DeformationRunTest, TheSubsidenceExampleFillsTheTabsAndMarksTheSinkingBenchmarks) {
  for (const auto& [date, file] : kEpochs) window.addEpoch(QString::fromLatin1(date), examplePath(file));
  run();
  ASSERT_TRUE(window.result()) << (messages.shown.empty() ? std::string() : messages.shown[0].text.toStdString());
  const auto& result = *window.result();
  EXPECT_EQ(window.findChild<QTableView*>(QStringLiteral("EpochChecksTable"))->model()->rowCount(), 4);
  QTableView* velocities = window.findChild<QTableView*>(QStringLiteral("VelocitiesTable"));
  ASSERT_EQ(velocities->model()->rowCount(), int(result.velocities.size()));
  int flagged = 0;
  for (int row = 0; row < velocities->model()->rowCount(); ++row) {
    const bool moving = velocityFlagged(result.velocities[row]);
    flagged += moving;
    EXPECT_EQ(velocities->model()->index(row, 0).data(Qt::BackgroundRole).isValid(), moving) << row;
    if (moving) {
      EXPECT_LT(*result.velocities[row].velocityMmPerYear, 0.0) << row;  // the example only sinks
    }
  }
  EXPECT_EQ(flagged, 3);
  EXPECT_EQ(window.tabs().chart().seriesCount(), 3);
  EXPECT_EQ(window.tabs().map().places().size(), result.benchmarks.size());
}

TEST_F(DeformationRunTest, EpochsOutOfDateOrderAreRefusedWithTheMonitoringsMessage) {
  window.addEpoch(QStringLiteral("2022-03-20"), examplePath("epoch-2022.dat"));
  window.addEpoch(QStringLiteral("2021-03-15"), examplePath("epoch-2021.dat"));
  run();
  EXPECT_FALSE(window.result());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].kind, QStringLiteral("critical"));
  EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("2021-03-15"))) << messages.shown[0].text.toStdString();
  EXPECT_EQ(window.epochs().size(), 2u);
}

}  // namespace
