// `korvane download` through the real binary, against the instrument simulator.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "download_process.h"
#include "support/instrument_simulator.h"
#include "support/sample_downloads.h"
#include "text/cp950.h"

using namespace std::chrono_literals;
using korvane::testing::InstrumentSimulator;

namespace {

constexpr int kWaitMs = 20000;

QByteArray withoutOuterSpaces(QByteArray bytes) {
  while (bytes.startsWith(' ')) bytes.remove(0, 1);
  while (bytes.endsWith(' ')) bytes.chop(1);
  return bytes;
}

QByteArray fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

using Download = korvane::testing::DownloadProcess;

}  // namespace

TEST(DownloadCommand, TotalStationDataGoesToStandardOutputInCp950) {
  InstrumentSimulator instrument;
  Download download;
  download.start({"--series", "gts200", "--port", QString::fromStdString(instrument.devicePath())});
  ASSERT_TRUE(download.waitUntilListening()) << download.errors.toStdString();
  const auto chunks = korvane::testing::gts200Chunks();
  instrument.playTotalStation(chunks, 100ms);
  EXPECT_EQ(download.finish(), 0) << download.errors.toStdString();
  const QByteArray expected = withoutOuterSpaces(korvane::testing::joined(chunks));
  EXPECT_EQ(download.process.readAllStandardOutput(), expected);
  EXPECT_TRUE(download.errors.contains(QByteArray::number(expected.size())) ||
              download.errors.contains(QByteArray::number(korvane::testing::joined(chunks).size())))
      << download.errors.toStdString();
}

TEST(DownloadCommand, Gts600PrintoutGoesToAFile) {
  InstrumentSimulator instrument;
  QTemporaryDir folder;
  const QString output = folder.filePath("job.txt");
  Download download;
  download.start({"--series", "gts600", "--port", QString::fromStdString(instrument.devicePath()), "--baud", "4800",
                  "-o", output});
  ASSERT_TRUE(download.waitUntilListening()) << download.errors.toStdString();
  const auto chunks = korvane::testing::gts600Chunks();
  instrument.playTotalStation(chunks, 100ms);
  EXPECT_EQ(download.finish(), 0) << download.errors.toStdString();
  QFile file(output);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), withoutOuterSpaces(korvane::testing::joined(chunks)));
  EXPECT_TRUE(download.process.readAllStandardOutput().isEmpty());
}

TEST(DownloadCommand, LevelIsAcknowledgedAndItsHeaderStartsTheText) {
  InstrumentSimulator instrument;
  Download download;
  download.start({"--series", "dl100c", "--port", QString::fromStdString(instrument.devicePath())});
  ASSERT_TRUE(download.waitUntilListening()) << download.errors.toStdString();
  const auto chunks = korvane::testing::levelChunks();
  instrument.playLevel(korvane::testing::levelBeforeHeader(), chunks, 300ms);
  EXPECT_EQ(download.finish(), 0) << download.errors.toStdString();
  ASSERT_TRUE(instrument.waitUntilDone(10s));
  EXPECT_EQ(instrument.failure(), "");
  EXPECT_GE(instrument.acknowledgementCount(), static_cast<int>(chunks.size()) - 1);
  EXPECT_EQ(download.process.readAllStandardOutput(), withoutOuterSpaces(korvane::testing::joined(chunks)));
}

TEST(DownloadCommand, CtrlCInterruptsAndWritesNothing) {
  InstrumentSimulator instrument;
  QTemporaryDir folder;
  const QString output = folder.filePath("never.txt");
  Download download;
  download.start({"--series", "dl100c", "--port", QString::fromStdString(instrument.devicePath()), "-o", output});
  ASSERT_TRUE(download.waitUntilListening()) << download.errors.toStdString();
  // A level that stops after its header and one record: the download waits for more.
  instrument.playLevel({}, {"A,01,Z,\r\n", "B,01,BM1,\r\n"}, 100ms);
  ASSERT_TRUE(instrument.waitUntilDone(10s));
  ::kill(static_cast<pid_t>(download.process.processId()), SIGINT);
  EXPECT_EQ(download.finish(), 130) << download.errors.toStdString();
  EXPECT_FALSE(QFile::exists(output));
  EXPECT_TRUE(download.process.readAllStandardOutput().isEmpty());
}

