// The DL-100C level as a host sees it through plain POSIX calls.

#include "support/host_replies.h"
#include "support/instrument_simulator.h"
#include "support/posix_host_port.h"
#include "support/sample_downloads.h"

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

using namespace std::chrono_literals;

constexpr auto kPatience = 20s;       // generous: the machine may be loaded
constexpr auto kLongAckTimeout = 30s;  // the host is never too slow for the level

// Reads the next chunk the level sends and checks it.
void expectChunk(PosixHostPort& host, const QByteArray& chunk) {
  EXPECT_EQ(host.readAtLeast(chunk.size(), kPatience), chunk);
}

TEST(LevelSimulator, WaitsForTheAcknowledgementBeforeTheNextChunk) {
  InstrumentSimulator simulator;
  PosixHostPort host(simulator.devicePath());
  const auto chunks = levelChunks();
  simulator.playLevel(levelBeforeHeader(), chunks, 50ms, kLongAckTimeout);

  expectChunk(host, joined(levelBeforeHeader()) + chunks[0]);
  EXPECT_TRUE(host.readFor(500ms).isEmpty()) << "the level went on without an acknowledgement";
  EXPECT_EQ(simulator.acknowledgementCount(), 0);

  for (std::size_t i = 1; i < chunks.size(); ++i) {
    host.write(acknowledgementLine());
    expectChunk(host, chunks[i]);
  }
  host.write(acknowledgementLine());

  ASSERT_TRUE(simulator.waitUntilDone(kPatience));
  EXPECT_EQ(simulator.failure(), "");
  EXPECT_FALSE(simulator.answeredBeforeHeader());
  EXPECT_EQ(simulator.acknowledgementCount(), static_cast<int>(chunks.size()));
  EXPECT_EQ(simulator.sent(), joined(levelBeforeHeader()) + joined(chunks));
  EXPECT_EQ(simulator.received(), acknowledgementLine().repeated(chunks.size()));
}

TEST(LevelSimulator, DoesNotNeedTheLastAcknowledgement) {
  InstrumentSimulator simulator;
  PosixHostPort host(simulator.devicePath());
  const auto chunks = levelChunks();
  simulator.playLevel({}, chunks, 0ms, kLongAckTimeout);

  expectChunk(host, chunks[0]);
  for (std::size_t i = 1; i < chunks.size(); ++i) {
    host.write(acknowledgementLine());
    expectChunk(host, chunks[i]);
  }

  ASSERT_TRUE(simulator.waitUntilDone(kPatience));
  EXPECT_EQ(simulator.failure(), "");
  EXPECT_EQ(simulator.acknowledgementCount(), static_cast<int>(chunks.size()) - 1);
}

TEST(LevelSimulator, RecordsFailureWhenNoAcknowledgementComes) {
  InstrumentSimulator simulator;
  PosixHostPort host(simulator.devicePath());
  const auto chunks = levelChunks();
  simulator.playLevel({}, chunks, 0ms, 300ms);

  expectChunk(host, chunks[0]);
  ASSERT_TRUE(simulator.waitUntilDone(kPatience));
  EXPECT_EQ(simulator.failure(), "no acknowledgement after chunk 1");
  EXPECT_EQ(simulator.sent(), chunks[0]);
  EXPECT_TRUE(host.readFor(300ms).isEmpty());
}

TEST(LevelSimulator, FailureNamesTheChunkLeftUnanswered) {
  InstrumentSimulator simulator;
  PosixHostPort host(simulator.devicePath());
  const auto chunks = levelChunks();
  // The host is on time for the first two chunks; the level gives up on the third.
  simulator.playLevel({}, chunks, 0ms, 3s);

  expectChunk(host, chunks[0]);
  host.write(acknowledgementLine());
  expectChunk(host, chunks[1]);
  host.write(acknowledgementLine());
  expectChunk(host, chunks[2]);

  ASSERT_TRUE(simulator.waitUntilDone(kPatience));
  EXPECT_EQ(simulator.failure(), "no acknowledgement after chunk 3");
  EXPECT_EQ(simulator.acknowledgementCount(), 2);
}

TEST(LevelSimulator, RecordsAnIncompleteAcknowledgement) {
  InstrumentSimulator simulator;
  PosixHostPort host(simulator.devicePath());
  simulator.playLevel({}, levelChunks(), 0ms, 2s);

  expectChunk(host, levelChunks()[0]);
  host.write(acknowledgementLine().left(4));  // no CR LF
  ASSERT_TRUE(simulator.waitUntilDone(kPatience));
  EXPECT_EQ(simulator.failure(), "incomplete acknowledgement after chunk 1");
}

TEST(LevelSimulator, RecordsAWrongReply) {
  InstrumentSimulator simulator;
  PosixHostPort host(simulator.devicePath());
  simulator.playLevel({}, levelChunks(), 0ms, kLongAckTimeout);

  expectChunk(host, levelChunks()[0]);
  host.write("\x15,R,\r\n");
  ASSERT_TRUE(simulator.waitUntilDone(kPatience));
  EXPECT_EQ(simulator.failure(), "unexpected reply after chunk 1: 15 2c 52 2c 0d 0a");
  EXPECT_EQ(simulator.acknowledgementCount(), 0);
}

TEST(LevelSimulator, NotesAnAnswerBeforeTheHeader) {
  InstrumentSimulator simulator;
  PosixHostPort host(simulator.devicePath());
  const auto chunks = levelChunks();
  // A long gap before the header, so the wrong answer surely comes before it.
  simulator.playLevel(levelBeforeHeader(), chunks, 2s, kLongAckTimeout);

  expectChunk(host, joined(levelBeforeHeader()));
  host.write(acknowledgementLine());
  for (const QByteArray& chunk : chunks) {
    expectChunk(host, chunk);
    host.write(acknowledgementLine());
  }

  ASSERT_TRUE(simulator.waitUntilDone(kPatience));
  EXPECT_TRUE(simulator.answeredBeforeHeader());
  // The answer to the data before the header is no acknowledgement of the level's chunks.
  EXPECT_EQ(simulator.acknowledgementCount(), static_cast<int>(chunks.size()));
  EXPECT_EQ(simulator.failure(), "");
}

}  // namespace
}  // namespace korvane::testing
