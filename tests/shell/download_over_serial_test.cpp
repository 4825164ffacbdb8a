// Downloads through the Main window's own handlers and QSerialPort, against the instrument
// simulator on a pseudo-terminal.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
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

// A file dialog that answers with the name the test gives.
class ChosenFile : public FileDialogs {
 public:
  bool showOpen(CommonDialog&, QWidget*) override { return false; }
  bool showSave(CommonDialog& dialog, QWidget*) override {
    dialog.fileName = name;
    return !name.isEmpty();
  }
  QString name;
};

QByteArray fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

struct SerialWindow : korvane::testing::WindowUnderTest<korvane::link::QtSerialPort> {
  InstrumentSimulator instrument;
  QTemporaryDir home;  // the program folder

  explicit SerialWindow(const QString& series, WindowServices services = {})
      : WindowUnderTest(services) {
    // COM1 stands for the simulator's device, as a surveyor would point it at a USB adapter.
    qputenv("KORVANE_COM1", QByteArray::fromStdString(instrument.devicePath()));
    qputenv("KORVANE_HOME", home.path().toLocal8Bit());
    choose(series);
  }
  ~SerialWindow() {
    qunsetenv("KORVANE_COM1");
    qunsetenv("KORVANE_HOME");
  }
  QString statusText() { return window.statusBar()->currentMessage(); }
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
  EXPECT_EQ(messages.shown[0].title, "錯誤");
  EXPECT_TRUE(messages.shown[0].text.contains("/nonexistent/ttyNONE")) << qPrintable(messages.shown[0].text);
  EXPECT_FALSE(window.downloadTimer().isEnabled());
}

TEST(DownloadOverSerial, StatusBarCountsTheBytesReceived) {
  SerialWindow w("GTS-600/700/800系列");
  w.download();
  EXPECT_EQ(w.statusText(), "下載中：已接收 0 位元組");
  const auto chunks = korvane::testing::gts600Chunks();
  w.instrument.playTotalStation({chunks[0]}, 0ms);
  const QString firstCount = QStringLiteral("下載中：已接收 %1 位元組").arg(chunks[0].size());
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.statusText() == firstCount; }, kWaitMs)) << qPrintable(w.statusText());
  w.button("cDownloadBreak")->click();
  EXPECT_EQ(w.statusText(), "");
}

// The instrument hangs up (a pulled cable) once the host's port has taken in what it sent. The
// window polls slowly here, so that the hang-up is known to the port before the tick that reads
// the last bytes: those bytes must still come through.
TEST(DownloadOverSerial, LineThatDropsKeepsEverythingThatArrived) {
  struct Case {
    const char* name;
    std::vector<QByteArray> sent;
    bool endMarkerArrived;
  };
  const auto chunks = korvane::testing::gts200Chunks();
  const auto gts200 = korvane::testing::joined(chunks);
  const qsizetype peg = gts200.indexOf("\xA4\x40");  // the Big5 name 一號樁
  const Case cases[] = {
      {"before any byte", {}, false},
      {"inside a block", {gts200.left(100), gts200.mid(100, 90)}, false},
      {"inside a Big5 character", {gts200.left(peg + 1)}, false},
      {"right after the end marker", chunks, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SerialWindow w("GTS-210/220/310/Gpt1000/2000系列");
    w.download();
    w.window.downloadTimer().setInterval(700);
    w.instrument.playTotalStation(c.sent, 20ms);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.instrument.waitUntilDone(10ms); }, kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.instrument.waitUntilDrained(50ms); }, kWaitMs));
    w.instrument.hangUp();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.messages.shown.empty(); }, kWaitMs));

    const QByteArray sent = korvane::testing::joined(c.sent);
    int undecodable = 0;
    const QString arrived = withoutOuterSpaces(korvane::text::decodeCp950(sent, &undecodable));
    EXPECT_EQ(w.window.workspace().text(), arrived);
    if (c.endMarkerArrived) {
      w.expectFinished();
    } else {
      const auto& message = w.messages.shown[0];
      EXPECT_EQ(message.kind, "critical");
      EXPECT_EQ(message.title, "錯誤");
      EXPECT_TRUE(message.text.startsWith("在收到資料結束標記之前，與儀器的連線已中斷")) << qPrintable(message.text);
      const qsizetype kept = korvane::text::encodeCp950(arrived).bytes.size();
      EXPECT_TRUE(message.text.contains(QStringLiteral("已保留收到的資料：%1 個位元組").arg(kept)))
          << qPrintable(message.text);
      EXPECT_EQ(w.messages.shown.size(), undecodable > 0 ? 2u : 1u) << qPrintable(w.messages.texts().join("; "));
      EXPECT_FALSE(w.port.isOpen());
      EXPECT_EQ(w.icon(), "recycle.ico");
      EXPECT_FALSE(w.button("cDownloadBreak")->isEnabled());
      EXPECT_FALSE(w.window.downloadTimer().isEnabled());
    }
    EXPECT_TRUE(w.button("cDownload")->isEnabled());
    EXPECT_EQ(w.statusText(), "");
    EXPECT_EQ(fileBytes(w.home.filePath("last-download.raw")), sent);
  }
}

TEST(DownloadOverSerial, RawBytesOfTheLastDownloadAreKeptAndCanBeSavedElsewhere) {
  ChosenFile dialogs;
  SerialWindow w("GTS-210/220/310/Gpt1000/2000系列", {&dialogs});
  QTemporaryDir elsewhere;
  dialogs.name = elsewhere.filePath("field-day.raw");

  // Before any download there is nothing to save.
  w.action("mnuSaveRaw")->trigger();
  EXPECT_EQ(w.messages.shown.back().kind, "information");
  EXPECT_FALSE(QFile::exists(dialogs.name));
  w.messages.shown.clear();

  w.download();
  const auto chunks = korvane::testing::gts200Chunks();
  w.instrument.playTotalStation(chunks, 50ms);
  ASSERT_TRUE(w.waitForMessage("下載完畢"));
  const QByteArray raw = korvane::testing::joined(chunks);
  EXPECT_EQ(fileBytes(w.home.filePath("last-download.raw")), raw);

  w.action("mnuSaveRaw")->trigger();
  EXPECT_EQ(fileBytes(dialogs.name), raw);
  EXPECT_EQ(w.messages.texts(), QStringList{"下載完畢"});
}
