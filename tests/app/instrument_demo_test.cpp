// The README's demo as a new user runs it: instrument-sim in one terminal, `korvane download`
// in another, Enter in the first, then `korvane convert` on what arrived. Also a raw capture
// played back by instrument-sim --replay, which must come out byte for byte the same.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "download_process.h"
#include "support/posix_host_port.h"
#include "support/sample_downloads.h"
#include "text/cp950.h"

namespace {

constexpr int kWaitMs = 30000;

QByteArray fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing " + path.toUtf8() + ">");
}

// An expected report under golden/: UTF-8 with LF, one line of the file per report line.
QString golden(const QString& name) {
  QString text = QString::fromUtf8(fileBytes(QStringLiteral(APP_GOLDEN_DIR "/") + name));
  if (text.endsWith(u'\n')) text.chop(1);
  return text.replace(u'\n', QStringLiteral("\r\n"));
}

QProcessEnvironment withoutDisplay() {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("DISPLAY");
  return environment;
}

// The pretend instrument, started as the README says.
struct Instrument {
  QProcess process;
  QString device;

  explicit Instrument(const QStringList& arguments) {
    process.start(QStringLiteral(INSTRUMENT_SIM_BINARY), arguments);
    if (!process.waitForStarted()) return;
    // A device name that never comes leaves `device` empty, which the callers check.
    (void)QTest::qWaitFor(
        [&] {
          process.waitForReadyRead(50);
          return process.canReadLine() || process.state() == QProcess::NotRunning;
        },
        kWaitMs);
    device = QString::fromUtf8(process.readLine()).trimmed();
  }
  void pressEnter() {
    process.write("\n");
    process.waitForBytesWritten(kWaitMs);
  }
  int finish() {
    EXPECT_TRUE(process.waitForFinished(kWaitMs));
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  }
};


// Plays the instrument with `instrumentArguments` into a download; the raw capture's bytes
// (none without `raw`).
QByteArray playAndDownload(const QString& series, const QStringList& instrumentArguments, const QString& output,
                           const QString& raw) {
  Instrument instrument(QStringList{"--series", series} + instrumentArguments);
  EXPECT_FALSE(instrument.device.isEmpty()) << instrument.process.readAllStandardError().toStdString();
  korvane::testing::DownloadProcess download;
  download.start(QStringList{"--series", series, "--port", instrument.device, "-o", output} +
                 (raw.isEmpty() ? QStringList() : QStringList{"--raw", raw}));
  EXPECT_TRUE(download.waitUntilListening()) << download.errors.toStdString();
  instrument.pressEnter();
  EXPECT_EQ(download.finish(), 0) << download.errors.toStdString();
  EXPECT_EQ(instrument.finish(), 0) << instrument.process.readAllStandardOutput().toStdString();
  return raw.isEmpty() ? QByteArray() : fileBytes(raw);
}

QString converted(const QString& verb, const QString& file) {
  QProcess process;
  process.setProcessEnvironment(withoutDisplay());
  process.start(QStringLiteral(KORVANE_BINARY), {"convert", verb, file});
  EXPECT_TRUE(process.waitForFinished(kWaitMs));
  EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
  return korvane::text::decodeCp950(process.readAllStandardOutput());
}

struct DemoCase {
  const char* series;
  const char* sample;  // empty: the series' default, as in the README
  const char* data;    // golden/<data>.<verb>.txt holds the expected reports
  QStringList verbs;   // every conversion of the series that reads this kind of data
};

const DemoCase kDemos[] = {
    {"gts200", "", "gts200-observations", {"gts200-obs", "gts200-cadastral"}},
    {"gts200", "coordinates", "gts200-coordinates", {"gts200-coord-yxz", "gts200-coord-xyz"}},
    {"gts600", "", "gts600-coordinates", {"gts600-coord"}},
    {"gts600", "observations", "gts600-observations", {"gts600-cadastral"}},
    {"dl100c", "", "dl100c-line", {"dl100c-report"}},
};

}  // namespace

TEST(InstrumentDemo, EverySeriesArrivesWholeAndConvertsIntoItsReport) {
  for (const DemoCase& demo : kDemos) {
    const QString sample = QString::fromLatin1(demo.sample);
    SCOPED_TRACE(std::string(demo.series) + " " + demo.sample);
    QTemporaryDir folder;
    const QString job = folder.filePath("job.txt");
    QStringList arguments;
    if (!sample.isEmpty()) arguments << "--sample" << sample;
    playAndDownload(demo.series, arguments, job, QString());

    // Everything the instrument sent arrived (a level's bytes before its header are dropped).
    QProcess print;
    print.start(QStringLiteral(INSTRUMENT_SIM_BINARY), QStringList{"--series", demo.series, "--print"} + arguments);
    ASSERT_TRUE(print.waitForFinished(kWaitMs));
    QByteArray sent = print.readAllStandardOutput();
    if (QString(demo.series) == "dl100c") sent = sent.mid(sent.indexOf("A,01,Z,"));
    while (sent.endsWith(' ')) sent.chop(1);
    EXPECT_EQ(fileBytes(job), sent);

    for (const QString& verb : demo.verbs) {
      SCOPED_TRACE(verb.toStdString());
      EXPECT_EQ(converted(verb, job), golden(QStringLiteral("%1.%2.txt").arg(QString::fromLatin1(demo.data), verb)));
    }
  }
}

