#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "fakes/manual_timer.h"
#include "fakes/recording_messages.h"
#include "fakes/scripted_port.h"
#include "link/series.h"
#include "link/upload_transfer.h"

using namespace korvane::link;
using korvane::testing::ManualTimer;
using korvane::testing::RecordingMessages;
using korvane::testing::ScriptedPort;

namespace {

class FakeWindow : public UploadSurface {
 public:
  QString seriesText() const override { return series; }
  PortListTexts portLists() const override { return lists; }
  void setWorkspaceText(const QString& text) override { workspace = text; }
  void setAnimationPlaying(bool playing) override { animating = playing; }
  korvane::Messages& messages() override { return shown; }
  QString workspaceText() const override { return workspace; }
  UploadOption uploadOption() const override { return option; }
  void setUploadBreakEnabled(bool enabled) override { breakEnabled = enabled; }
  void showUploadProgress(int sent, int remaining) override { progress = {sent, remaining}; }
  QString programFolder() const override { return folder.path(); }
  void yieldToEvents() override {}

  QString series = kSeriesGts600;
  PortListTexts lists{"COM1", "1200", "8bit/None", "1"};
  QString workspace;
  UploadOption option = UploadOption::NameXY;
  bool animating = false;
  bool breakEnabled = false;
  std::pair<int, int> progress{-1, -1};
  RecordingMessages shown;
  QTemporaryDir folder;
};

struct Rig {
  ScriptedPort port;
  PortConnection connection{port, nullptr};
  ManualTimer timer;
  FakeWindow window;
  UploadTransfer transfer{connection, timer, window};

  // Ticks until the upload stops (at most `limit` ticks); the number of ticks taken.
  int run(int limit = 50) {
    int ticks = 0;
    while (transfer.isRunning() && ticks < limit) {
      transfer.tick();
      ++ticks;
    }
    return ticks;
  }
  // What was written, writes separated by '|'.
  QByteArray writes;
};

const QByteArray kEot("\x04");
const QByteArray kStartSequence("\x02" "F00F000\x03\r\n\x02TOPCON    +00001.000000100000-000017S068\x03\r\n");
const QByteArray kEndFrame("\x02\x04\x03\r\n");

}  // namespace

TEST(UploadGts600, ThreeLinesWithFinalBreakSendTheLastTwiceThenEot) {
  Rig rig;
  rig.window.workspace = "P1,1,2,3\r\nP2,4,5,6\r\nP3,7,8,9\r\n";
  rig.transfer.start();
  EXPECT_EQ(rig.timer.interval(), 800);  // 1200 baud
  EXPECT_TRUE(rig.port.written.isEmpty());
  rig.transfer.tick();
  EXPECT_EQ(rig.port.written, "P1,1,2,3\r");
  EXPECT_EQ(rig.window.workspace, "\nP2,4,5,6\r\nP3,7,8,9\r\n");
  EXPECT_EQ(rig.window.progress, std::make_pair(1, 2));
  EXPECT_EQ(rig.run(), 3);
  EXPECT_EQ(rig.port.written, "P1,1,2,3\r\nP2,4,5,6\r\nP3,7,8,9\r\nP3,7,8,9\r\x04");
  EXPECT_EQ(rig.window.shown.texts(), QStringList{"上傳完畢"});
  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_FALSE(rig.window.breakEnabled);
  EXPECT_EQ(rig.window.progress, std::make_pair(-1, -1));
}

TEST(UploadGts600, WithoutFinalBreakTheThirdTickSendsTheLastLineTwice) {
  Rig rig;
  rig.window.workspace = "P1,1,2,3\r\nP2,4,5,6\r\nP3,7,8,9";
  rig.transfer.start();
  EXPECT_EQ(rig.run(), 3);
  EXPECT_EQ(rig.port.written, "P1,1,2,3\r\nP2,4,5,6\r\nP3,7,8,9\nP3,7,8,9\x04");
  EXPECT_TRUE(rig.window.workspace.isEmpty());
  EXPECT_EQ(rig.transfer.lastLineFlag(), "y");
}

TEST(UploadGts600, YOptionSwapsAndAShortLineStopsWithoutEot) {
  Rig rig;
  rig.window.option = UploadOption::NameYX;
  rig.window.workspace = "P1,100,200,5,C\r\nP2,1,2\r\n";
  rig.transfer.start();
  rig.transfer.tick();
  EXPECT_EQ(rig.port.written, "P1,200,100,5,C\r");
  rig.transfer.tick();
  EXPECT_EQ(rig.window.shown.shown.back().kind, "critical");
  EXPECT_FALSE(rig.timer.isEnabled());
  EXPECT_FALSE(rig.window.breakEnabled);
  EXPECT_TRUE(rig.port.isOpen());
  EXPECT_FALSE(rig.port.written.contains(kEot));
}

TEST(UploadGts200, TwoLinesFinishInTheSecondTickWithFinalBlockAndEndFrame) {
  Rig rig;
  rig.window.series = kSeriesGts200;
  rig.window.workspace = "P1,100.5,200.25,5\r\nP2,1,2,3\r\n";
  rig.transfer.start();
  EXPECT_EQ(rig.port.written, kStartSequence);
  rig.transfer.tick();
  EXPECT_EQ(rig.port.written, kStartSequence);  // no block yet
  EXPECT_EQ(rig.window.workspace, "P2,1,2,3\r\n");
  rig.transfer.tick();
  EXPECT_FALSE(rig.transfer.isRunning());
  const QByteArray sent = rig.port.written.mid(kStartSequence.size());
  ASSERT_EQ(sent.size(), 136 + 5);
  EXPECT_EQ(sent.mid(1, 103),
            "_+        P1_ x0000200250_ y0000100500_ z0000005000_+        P2_ x0000002000_ y0000001000_ z0000003000_");
  EXPECT_EQ(sent.mid(104, 25), QByteArray(25, ' '));
  EXPECT_EQ(sent.at(129), '0');
  EXPECT_TRUE(sent.endsWith(kEndFrame));
  EXPECT_EQ(rig.window.shown.texts(), QStringList{"上傳完畢"});
  EXPECT_TRUE(rig.window.workspace.isEmpty());
}

