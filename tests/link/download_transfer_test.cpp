#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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
  void showDownloadProgress(qint64 bytes) override { progress.push_back(bytes); }
  korvane::Messages& messages() override { return shown; }

  QString series = kSeriesGts200;
  PortListTexts lists{"COM1", "9600", "8bit/None", "1"};
  QString workspace = "old text";
  bool animating = false;
  bool breakEnabled = false;
  std::vector<qint64> progress;  // every update of the byte count; -1 clears it
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
  EXPECT_EQ(rig.window.shown.shown[0].title, "錯誤");
  EXPECT_EQ(rig.window.shown.shown[0].text, "無法開啟連接埠 /dev/ttyS0");
  EXPECT_FALSE(rig.timer.isEnabled());
  EXPECT_EQ(rig.window.workspace, "old text");
}

TEST(DownloadTransfer, FailingTickKeepsWhatArrivedClosesThePortAndStops) {
  Rig rig;
  rig.transfer.start();
  rig.port.chunks = {"_+1001_ "};
  rig.transfer.tick();
  rig.port.readError = "read failed: device unplugged";
  rig.transfer.tick();
  ASSERT_EQ(rig.window.shown.shown.size(), 1u);
  EXPECT_EQ(rig.window.shown.shown[0].kind, "critical");
  EXPECT_EQ(rig.window.shown.shown[0].title, "錯誤");
  EXPECT_EQ(rig.window.shown.shown[0].text, brokenOffNotice(7, "read failed: device unplugged"));
  EXPECT_FALSE(rig.timer.isEnabled());
  EXPECT_FALSE(rig.window.breakEnabled);
  EXPECT_FALSE(rig.window.animating);
  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_EQ(rig.indicator.back(), false);
  EXPECT_EQ(rig.window.workspace, "_+1001_");
  EXPECT_EQ(rig.transfer.outcome(), DownloadOutcome::BrokenOff);
}

