// Uploads through the Main window's own handlers and QSerialPort, received by the instrument
// simulator on a pseudo-terminal.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>

#include "link/qt_serial_port.h"
#include "shell/window_under_test.h"
#include "shell/workspace.h"
#include "support/instrument_simulator.h"

using namespace std::chrono_literals;
using namespace korvane::shell;
using korvane::testing::InstrumentSimulator;

namespace {

constexpr int kWaitMs = 20000;

struct UploadWindow : korvane::testing::WindowUnderTest<korvane::link::QtSerialPort> {
  InstrumentSimulator instrument;

  UploadWindow(const QString& series, const char* option) {
    instrument.listen();
    choose(series);
    find<QComboBox>("ComboPort")->setCurrentText(QString::fromStdString(instrument.devicePath()));
    find<QComboBox>("ComboBaudRate")->setCurrentText("19200");
    find<QRadioButton>(option)->setChecked(true);
  }
  bool waitFor(const QString& message) {
    return QTest::qWaitFor([&] { return messages.showed(message); }, kWaitMs);
  }
  QByteArray receivedOnceSettled(qsizetype expected) {
    EXPECT_TRUE(QTest::qWaitFor([&] { return instrument.received().size() >= expected; }, 3000));
    QTest::qWait(100);
    return instrument.received();
  }
};

}  // namespace

TEST(UploadOverSerial, Gts600LinesArriveSwappedWithTheLastTwiceAndEot) {
  UploadWindow w("GTS-600/700/800系列", "SSOptionY");
  w.window.workspace().setText("P1,100,200,5,C\r\nP2,110,210,6\r\nP3,120,220,7\r\n");
  w.button("cUpload")->click();
  EXPECT_EQ(w.window.uploadTimer().interval(), 700);
  EXPECT_TRUE(w.button("cUploadBreak")->isEnabled());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w.window.statusBar()->currentMessage().isEmpty(); }, kWaitMs));
  ASSERT_TRUE(w.waitFor("上傳完畢"));
  const QByteArray expected = "P1,200,100,5,C\r\nP2,210,110,6\r\nP3,220,120,7\r\nP3,220,120,7\r\x04";
  EXPECT_EQ(w.receivedOnceSettled(expected.size()), expected);
  EXPECT_FALSE(w.port.isOpen());
  EXPECT_FALSE(w.button("cUploadBreak")->isEnabled());
  EXPECT_TRUE(w.window.statusBar()->currentMessage().isEmpty());
  EXPECT_EQ(w.window.workspace().text(), "\n");  // the LF of the last line break stays
}

TEST(UploadOverSerial, Gts200FramesOneLineWithStartSequenceFinalBlockAndEndFrame) {
  UploadWindow w("GTS-210/220/310/Gpt1000/2000系列", "SSOptionX");
  w.window.workspace().setText("A12,2543210.123,187654.321,12.5\r\n");
  w.button("cUpload")->click();
  ASSERT_TRUE(w.waitFor("上傳完畢"));
  const QByteArray record = "+       A12_ x0187654321_ y2543210123_ z0000012500";
  const QByteArray data = "_" + record + "_" + QByteArray(128 - 52, ' ') + "0";
  int sum = 0;
  for (char c : data) sum ^= static_cast<unsigned char>(c);
  const QByteArray expected = QByteArray("\x02" "F00F000\x03\r\n\x02TOPCON    +00001.000000100000-000017S068\x03\r\n") +
                              "\x02" + data + QByteArray::number(sum).rightJustified(3, '0') + "\x03\r\n" +
                              QByteArray("\x02\x04\x03\r\n");
  EXPECT_EQ(w.receivedOnceSettled(expected.size()), expected);
}

TEST(UploadOverSerial, InterruptSendsEotAndKeepsTheLinesNotYetSent) {
  UploadWindow w("GTS-210/220/310/Gpt1000/2000系列", "SSOptionX");
  w.window.workspace().setText("P1,1,2,3\r\nP2,4,5,6\r\nP3,7,8,9\r\nP4,1,1,1\r\n");
  w.button("cUpload")->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w.window.workspace().text().startsWith("P1"); }, kWaitMs));
  w.button("cUploadBreak")->click();
  EXPECT_EQ(w.messages.texts(), QStringList{"上傳中斷"});
  EXPECT_FALSE(w.port.isOpen());
  const QByteArray received = w.receivedOnceSettled(1);
  EXPECT_TRUE(received.endsWith("\x04"));
  EXPECT_FALSE(received.contains("\x02\x04\x03"));
  EXPECT_TRUE(w.window.workspace().text().endsWith("P4,1,1,1\r\n"));
}