TEST(UploadGts200, LastLineWithoutLineBreakIsSentToo) {
  Rig rig;
  rig.window.series = kSeriesGts200;
  rig.window.workspace = "P1,1,2,3\r\nP2,4,5,6";
  rig.transfer.start();
  EXPECT_EQ(rig.run(), 1);
  EXPECT_TRUE(rig.port.written.contains("+        P1_"));
  EXPECT_TRUE(rig.port.written.contains("+        P2_ x0000005000_ y0000004000_ z0000006000"));
  EXPECT_TRUE(rig.window.workspace.isEmpty());

  Rig single;
  single.window.series = kSeriesGts200;
  single.window.workspace = "P9,1,2,3";
  single.transfer.start();
  single.run();
  EXPECT_TRUE(single.port.written.contains("+        P9_ x0000002000_ y0000001000_ z0000003000"));
}

TEST(UploadGts200, L14TextIsConvertedFirstAndItsLastPointArrives) {
  Rig rig;
  rig.window.series = kSeriesGts200;
  rig.window.option = UploadOption::CadastralL14;
  rig.window.workspace = "P1 2543210.123 187654.321 P2 2543211.5 187655.25\r\n";
  rig.transfer.start();
  EXPECT_EQ(rig.window.workspace, "P1,187654.321,2543210.123,0\r\nP2,187655.25,2543211.5,0\r");
  rig.run();
  // x takes the second value: the first coordinate of the L14 text.
  EXPECT_TRUE(rig.port.written.contains("+        P1_ x2543210123_ y0187654321_ z0000000000"));
  EXPECT_TRUE(rig.port.written.contains("+        P2_ x2543211500_ y0187655250_ z0000000000"));
  EXPECT_TRUE(rig.port.written.endsWith(kEndFrame));
}

TEST(UploadGts600, L14LastLineIsSentTwiceAsTheFinalLine) {
  Rig rig;
  rig.window.option = UploadOption::CadastralL14;
  rig.window.workspace = "P1 10 20\r\nP2 30 40\r\n";
  rig.transfer.start();
  rig.run();
  EXPECT_EQ(rig.port.written, "P1,20,10,0\r\nP2,40,30,0\r\nP2,40,30,0\r\x04");
}

TEST(UploadGts200, BadL14TextIsReportedAndTheUploadGoesOnUnconverted) {
  Rig rig;
  rig.window.series = kSeriesGts200;
  rig.window.option = UploadOption::CadastralL14;
  rig.window.workspace = "P1,1,2,3\r\n";
  rig.transfer.start();
  ASSERT_EQ(rig.window.shown.shown.size(), 1u);
  EXPECT_EQ(rig.window.shown.shown[0].kind, "critical");
  EXPECT_EQ(rig.window.workspace, "P1,1,2,3\r\n");
  EXPECT_TRUE(rig.transfer.isRunning());
}

TEST(UploadGts200, LineWithTwoCommasStopsWithoutEndFrame) {
  Rig rig;
  rig.window.series = kSeriesGts200;
  rig.window.workspace = "P1,1,2\r\nP2,1,2,3\r\n";
  rig.transfer.start();
  rig.transfer.tick();
  EXPECT_EQ(rig.window.shown.shown.back().kind, "critical");
  EXPECT_EQ(rig.port.written, kStartSequence);
  EXPECT_TRUE(rig.port.isOpen());
  EXPECT_FALSE(rig.timer.isEnabled());
}

TEST(UploadGts200, InterruptSendsEotAloneAndKeepsTheRest) {
  Rig rig;
  rig.window.series = kSeriesGts200;
  rig.window.workspace = "P1,1,2,3\r\nP2,4,5,6\r\nP3,7,8,9\r\n";
  rig.transfer.start();
  rig.transfer.tick();
  rig.transfer.interrupt();
  EXPECT_EQ(rig.port.written, kStartSequence + kEot);
  EXPECT_EQ(rig.window.shown.texts(), QStringList{"上傳中斷"});
  EXPECT_EQ(rig.window.workspace, "P2,4,5,6\r\nP3,7,8,9\r\n");
  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_FALSE(rig.timer.isEnabled());
  EXPECT_TRUE(rig.window.breakEnabled);  // the interrupt button stays enabled
}

TEST(UploadGts200, EmptyWorkspaceIsATickError) {
  Rig rig;
  rig.window.series = kSeriesGts200;
  rig.transfer.start();
  rig.transfer.tick();
  EXPECT_EQ(rig.window.shown.shown.back().kind, "critical");
  EXPECT_FALSE(rig.port.written.endsWith(kEndFrame));
}

TEST(Upload, PaceFollowsTheBaudRate) {
  const std::pair<const char*, int> paces[] = {{"1200", 800}, {"2400", 750}, {"4800", 750}, {"9600", 700}, {"19200", 700}};
  for (const auto& [baud, pace] : paces) {
    Rig rig;
    rig.window.lists.baudRate = baud;
    rig.window.workspace = "P1,1,2,3\r\n";
    rig.transfer.start();
    EXPECT_EQ(rig.timer.interval(), pace) << baud;
  }
}
