// `korvane download` through the real binary, as a process of its own without a display.
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTest>

namespace korvane::testing {

struct DownloadProcess {
  static constexpr int kWaitMs = 30000;

  QProcess process;
  QByteArray errors;
  QString home;  // the program folder, when the test gives one

  void start(const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");  // the subcommand needs no display
    if (!home.isEmpty()) environment.insert("KORVANE_HOME", home);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KORVANE_BINARY), QStringList{"download"} + arguments);
    EXPECT_TRUE(process.waitForStarted());
  }
  // Waits until the port is open and polled: the byte count appears on standard error.
  bool waitUntilListening() {
    return QTest::qWaitFor(
        [&] {
          process.waitForReadyRead(50);
          errors += process.readAllStandardError();
          return errors.contains("0") || process.state() == QProcess::NotRunning;
        },
        kWaitMs);
  }
  int finish() {
    EXPECT_TRUE(process.waitForFinished(kWaitMs));
    errors += process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  }
};

}  // namespace korvane::testing
