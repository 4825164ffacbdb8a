// The simulator as a host sees it through plain POSIX calls: total stations, and the line itself.

#include "support/capture_replay.h"
#include "support/instrument_simulator.h"
#include "support/posix_host_port.h"
#include "support/sample_downloads.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <filesystem>
#include <stdexcept>

namespace korvane::testing {
namespace {

using namespace std::chrono_literals;

constexpr auto kPatience = 20s;  // generous: the machine may be loaded
constexpr char kEot = '\x04';

TEST(SampleDownloads, Gts200SplitsABig5CharacterAcrossChunks) {
  const auto chunks = gts200Chunks();
  ASSERT_GE(chunks.size(), 3u);
  EXPECT_TRUE(chunks[0].endsWith('\xA4'));
  EXPECT_TRUE(chunks[1].startsWith('\x40'));
  EXPECT_TRUE(chunks.back().endsWith(kEot));
  EXPECT_EQ(joined(chunks).count(kEot), 1);
}

TEST(SampleDownloads, Gts600EndsWithEot) {
  const auto chunks = gts600Chunks();
  ASSERT_GE(chunks.size(), 2u);
  EXPECT_TRUE(chunks.back().endsWith(kEot));
  EXPECT_EQ(joined(chunks).count(kEot), 1);
  EXPECT_TRUE(chunks.front().startsWith("Job: JOB1\r\n"));
}

TEST(SampleDownloads, LevelStartsWithHeaderAndEndsWithEndLine) {
  const auto chunks = levelChunks();
  ASSERT_GE(chunks.size(), 3u);
  EXPECT_TRUE(chunks.front().startsWith("A,01,Z,"));
  EXPECT_EQ(chunks.back(), QByteArray("Z,&,\r\n"));
  EXPECT_EQ(joined(levelBeforeHeader()), QByteArray("X,junk,\r\n"));
}

TEST(InstrumentSimulator, DevicePathLinksToTheTerminalUntilDestroyed) {
  std::string link;
  {
    InstrumentSimulator simulator;
    link = simulator.devicePath();
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::canonical(link), std::filesystem::canonical(simulator.terminalPath()));
    EXPECT_EQ(simulator.terminalPath().rfind("/dev/pts/", 0), 0u) << simulator.terminalPath();
  }
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(InstrumentSimulator, WaitUntilDoneIsFalseWithoutPlayback) {
  InstrumentSimulator simulator;
  EXPECT_FALSE(simulator.waitUntilDone(0ms));
}

TEST(InstrumentSimulator, PlaysOnlyOnce) {
  InstrumentSimulator simulator;
  simulator.playTotalStation({QByteArray("A\x04")}, 0ms);
  EXPECT_THROW(simulator.playTotalStation({QByteArray("B\x04")}, 0ms), std::logic_error);
  EXPECT_THROW(simulator.playLevel({}, levelChunks()), std::logic_error);
}

class TotalStationPlayback : public ::testing::TestWithParam<const char*> {
 protected:
  std::vector<QByteArray> chunks() const {
    return std::string(GetParam()) == "gts200" ? gts200Chunks() : gts600Chunks();
  }
};

TEST_P(TotalStationPlayback, ChunksArriveByteExactThroughEot) {
  InstrumentSimulator simulator;
  PosixHostPort host(simulator.devicePath());
  simulator.playTotalStation(chunks(), 50ms);

  EXPECT_EQ(host.readThrough(kEot, kPatience), joined(chunks()));
  ASSERT_TRUE(simulator.waitUntilDone(kPatience));
  EXPECT_EQ(simulator.failure(), "");
  EXPECT_EQ(simulator.sent(), joined(chunks()));
  EXPECT_TRUE(simulator.received().isEmpty());
  EXPECT_EQ(simulator.acknowledgementCount(), 0);
  EXPECT_FALSE(simulator.answeredBeforeHeader());
  EXPECT_TRUE(host.readFor(200ms).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Series, TotalStationPlayback, ::testing::Values("gts200", "gts600"));

TEST(InstrumentSimulator, KeepsCollectingWhatTheHostSendsAfterPlayback) {
  InstrumentSimulator simulator;
  PosixHostPort host(simulator.devicePath());
  simulator.playTotalStation(gts200Chunks(), 0ms);
  ASSERT_TRUE(simulator.waitUntilDone(kPatience));
  host.readThrough(kEot, kPatience);

  host.write("late\r\n");
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (simulator.received() != "late\r\n" && std::chrono::steady_clock::now() < deadline) {
    ::usleep(10'000);
  }
  EXPECT_EQ(simulator.received(), QByteArray("late\r\n"));
}

TEST(InstrumentSimulator, LineSurvivesTheHostClosingIt) {
  InstrumentSimulator simulator;
  { PosixHostPort first(simulator.devicePath()); }

  // Nobody has the line open now: the playback must not see a hang-up, and the data waits on
  // the line for the next host.
  simulator.playTotalStation(gts600Chunks(), 0ms);
  ASSERT_TRUE(simulator.waitUntilDone(kPatience));
  EXPECT_EQ(simulator.failure(), "");

  PosixHostPort second(simulator.devicePath());
  EXPECT_EQ(second.readThrough(kEot, kPatience), joined(gts600Chunks()));
}

TEST(SampleDownloads, EverySeriesHasItsSamplesAndTheFirstIsTheDefault) {
  for (const char* series : {"gts200", "gts600", "dl100c"}) {
    const SampleDownload* first = findSample(series, "");
    ASSERT_NE(first, nullptr) << series;
    EXPECT_EQ(first, findSample(series, first->name));
    EXPECT_FALSE(first->chunks.empty());
  }
  EXPECT_EQ(findSample("gts200", "coordinates")->chunks, gts200CoordinateChunks());
  EXPECT_EQ(findSample("gts600", "observations")->chunks, gts600ObservationChunks());
  EXPECT_EQ(findSample("dl100c", "line")->beforeHeader, levelBeforeHeader());
  EXPECT_EQ(findSample("gts600", "nonsense"), nullptr);
}

TEST(SampleDownloads, Gts200BlockBreaksFallInsideANameAndNumbers) {
  const QByteArray data = joined(gts200Chunks());
  // Each of these stands in the instrument's records, but a block break cuts it in the transfer.
  for (const char* cut : {"_+P4_", "_)1.468_", "dm00045226", "dm00027876"}) {
    EXPECT_FALSE(data.contains(cut)) << cut;
    QByteArray mended = data;
    for (qsizetype at; (at = mended.indexOf("\x03\r\n")) >= 4;) mended.remove(at - 4, 8);
    EXPECT_TRUE(mended.contains(cut)) << cut;
  }
}

TEST(CaptureReplay, TotalStationChunksAreWholeLinesThatJoinToTheCapture) {
  const QByteArray capture = "line one\r\n" + QByteArray(300, 'x') + "\r\nshort\r\nend\x04";
  const auto chunks = totalStationChunksOf(capture, 40);
  EXPECT_EQ(joined(chunks), capture);
  ASSERT_EQ(chunks.size(), 3u);
  EXPECT_EQ(chunks[0], "line one\r\n");
  EXPECT_EQ(chunks[1].size(), 302);  // a long line on its own
  EXPECT_EQ(chunks[2], "short\r\nend\x04");
  EXPECT_TRUE(totalStationChunksOf({}).empty());
}

TEST(CaptureReplay, LevelChunksAreLinesAndItsHeaderStartsTheAnsweredPart) {
  const QByteArray capture = joined(levelBeforeHeader()) + joined(levelChunks());
  const LevelChunks level = levelChunksOf(capture);
  EXPECT_EQ(joined(level.beforeHeader), joined(levelBeforeHeader()));
  EXPECT_EQ(joined(level.chunks), joined(levelChunks()));
  ASSERT_FALSE(level.chunks.empty());
  EXPECT_TRUE(level.chunks.front().startsWith("A,01,Z,"));
  EXPECT_EQ(level.chunks.back(), "Z,&,\r\n");
  for (const QByteArray& chunk : level.chunks) EXPECT_EQ(chunk.count('\n'), 1) << chunk.constData();
}

TEST(InstrumentSimulator, DrainedOnlyOnceTheHostHasReadEverything) {
  InstrumentSimulator simulator;
  PosixHostPort host(simulator.devicePath());
  simulator.playTotalStation(gts600Chunks(), 0ms);
  ASSERT_TRUE(simulator.waitUntilDone(kPatience));
  EXPECT_FALSE(simulator.waitUntilDrained(200ms));
  host.readThrough(kEot, kPatience);
  EXPECT_TRUE(simulator.waitUntilDrained(kPatience));
}

TEST(InstrumentSimulator, HangUpEndsTheLineForTheHostAndKeepsTheRecord) {
  InstrumentSimulator simulator;
  PosixHostPort host(simulator.devicePath());
  simulator.playTotalStation({QByteArray("part of a block")}, 0ms);
  EXPECT_EQ(host.readAtLeast(15, kPatience), "part of a block");
  ASSERT_TRUE(simulator.waitUntilDone(kPatience));
  simulator.hangUp();
  EXPECT_THROW(host.write("\x06,R,\r\n"), std::runtime_error);  // the line is gone
  EXPECT_FALSE(simulator.waitUntilDrained(100ms));
  EXPECT_EQ(simulator.sent(), "part of a block");

  InstrumentSimulator unplayed;  // hanging up before any playback is fine too
  PosixHostPort early(unplayed.devicePath());
  unplayed.hangUp();
  EXPECT_THROW(early.write("x"), std::runtime_error);
}

}  // namespace
}  // namespace korvane::testing