TEST(InstrumentDemo, ReplayedCaptureIsCapturedAgainByteForByte) {
  for (const char* series : {"gts200", "gts600", "dl100c"}) {
    SCOPED_TRACE(series);
    QTemporaryDir folder;
    const QByteArray first = playAndDownload(series, {}, folder.filePath("first.txt"), folder.filePath("first.raw"));
    // The capture holds every byte the instrument sent, those a level sends before its header too.
    QProcess print;
    print.start(QStringLiteral(INSTRUMENT_SIM_BINARY), {"--series", series, "--print"});
    ASSERT_TRUE(print.waitForFinished(kWaitMs));
    EXPECT_EQ(first, print.readAllStandardOutput());
    const QByteArray again = playAndDownload(series, {"--replay", folder.filePath("first.raw")},
                                             folder.filePath("again.txt"), folder.filePath("again.raw"));
    EXPECT_EQ(again, first);
    EXPECT_EQ(fileBytes(folder.filePath("again.txt")), fileBytes(folder.filePath("first.txt")));
  }
}

TEST(InstrumentDemo, HelpDescribesEveryMode) {
  QProcess help;
  help.start(QStringLiteral(INSTRUMENT_SIM_BINARY), {"--help"});
  ASSERT_TRUE(help.waitForFinished(kWaitMs));
  EXPECT_EQ(help.exitCode(), 0);
  const QByteArray text = help.readAllStandardOutput();
  for (const char* mode : {"--sample", "--replay", "--receive", "--print", "--hang-up-after", "gts200 coordinates",
                           "gts600 observations", "dl100c line"}) {
    EXPECT_TRUE(text.contains(mode)) << mode;
  }
}

TEST(InstrumentDemo, InstrumentStaysUntilTheHostHasReadItsLastBytes) {
  Instrument instrument({"--series", "gts600", "--gap", "0"});
  korvane::testing::PosixHostPort host(instrument.device.toStdString());
  instrument.pressEnter();
  // Everything is written at once, but nothing has been read: going away now would lose it.
  EXPECT_FALSE(instrument.process.waitForFinished(1500));
  EXPECT_EQ(host.readThrough('\x04', std::chrono::seconds(20)),
            korvane::testing::joined(korvane::testing::gts600Chunks()));
  EXPECT_EQ(instrument.finish(), 0) << instrument.process.readAllStandardOutput().toStdString();

  // A host that never reads is told about, after the drain time.
  Instrument deaf({"--series", "gts600", "--gap", "0", "--drain-timeout", "300"});
  korvane::testing::PosixHostPort silent(deaf.device.toStdString());
  deaf.pressEnter();
  EXPECT_EQ(deaf.finish(), 1);
  EXPECT_TRUE(deaf.process.readAllStandardOutput().contains("the host did not read the last bytes"));
}

TEST(InstrumentDemo, ReceivingInstrumentKeepsWhatAnUploadSends) {
  QTemporaryDir folder;
  const QString points = folder.filePath("points.txt");
  {
    QFile file(points);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("P1,100,200,5\r\nP2,110,210,6\r\n");
  }
  Instrument instrument({"--series", "gts600", "--receive", "-o", folder.filePath("received.bin")});
  ASSERT_FALSE(instrument.device.isEmpty());
  QProcess upload;
  upload.setProcessEnvironment(withoutDisplay());
  upload.start(QStringLiteral(KORVANE_BINARY), {"upload", "--series", "gts600", "--option", "X", "--baud", "19200",
                                                "--port", instrument.device, points});
  ASSERT_TRUE(upload.waitForFinished(kWaitMs));
  EXPECT_EQ(upload.exitCode(), 0) << upload.readAllStandardError().toStdString();
  EXPECT_EQ(instrument.finish(), 0);
  EXPECT_EQ(fileBytes(folder.filePath("received.bin")), "P1,100,200,5\r\nP2,110,210,6\r\nP2,110,210,6\r\x04");
  EXPECT_TRUE(instrument.process.readAllStandardOutput().contains("bytes received: 42"));
}
