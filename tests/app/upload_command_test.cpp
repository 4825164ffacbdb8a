// `korvane upload` through the real binary, received by the instrument simulator.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "support/instrument_simulator.h"

using namespace std::chrono_literals;
using korvane::testing::InstrumentSimulator;

namespace {

constexpr int kWaitMs = 30000;

QString writeFile(const QTemporaryDir& folder, const char* name, const QByteArray& bytes) {
  const QString path = folder.filePath(QString::fromLatin1(name));
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  file.write(bytes);
  return path;
}

QProcess* startUpload(QProcess& process, const QStringList& arguments) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("DISPLAY");
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(KORVANE_BINARY), QStringList{"upload"} + arguments);
  return &process;
}

}  // namespace

TEST(UploadCommand, Gts600FileArrivesLineByLine) {
  InstrumentSimulator instrument;
  instrument.listen();
  QTemporaryDir folder;
  const QString file = writeFile(folder, "points.txt", "P1,100,200,5\r\nP2,110,210,6\r\n");
  QProcess process;
  startUpload(process, {"--series", "gts600", "--option", "Y", "--baud", "19200", "--port",
                        QString::fromStdString(instrument.devicePath()), file});
  ASSERT_TRUE(process.waitForFinished(kWaitMs));
  EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
  QTest::qWait(100);
  EXPECT_EQ(instrument.received(), "P1,200,100,5\r\nP2,210,110,6\r\nP2,210,110,6\r\x04");
  EXPECT_TRUE(process.readAllStandardError().contains("1"));
}

TEST(UploadCommand, CtrlCSendsEotAndExits130) {
  InstrumentSimulator instrument;
  instrument.listen();
  QTemporaryDir folder;
  QByteArray many;
  for (int i = 1; i <= 20; ++i) many += "P" + QByteArray::number(i) + ",1,2,3\r\n";
  const QString file = writeFile(folder, "many.txt", many);
  QProcess process;
  startUpload(process, {"--series", "gts200", "--port", QString::fromStdString(instrument.devicePath()), file});
  ASSERT_TRUE(process.waitForStarted());
  // The start sequence is there once the port is open and the upload runs.
  ASSERT_TRUE(QTest::qWaitFor([&] { return instrument.received().contains("068\x03\r\n"); }, kWaitMs));
  ::kill(static_cast<pid_t>(process.processId()), SIGINT);
  ASSERT_TRUE(process.waitForFinished(kWaitMs));
  EXPECT_EQ(process.exitCode(), 130);
  QTest::qWait(100);
  EXPECT_TRUE(instrument.received().endsWith("\x04"));
  EXPECT_FALSE(instrument.received().contains("\x02\x04\x03"));
}

TEST(UploadCommand, UnreadableLineFailsWithItsText) {
  InstrumentSimulator instrument;
  instrument.listen();
  QTemporaryDir folder;
  const QString file = writeFile(folder, "bad.txt", "P1,1,2\r\n");
  QProcess process;
  startUpload(process, {"--series", "gts200", "--baud", "19200", "--port", QString::fromStdString(instrument.devicePath()), file});
  ASSERT_TRUE(process.waitForFinished(kWaitMs));
  EXPECT_EQ(process.exitCode(), 1);
  EXPECT_TRUE(process.readAllStandardError().contains("P1,1,2"));
}

TEST(ConvertL14, PrintsUploadLinesOrFails) {
  QTemporaryDir folder;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("KORVANE_HOME", folder.path());
  QProcess process;
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(KORVANE_BINARY),
                {"convert", "l14", writeFile(folder, "l14.txt", "PAGE 1\r\nP1 2543210.123 187654.321\r\n")});
  ASSERT_TRUE(process.waitForFinished(kWaitMs));
  EXPECT_EQ(process.exitCode(), 0);
  EXPECT_EQ(process.readAllStandardOutput(), "P1,187654.321,2543210.123,0\r");
  EXPECT_TRUE(QFile::exists(folder.filePath("Temp.txt")));

  process.start(QStringLiteral(KORVANE_BINARY), {"convert", "l14", writeFile(folder, "bad.txt", "P1 10\r\n")});
  ASSERT_TRUE(process.waitForFinished(kWaitMs));
  EXPECT_EQ(process.exitCode(), 1);
  EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
  EXPECT_FALSE(process.readAllStandardError().isEmpty());
}