TEST(DownloadCommand, WrongUsageAndMissingPortsAreClearErrors) {
  {
    Download download;
    download.start({"--series", "gts900", "--port", "/dev/null"});
    EXPECT_EQ(download.finish(), 2);
    EXPECT_TRUE(download.errors.contains("--series")) << download.errors.toStdString();
  }
  {
    Download download;
    download.start({"--series", "gts200", "--port", "/dev/null", "--baud", "9601"});
    EXPECT_EQ(download.finish(), 2);
    EXPECT_TRUE(download.errors.contains("9601")) << download.errors.toStdString();
  }
  {
    Download download;
    download.start({"--series", "gts200", "--port", "/nonexistent/ttyNONE"});
    EXPECT_EQ(download.finish(), 1);
    EXPECT_TRUE(download.errors.contains("/nonexistent/ttyNONE")) << download.errors.toStdString();
  }
}

TEST(Korvane, HelpListsTheSubcommandsWithoutADisplay) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("DISPLAY");
  environment.remove("QT_QPA_PLATFORM");
  environment.remove("WAYLAND_DISPLAY");
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(KORVANE_BINARY), {"--help"});
  ASSERT_TRUE(process.waitForFinished(kWaitMs));
  EXPECT_EQ(process.exitCode(), 0);
  EXPECT_TRUE(process.readAllStandardOutput().contains("download"));

  process.start(QStringLiteral(KORVANE_BINARY), QStringList{});
  ASSERT_TRUE(process.waitForFinished(kWaitMs));
  EXPECT_EQ(process.exitCode(), 1);
  EXPECT_TRUE(process.readAllStandardError().contains("desktop session"));
}

TEST(DownloadCommand, BytesThatAreNoBig5AreWrittenAsQuestionMarksAndExitThree) {
  InstrumentSimulator instrument;
  Download download;
  download.start({"--series", "gts600", "--port", QString::fromStdString(instrument.devicePath())});
  ASSERT_TRUE(download.waitUntilListening()) << download.errors.toStdString();
  instrument.playTotalStation({QByteArray("P1 \x81\x04", 5)}, 50ms);
  EXPECT_EQ(download.finish(), 3) << download.errors.toStdString();
  EXPECT_EQ(download.process.readAllStandardOutput(), QByteArray("P1 ?\x04"));
  EXPECT_EQ(download.errors.count("Big5"), 1) << download.errors.toStdString();
}

