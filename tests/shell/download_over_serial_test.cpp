// Downloads through the Main window's own handlers and QSerialPort, against the instrument
// simulator on a pseudo-terminal.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "link/qt_serial_port.h"
#include "shell/window_under_test.h"
#include "shell/workspace.h"
#include "support/instrument_simulator.h"
#include "support/sample_downloads.h"
#include "text/cp950.h"

using namespace std::chrono_literals;
using namespace korvane::shell;
using korvane::testing::InstrumentSimulator;
using korvane::testing::RecordingMessages;

namespace {

const ScreenMetrics& kScreen = korvane::testing::kTestScreen;
constexpr int kWaitMs = 15000;

struct SerialWindow : korvane::testing::WindowUnderTest<korvane::link::QtSerialPort> {
  InstrumentSimulator instrument;

  explicit SerialWindow(const QString& series) {
    // COM1 stands for the simulator's device, as a surveyor would point it at a USB adapter.
    qputenv("KORVANE_COM1", QByteArray::fromStdString(instrument.devicePath()));
    choose(series);
  }
  ~SerialWindow() { qunsetenv("KORVANE_COM1"); }
  void download() {
    button("cDownload")->click();
    ASSERT_TRUE(messages.shown.empty()) << qPrintable(messages.texts().join("; "));
    ASSERT_TRUE(port.isOpen());
    EXPECT_EQ(icon(), "recycle2.ico");
    EXPECT_TRUE(button("cDownloadBreak")->isEnabled());
    EXPECT_EQ(window.workspace().text(), " DownLoad Now !! Please Waiting...");
  }
  bool waitForMessage(const QString& text) {
    return QTest::qWaitFor([&] { return messages.showed(text); }, kWaitMs);
  }
  void expectFinished() {
    EXPECT_EQ(messages.texts(), QStringList{"下載完畢"});
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(icon(), "recycle.ico");
    EXPECT_FALSE(button("cDownloadBreak")->isEnabled());
    EXPECT_FALSE(window.downloadTimer().isEnabled());
  }
};

QString decoded(const QByteArray& bytes) { return korvane::text::decodeCp950(bytes); }

// What the workspace shows: the text with leading and trailing spaces removed.
QString withoutOuterSpaces(QString text) {
  while (text.startsWith(u' ')) text.remove(0, 1);
  while (text.endsWith(u' ')) text.chop(1);
  return text;
}

}  // namespace

TEST(DownloadOverSerial, Gts200ArrivesWholeIncludingASplitBig5Character) {
  SerialWindow w("GTS-210/220/310/Gpt1000/2000系列");
  w.download();
  EXPECT_EQ(w.window.downloadTimer().interval(), 10);
  const auto chunks = korvane::testing::gts200Chunks();
  w.instrument.playTotalStation(chunks, 120ms);
  ASSERT_TRUE(w.waitForMessage("下載完畢"));
  w.expectFinished();
  const QString expected = withoutOuterSpaces(decoded(korvane::testing::joined(chunks)));
  EXPECT_EQ(w.window.workspace().text(), expected);
  EXPECT_TRUE(expected.contains(QString::fromUtf8("一")));
  EXPECT_TRUE(expected.contains(QChar(4)));
  EXPECT_TRUE(w.instrument.received().isEmpty());  // nothing is sent to a total station
}

TEST(DownloadOverSerial, Gts600PrintoutArrives) {
  SerialWindow w("GTS-600/700/800系列");
  w.download();
  const auto chunks = korvane::testing::gts600Chunks();
  w.instrument.playTotalStation(chunks, 120ms);
  ASSERT_TRUE(w.waitForMessage("下載完畢"));
  w.expectFinished();
  EXPECT_EQ(w.window.workspace().text(), withoutOuterSpaces(decoded(korvane::testing::joined(chunks))));
}

TEST(DownloadOverSerial, LevelIsAnsweredChunkByChunkFromItsHeaderOn) {
  SerialWindow w("DL-100C系列");
  w.download();
  EXPECT_EQ(w.window.downloadTimer().interval(), 100);
  const auto chunks = korvane::testing::levelChunks();
  w.instrument.playLevel(korvane::testing::levelBeforeHeader(), chunks, 300ms);
  ASSERT_TRUE(w.waitForMessage("下載完畢"));
  w.expectFinished();
  ASSERT_TRUE(w.instrument.waitUntilDone(10s));
  EXPECT_EQ(w.instrument.failure(), "");
  EXPECT_FALSE(w.instrument.answeredBeforeHeader());
  // Every chunk but the last needed its acknowledgement to go on; the last may have had one.
  EXPECT_GE(w.instrument.acknowledgementCount(), static_cast<int>(chunks.size()) - 1);
  EXPECT_LE(w.instrument.acknowledgementCount(), static_cast<int>(chunks.size()));
  // The data before the header is dropped.
  EXPECT_EQ(w.window.workspace().text(), withoutOuterSpaces(decoded(korvane::testing::joined(chunks))));
  EXPECT_FALSE(w.window.workspace().text().contains("junk"));
}

TEST(DownloadOverSerial, EndLineWithOtherCharactersDoesNotEndAndInterruptEmptiesTheWorkspace) {
  SerialWindow w("DL-100C系列");
  w.download();
  w.instrument.playLevel({}, {"A,01,Z,\r\n", "B,01,BM1,\r\nZ,&,\r\n"}, 200ms);
  // The window must keep polling while the level plays.
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.instrument.waitUntilDone(10ms); }, kWaitMs));
  EXPECT_EQ(w.instrument.failure(), "");
  QTest::qWait(600);  // several more polls: nothing ends the download
  EXPECT_TRUE(w.messages.shown.empty());
  EXPECT_TRUE(w.window.downloadTimer().isEnabled());
  EXPECT_TRUE(w.port.isOpen());

  w.button("cDownloadBreak")->click();
  EXPECT_EQ(w.messages.texts(), QStringList{"下載中斷"});
  EXPECT_TRUE(w.window.workspace().text().isEmpty());
  EXPECT_FALSE(w.port.isOpen());
  EXPECT_EQ(w.icon(), "recycle.ico");
  EXPECT_FALSE(w.button("cDownloadBreak")->isEnabled());
}

TEST(DownloadOverSerial, MissingDeviceIsReportedWithItsName) {
  RecordingMessages messages;
  korvane::link::QtSerialPort port;
  MainWindow window(messages, port, &kScreen);
  qputenv("KORVANE_COM1", "/nonexistent/ttyNONE");
  window.findChild<QComboBox*>("Combo1")->setCurrentText("GTS-600/700/800系列");
  window.chooseSeries();
  window.startDownload();
  qunsetenv("KORVANE_COM1");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].kind, "critical");
  EXPECT_EQ(messages.shown[0].title, "Error");
  EXPECT_TRUE(messages.shown[0].text.contains("/nonexistent/ttyNONE")) << qPrintable(messages.shown[0].text);
  EXPECT_FALSE(window.downloadTimer().isEnabled());
}
