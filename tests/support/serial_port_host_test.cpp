// The simulator as Korvane sees it: through QSerialPort, set up before opening as Korvane does.

#include "support/host_replies.h"
#include "support/instrument_simulator.h"
#include "support/sample_downloads.h"

#include <QCoreApplication>
#include <QSerialPort>

#include <gtest/gtest.h>

#include <functional>

namespace korvane::testing {
namespace {

using namespace std::chrono_literals;

constexpr auto kPatience = 20s;  // generous: the machine may be loaded

// QSerialPort's notifiers want an application object in the main thread.
void ensureApplication() {
  static int argc = 1;
  static char name[] = "test_instrument_simulator";
  static char* argv[] = {name, nullptr};
  if (!QCoreApplication::instance()) static QCoreApplication application(argc, argv);
}

class SerialPortHost : public ::testing::Test {
 protected:
  void SetUp() override { ensureApplication(); }

  // Opens the simulator's device the way Korvane configures a port.
  void open() {
    port_.setPortName(QString::fromStdString(simulator_.devicePath()));
    ASSERT_TRUE(port_.setBaudRate(QSerialPort::Baud9600));
    ASSERT_TRUE(port_.setDataBits(QSerialPort::Data7));
    ASSERT_TRUE(port_.setParity(QSerialPort::NoParity));
    ASSERT_TRUE(port_.setStopBits(QSerialPort::OneStop));
    ASSERT_TRUE(port_.setFlowControl(QSerialPort::NoFlowControl));
    ASSERT_TRUE(port_.open(QIODevice::ReadWrite)) << port_.errorString().toStdString();
  }

  // Without an event loop, bytes reach readAll() only through waitForReadyRead().
  QByteArray readUntil(const std::function<bool(const QByteArray&)>& enough) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    QByteArray got;
    while (!enough(got) && std::chrono::steady_clock::now() < deadline) {
      port_.waitForReadyRead(100);
      got += port_.readAll();
    }
    return got;
  }

  QByteArray readAtLeast(qsizetype count) {
    return readUntil([count](const QByteArray& got) { return got.size() >= count; });
  }

  void write(const QByteArray& bytes) {
    ASSERT_EQ(port_.write(bytes), bytes.size());
    ASSERT_TRUE(port_.waitForBytesWritten(static_cast<int>(std::chrono::milliseconds(kPatience).count())));
  }

  InstrumentSimulator simulator_;
  QSerialPort port_;
};

TEST_F(SerialPortHost, OpensTheDevice) {
  open();
  EXPECT_EQ(port_.error(), QSerialPort::NoError);
  EXPECT_EQ(port_.dataBits(), QSerialPort::Data7);
}

TEST_F(SerialPortHost, ReceivesTotalStationDataWithBig5BytesIntact) {
  open();
  simulator_.playTotalStation(gts200Chunks(), 50ms);
  const QByteArray expected = joined(gts200Chunks());
  EXPECT_EQ(readUntil([](const QByteArray& got) { return got.contains('\x04'); }), expected);
  ASSERT_TRUE(simulator_.waitUntilDone(kPatience));
  EXPECT_EQ(simulator_.failure(), "");
}

TEST_F(SerialPortHost, AcknowledgesEveryLevelChunk) {
  open();
  const auto chunks = levelChunks();
  simulator_.playLevel(levelBeforeHeader(), chunks, 50ms, 30s);

  QByteArray expected = joined(levelBeforeHeader());
  QByteArray got;
  for (const QByteArray& chunk : chunks) {
    expected += chunk;
    got += readAtLeast(expected.size() - got.size());
    ASSERT_EQ(got, expected);
    write(acknowledgementLine());
  }

  ASSERT_TRUE(simulator_.waitUntilDone(kPatience));
  EXPECT_EQ(simulator_.failure(), "");
  EXPECT_FALSE(simulator_.answeredBeforeHeader());
  EXPECT_EQ(simulator_.acknowledgementCount(), static_cast<int>(chunks.size()));
}

TEST_F(SerialPortHost, KeepsWhatTheInstrumentSentBeforeTheOpen) {
  simulator_.playTotalStation(gts600Chunks(), 0ms);
  ASSERT_TRUE(simulator_.waitUntilDone(kPatience));
  open();
  const QByteArray expected = joined(gts600Chunks());
  EXPECT_EQ(readAtLeast(expected.size()), expected);
}

TEST_F(SerialPortHost, ReopensAfterClose) {
  open();
  port_.close();
  ASSERT_TRUE(port_.open(QIODevice::ReadWrite)) << port_.errorString().toStdString();
}

}  // namespace
}  // namespace korvane::testing
