#include <gtest/gtest.h>

#include "fakes/manual_timer.h"
#include "fakes/recording_messages.h"
#include "fakes/scripted_port.h"
#include "link/download_transfer.h"

using namespace korvane::link;
using korvane::testing::ManualTimer;
using korvane::testing::RecordingMessages;
using korvane::testing::ScriptedPort;

namespace {

class FakeWindow : public DownloadSurface {
 public:
  QString seriesText() const override { return series; }
  PortListTexts portLists() const override { return lists; }
  void setWorkspaceText(const QString& text) override { workspace = text; }
  void setAnimationPlaying(bool playing) override { animating = playing; }
  void setDownloadBreakEnabled(bool enabled) override { breakEnabled = enabled; }
  korvane::Messages& messages() override { return shown; }

  QString series = kSeriesGts200;
  PortListTexts lists{"COM1", "9600", "8bit/None", "1"};
  QString workspace = "old text";
  bool animating = false;
  bool breakEnabled = false;
  RecordingMessages shown;
};

struct Rig {
  ScriptedPort port;
  std::vector<bool> indicator;  // every update of the connection indicator: true = open
  PortConnection connection{port, [this](bool open) { indicator.push_back(open); }};
  ManualTimer timer;
  FakeWindow window;
  DownloadTransfer transfer{connection, timer, window};
};

}  // namespace

TEST(DownloadTransfer, StartOpensThePortAndWaits) {
  Rig rig;
  rig.window.series = kSeriesDl100c;
  rig.window.lists = {"COM2", "4800", "7bit/None", "1"};
  rig.transfer.start();
  EXPECT_TRUE(rig.port.isOpen());
  EXPECT_EQ(rig.port.openedSettings, "4800,N,7,1");
  EXPECT_EQ(rig.indicator, std::vector<bool>{true});
  EXPECT_TRUE(rig.timer.isEnabled());
  EXPECT_EQ(rig.timer.interval(), 100);
  EXPECT_TRUE(rig.window.breakEnabled);
  EXPECT_TRUE(rig.window.animating);
  EXPECT_EQ(rig.window.workspace, " DownLoad Now !! Please Waiting...");
  EXPECT_TRUE(rig.window.shown.shown.empty());
}

TEST(DownloadTransfer, UnknownSeriesKeepsTheInterval) {
  Rig rig;
  rig.window.series = "something else";
  rig.timer.setInterval(42);
  rig.transfer.start();
  EXPECT_EQ(rig.timer.interval(), 42);
  EXPECT_TRUE(rig.timer.isEnabled());
}

TEST(DownloadTransfer, EndShowsTheDataClosesThePortAndStops) {
  Rig rig;
  rig.transfer.start();
  rig.port.chunks = {" data\r\n", "", "more\x04 "};
  for (int i = 0; i < 3; ++i) rig.transfer.tick();
  EXPECT_EQ(rig.window.workspace, QString("data\r\nmore\x04"));
  ASSERT_EQ(rig.window.shown.shown.size(), 1u);
  EXPECT_EQ(rig.window.shown.shown[0].kind, "information");
  EXPECT_EQ(rig.window.shown.shown[0].title, "訊息");
  EXPECT_EQ(rig.window.shown.shown[0].text, "下載完畢");
  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_EQ(rig.indicator, (std::vector<bool>{true, false}));
  EXPECT_FALSE(rig.timer.isEnabled());
  EXPECT_FALSE(rig.window.breakEnabled);
  EXPECT_FALSE(rig.window.animating);
}

TEST(DownloadTransfer, TicksDuringTheEndMessageDoNothingAndTheEndRunsOnce) {
  Rig rig;
  rig.transfer.start();
  rig.port.chunks = {"a\x04", "b\x04"};
  int nested = 0;
  rig.window.shown.whileOpen = [&] {
    ++nested;
    rig.transfer.tick();  // the timer fires while the message box is open
  };
  rig.transfer.tick();
  rig.transfer.tick();  // after the end: the timer is off
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(rig.window.shown.texts(), QStringList{"下載完畢"});
  EXPECT_EQ(rig.port.chunks.size(), 1u);  // the second chunk was never read
}

TEST(DownloadTransfer, InterruptEmptiesTheWorkspaceAndClosesThePort) {
  Rig rig;
  rig.transfer.start();
  rig.port.chunks = {"partial data"};
  rig.transfer.tick();
  rig.transfer.interrupt();
  EXPECT_TRUE(rig.window.workspace.isEmpty());
  EXPECT_EQ(rig.window.shown.texts(), QStringList{"下載中斷"});
  EXPECT_EQ(rig.window.shown.shown[0].title, "訊息");
  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_FALSE(rig.timer.isEnabled());
  EXPECT_FALSE(rig.window.breakEnabled);
  EXPECT_FALSE(rig.window.animating);
  EXPECT_EQ(rig.indicator.back(), false);
  EXPECT_EQ(rig.transfer.session().dataBuffer(), "partial data");  // kept, not shown
}

TEST(DownloadTransfer, PortThatCannotOpenIsReportedAndNothingStarts) {
  Rig rig;
  rig.port.openError = "無法開啟連接埠 /dev/ttyS0";
  rig.transfer.start();
  ASSERT_EQ(rig.window.shown.shown.size(), 1u);
  EXPECT_EQ(rig.window.shown.shown[0].kind, "critical");
  EXPECT_EQ(rig.window.shown.shown[0].title, "Error");
  EXPECT_EQ(rig.window.shown.shown[0].text, "無法開啟連接埠 /dev/ttyS0");
  EXPECT_FALSE(rig.timer.isEnabled());
  EXPECT_EQ(rig.window.workspace, "old text");
}

TEST(DownloadTransfer, FailingTickStopsButLeavesThePortOpen) {
  Rig rig;
  rig.transfer.start();
  rig.port.readError = "read failed: device unplugged";
  rig.transfer.tick();
  EXPECT_EQ(rig.window.shown.shown.back().kind, "critical");
  EXPECT_EQ(rig.window.shown.shown.back().text, "read failed: device unplugged");
  EXPECT_FALSE(rig.timer.isEnabled());
  EXPECT_FALSE(rig.window.breakEnabled);
  EXPECT_FALSE(rig.window.animating);
  EXPECT_TRUE(rig.port.isOpen());
  EXPECT_EQ(rig.window.workspace, " DownLoad Now !! Please Waiting...");
}

TEST(DownloadTransfer, UndecodableBytesAreShownAfterTheEnd) {
  Rig rig;
  rig.transfer.start();
  rig.port.chunks = {"ok \x81\x04 \xFE"};
  rig.transfer.tick();
  EXPECT_EQ(rig.window.shown.texts().first(), "下載完畢");
  ASSERT_EQ(rig.window.shown.shown.size(), 2u);
  EXPECT_EQ(rig.window.shown.shown[1].kind, "exclamation");
  EXPECT_TRUE(rig.window.shown.shown[1].text.contains("2"));
  EXPECT_TRUE(rig.window.workspace.contains(QChar(0xFFFD)));
}