// The instrument hangs up (a pulled cable) once the command's port has taken in what it sent.
TEST(DownloadCommand, LostLinkWritesWhatArrivedAndExitsFour) {
  struct Case {
    const char* name;
    std::vector<QByteArray> sent;
    int exitStatus;
  };
  const auto chunks = korvane::testing::gts200Chunks();
  const QByteArray all = korvane::testing::joined(chunks);
  const qsizetype peg = all.indexOf("\xA4\x40");  // the Big5 name 一號樁
  const Case cases[] = {
      {"before any byte", {}, 4},
      {"inside a block", {all.left(100), all.mid(100, 90)}, 4},
      {"inside a Big5 character", {all.left(peg + 1)}, 4},
      {"right after the end marker", chunks, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InstrumentSimulator instrument;
    QTemporaryDir folder;
    Download download;
    download.start({"--series", "gts200", "--port", QString::fromStdString(instrument.devicePath()), "-o",
                    folder.filePath("job.txt"), "--raw", folder.filePath("job.raw")});
    ASSERT_TRUE(download.waitUntilListening()) << download.errors.toStdString();
    instrument.playTotalStation(c.sent, 20ms);
    ASSERT_TRUE(instrument.waitUntilDone(10s));
    ASSERT_TRUE(instrument.waitUntilDrained(10s));
    instrument.hangUp();
    EXPECT_EQ(download.finish(), c.exitStatus) << download.errors.toStdString();

    const QByteArray sent = korvane::testing::joined(c.sent);
    QByteArray text = withoutOuterSpaces(sent);
    if (text.endsWith('\xA4')) text.back() = '?';  // half a Big5 character
    EXPECT_EQ(fileBytes(folder.filePath("job.txt")), text);
    EXPECT_EQ(fileBytes(folder.filePath("job.raw")), sent);
    if (c.exitStatus == 4) {
      const QString errors = QString::fromLocal8Bit(download.errors);
      EXPECT_TRUE(errors.contains("在收到資料結束標記之前，與儀器的連線已中斷")) << download.errors.toStdString();
      EXPECT_TRUE(errors.contains(QStringLiteral("已保留收到的資料：%1 個位元組").arg(text.size())))
          << download.errors.toStdString();
    }
  }
}

TEST(DownloadCommand, OutputThatCannotBeWrittenFailsBeforeThePortOpens) {
  QTemporaryDir folder;
  const QString missingFolder = folder.filePath("no-such-folder/job.txt");
  const QStringList places[] = {
      {"-o", folder.path()},
      {"-o", missingFolder},
      {"--raw", folder.path()},
      {"--raw", missingFolder},
  };
  for (const QStringList& place : places) {
    SCOPED_TRACE(place.join(' ').toStdString());
    InstrumentSimulator instrument;
    instrument.listen();
    Download download;
    // A level would be answered at once if the port were open.
    download.start(QStringList{"--series", "dl100c", "--port", QString::fromStdString(instrument.devicePath())} +
                   place);
    EXPECT_EQ(download.finish(), 1) << download.errors.toStdString();
    EXPECT_TRUE(download.errors.contains(place[1].toLocal8Bit())) << download.errors.toStdString();
    EXPECT_TRUE(download.errors.contains("nothing was transferred")) << download.errors.toStdString();
    EXPECT_FALSE(QString::fromLocal8Bit(download.errors).contains("已接收")) << "the port was opened: "
                                                                      << download.errors.toStdString();
  }
}

TEST(DownloadCommand, TextThatCannotBeWrittenAtTheEndIsKeptInTheProgramFolder) {
  InstrumentSimulator instrument;
  QTemporaryDir home;
  QTemporaryDir jobs;
  ASSERT_TRUE(QDir(jobs.path()).mkdir("today"));
  const QString output = jobs.filePath("today/job.txt");
  Download download;
  download.home = home.path();
  download.start({"--series", "gts600", "--port", QString::fromStdString(instrument.devicePath()), "-o", output});
  ASSERT_TRUE(download.waitUntilListening()) << download.errors.toStdString();
  ASSERT_TRUE(QDir(jobs.filePath("today")).removeRecursively());  // the folder goes away meanwhile
  const auto chunks = korvane::testing::gts600Chunks();
  instrument.playTotalStation(chunks, 20ms);
  EXPECT_EQ(download.finish(), 1) << download.errors.toStdString();

  const QStringList kept = QDir(home.path()).entryList({"download-*.txt"}, QDir::Files);
  ASSERT_EQ(kept.size(), 1) << download.errors.toStdString();
  const QString keptPath = QDir(home.path()).filePath(kept[0]);
  EXPECT_EQ(fileBytes(keptPath), withoutOuterSpaces(korvane::testing::joined(chunks)));
  EXPECT_TRUE(download.errors.contains(keptPath.toLocal8Bit())) << download.errors.toStdString();
  EXPECT_TRUE(download.errors.contains(output.toLocal8Bit())) << download.errors.toStdString();
}

TEST(DownloadCommand, HelpNamesEveryExitStatus) {
  Download download;
  download.start({"--help"});
  EXPECT_EQ(download.finish(), 0);
  const QByteArray help = download.process.readAllStandardOutput();
  for (const char* word : {"--raw", "0 done", "1 failed", "2 wrong usage", "3 written", "4 the link was lost", "130"}) {
    EXPECT_TRUE(help.contains(word)) << word;
  }
}