TEST(DownloadTransfer, LineLostBeforeTheEndKeepsEverythingReceived) {
  struct Case {
    const char* name;
    QString series;
    std::deque<QByteArray> chunks;
    QString workspace;      // what the window shows afterwards
    qint64 kept;            // bytes named in the message
    int acknowledgements;   // lines sent to a level
    bool undecodableNotice;
  };
  const Case cases[] = {
      {"before any byte", kSeriesGts200, {}, "", 0, 0, false},
      {"inside a block", kSeriesGts200, {"_'A01_(JOB7_)1.450_+", "", "B0"}, "_'A01_(JOB7_)1.450_+B0", 22, 0, false},
      {"inside a Big5 character", kSeriesGts600, {"Job: JOB1\r\nP\xA4"},
       QString("Job: JOB1\r\nP") + QChar(0xFFFD), 13, 0, true},
      {"level between records", kSeriesDl100c, {"X,junk,\r\n", "A,01,Z,\r\n", "b,00,JOB1,BM1,"},
       "A,01,Z,\r\nb,00,JOB1,BM1,", 23, 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.window.series = c.series;
    rig.transfer.start();
    rig.port.chunks = c.chunks;
    rig.port.lostAfterChunks = "連接埠 COM1 讀取失敗：對方已關閉連線";
    for (int i = 0; i < 10 && rig.transfer.isRunning(); ++i) rig.transfer.tick();

    EXPECT_EQ(rig.transfer.outcome(), DownloadOutcome::BrokenOff);
    EXPECT_EQ(rig.window.workspace, c.workspace);
    ASSERT_GE(rig.window.shown.shown.size(), 1u);
    EXPECT_EQ(rig.window.shown.shown[0].kind, "critical");
    EXPECT_EQ(rig.window.shown.shown[0].text, brokenOffNotice(c.kept, rig.port.lostAfterChunks));
    EXPECT_EQ(rig.window.shown.shown.size(), c.undecodableNotice ? 2u : 1u);
    EXPECT_FALSE(rig.port.isOpen());
    EXPECT_EQ(rig.indicator.back(), false);
    EXPECT_FALSE(rig.timer.isEnabled());
    EXPECT_FALSE(rig.window.breakEnabled);
    EXPECT_FALSE(rig.window.animating);
    EXPECT_EQ(rig.window.progress.back(), -1);
    EXPECT_EQ(rig.port.writeCount, c.acknowledgements);
  }
}

TEST(DownloadTransfer, LineLostRightAfterTheEndMarkerChangesNothing) {
  Rig rig;
  rig.window.series = kSeriesDl100c;
  rig.transfer.start();
  rig.port.chunks = {"A,01,Z,\r\n", "Z,&,\r\n"};
  rig.port.lostAfterChunks = "gone";
  for (int i = 0; i < 5; ++i) rig.transfer.tick();
  EXPECT_EQ(rig.transfer.outcome(), DownloadOutcome::Finished);
  EXPECT_EQ(rig.window.shown.texts(), QStringList{"下載完畢"});
  EXPECT_EQ(rig.window.workspace, "A,01,Z,\r\nZ,&,\r\n");
}

TEST(DownloadTransfer, ProgressCountsTheBytesAndClearsAtTheEnd) {
  Rig rig;
  rig.transfer.start();
  rig.port.chunks = {"abc", "", "de\xA4", "\x40\x04"};
  for (int i = 0; i < 4; ++i) rig.transfer.tick();
  // Shown at the start, after every tick that brought bytes, cleared at the end.
  EXPECT_EQ(rig.window.progress, (std::vector<qint64>{0, 3, 6, -1}));

  Rig interrupted;
  interrupted.transfer.start();
  interrupted.port.chunks = {"abc"};
  interrupted.transfer.tick();
  interrupted.transfer.interrupt();
  EXPECT_EQ(interrupted.window.progress, (std::vector<qint64>{0, 3, -1}));
  EXPECT_EQ(interrupted.transfer.outcome(), DownloadOutcome::Interrupted);
}

TEST(DownloadTransfer, RawCaptureHoldsTheBytesExactlyAsTheyCame) {
  QTemporaryDir folder;
  const QString path = folder.filePath("last-download.raw");
  auto contents = [&] {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  };
  RawCapture capture(path);
  Rig rig;
  rig.transfer.setRawCapture(&capture);
  rig.transfer.start();
  EXPECT_EQ(contents(), QByteArray());
  rig.port.chunks = {" P1,\xA4", "\x40\r\n\r", "\nX\x81\x04 "};
  rig.transfer.tick();
  EXPECT_EQ(contents(), QByteArray(" P1,\xA4"));  // written as it arrives
  rig.transfer.tick();
  rig.transfer.tick();
  EXPECT_EQ(rig.transfer.outcome(), DownloadOutcome::Finished);
  EXPECT_EQ(contents(), QByteArray(" P1,\xA4\x40\r\n\r\nX\x81\x04 "));

  // The next download replaces it, also when it is interrupted or its line is lost.
  rig.transfer.start();
  rig.port.chunks = {"second"};
  rig.transfer.tick();
  rig.transfer.interrupt();
  EXPECT_EQ(contents(), QByteArray("second"));
  rig.transfer.start();
  rig.port.chunks = {"third"};
  rig.port.lostAfterChunks = "gone";
  rig.transfer.tick();
  rig.transfer.tick();
  EXPECT_EQ(rig.transfer.outcome(), DownloadOutcome::BrokenOff);
  EXPECT_EQ(contents(), QByteArray("third"));
}

TEST(DownloadTransfer, RawCaptureThatCannotBeWrittenIsToldAndTheDownloadGoesOn) {
  QTemporaryDir folder;
  RawCapture capture(folder.filePath("no-such-folder/last-download.raw"));
  Rig rig;
  rig.transfer.setRawCapture(&capture);
  rig.transfer.start();
  rig.port.chunks = {"data\x04"};
  rig.transfer.tick();
  EXPECT_EQ(rig.transfer.outcome(), DownloadOutcome::Finished);
  EXPECT_EQ(rig.window.workspace, QString("data\x04"));
  ASSERT_EQ(rig.window.shown.shown.size(), 2u);
  EXPECT_EQ(rig.window.shown.shown[0].text, "下載完畢");
  EXPECT_EQ(rig.window.shown.shown[1].kind, "exclamation");
  EXPECT_TRUE(rig.window.shown.shown[1].text.contains("no-such-folder/last-download.raw"))
      << qPrintable(rig.window.shown.shown[1].text);
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
