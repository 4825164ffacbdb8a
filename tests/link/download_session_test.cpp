#include <gtest/gtest.h>

#include "fakes/scripted_port.h"
#include "link/download_session.h"

using namespace korvane::link;
using korvane::testing::ScriptedPort;

namespace {

const QByteArray kAck("\x06,R,\r\n", 6);

struct SessionRun {
  ScriptedPort port;
  DownloadSession session{port};

  SessionRun() { port.open("sim", "9600,N,8,1"); }
  // Ticks until the end or until the chunks run out; returns the number of the ending tick (0: none).
  int run(const QString& seriesText, int extraTicks = 0) {
    const int ticks = static_cast<int>(port.chunks.size()) + extraTicks;
    for (int tick = 1; tick <= ticks; ++tick) {
      if (session.tick(seriesText)) return tick;
    }
    return 0;
  }
};

}  // namespace

TEST(DownloadSession, PollIntervalBySeries) {
  EXPECT_EQ(downloadPollInterval(Series::Gts200), 10);
  EXPECT_EQ(downloadPollInterval(Series::Gts600), 10);
  EXPECT_EQ(downloadPollInterval(Series::Dl100c), 100);
  EXPECT_FALSE(downloadPollInterval(Series::Other).has_value());
  EXPECT_EQ(seriesOf(QStringLiteral("  DL-100C系列 ")), Series::Dl100c);
  EXPECT_EQ(seriesOf(QStringLiteral("dl-100c系列")), Series::Other);
}

TEST(DownloadSession, TotalStationEndsInTheTickThatBringsEot) {
  SessionRun run;
  run.session.begin(Series::Gts200);
  run.port.chunks = {"  _+1001_ ", "", "?+000123m\r\n", "_ end\x04\r\n  "};
  EXPECT_EQ(run.run(kSeriesGts200), 4);
  EXPECT_EQ(run.session.dataBuffer(), QString("  _+1001_ ?+000123m\r\n_ end\x04\r\n  "));
  // Only spaces are removed around the text; the EOT and line ends stay.
  EXPECT_EQ(run.session.resultText(), QString("_+1001_ ?+000123m\r\n_ end\x04\r\n"));
  EXPECT_TRUE(run.port.written.isEmpty());  // nothing is ever sent to a total station
}

TEST(DownloadSession, NewDownloadStartsWithAnEmptyBuffer) {
  SessionRun run;
  run.session.begin(Series::Gts600);
  run.port.chunks = {"first\x04"};
  ASSERT_EQ(run.run(kSeriesGts600), 1);
  run.session.begin(Series::Gts600);
  EXPECT_TRUE(run.session.dataBuffer().isEmpty());
  EXPECT_EQ(run.session.bytesReceived(), 0);
}

TEST(DownloadSession, LevelDropsAndIgnoresWhatComesBeforeItsHeader) {
  SessionRun run;
  run.session.begin(Series::Dl100c);
  EXPECT_EQ(run.session.levelHandshake(), "NO");
  run.port.chunks = {"X,junk,\r\n", "", "more A,01,Z,\r\ntail", "B,01,BM1,\r\n", "", "Z,&,\r\n"};
  EXPECT_EQ(run.run(kSeriesDl100c), 6);
  EXPECT_EQ(run.session.levelHandshake(), "GO");
  EXPECT_EQ(run.session.dataBuffer(), QString("A,01,Z,\r\nB,01,BM1,\r\nZ,&,\r\n"));
  // One acknowledgement per non-empty chunk from the header on, the end line's included.
  EXPECT_EQ(run.port.written, kAck + kAck + kAck);
  EXPECT_EQ(run.port.writeCount, 3);
}

TEST(DownloadSession, EmptyTicksAreNotAcknowledged) {
  SessionRun run;
  run.session.begin(Series::Dl100c);
  run.port.chunks = {"A,01,Z,\r\n", "", "", ""};
  EXPECT_EQ(run.run(kSeriesDl100c), 0);
  EXPECT_EQ(run.port.writeCount, 1);
}

TEST(DownloadSession, EndLineCountsOnlyAsAChunkOfItsOwn) {
  SessionRun run;
  run.session.begin(Series::Dl100c);
  run.port.chunks = {"A,01,Z,\r\n", "C,1,\r\nZ,&,\r\n", "Z,&,\r\nX", "", "\x04"};
  EXPECT_EQ(run.run(kSeriesDl100c), 5);  // only the EOT ends it
  EXPECT_EQ(run.port.writeCount, 4);
}

TEST(DownloadSession, HandshakeNeedsTheExactLevelName) {
  // A series text with spaces polls like a level but takes no part in the handshake.
  SessionRun run;
  run.session.begin(seriesOf(QStringLiteral(" DL-100C系列")));
  run.port.chunks = {"pre", "A,01,Z,\r\n", "Z,&,\r\n"};
  EXPECT_EQ(run.run(QStringLiteral(" DL-100C系列")), 3);
  EXPECT_EQ(run.session.dataBuffer(), QString("preA,01,Z,\r\nZ,&,\r\n"));
  EXPECT_TRUE(run.port.written.isEmpty());
}

TEST(DownloadSession, Big5CharacterSplitAcrossReadsArrivesWhole) {
  SessionRun run;
  run.session.begin(Series::Gts200);
  run.port.chunks = {"P1,\xA4", "\x40,\x04"};
  EXPECT_EQ(run.run(kSeriesGts200), 2);
  EXPECT_EQ(run.session.dataBuffer(), QString::fromUtf8("P1,一,\x04"));
  EXPECT_EQ(run.session.undecodableBytes(), 0);
  EXPECT_EQ(run.session.bytesReceived(), 7);
}

TEST(DownloadSession, DanglingLeadByteAtTheEndIsMarkedAndCounted) {
  SessionRun gts;
  gts.session.begin(Series::Gts600);
  gts.port.chunks = {"abc\x04\xA4"};
  ASSERT_EQ(gts.run(kSeriesGts600), 1);
  EXPECT_EQ(gts.session.dataBuffer(), QString("abc\x04") + QChar(0xFFFD));
  EXPECT_EQ(gts.session.undecodableBytes(), 1);
}

TEST(DownloadSession, ReadFailureIsReported) {
  SessionRun run;
  run.session.begin(Series::Gts200);
  run.port.readError = "device gone";
  EXPECT_THROW(run.session.tick(kSeriesGts200), korvane::Failure);
}
