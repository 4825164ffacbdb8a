// `korvane --version` and the help texts: answered on standard output without a display, as
// help2man and a terminal need them.

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

namespace {

struct Answer {
  QByteArray out;
  QByteArray errors;
  int exitCode = -1;
};

Answer ask(const QStringList& arguments) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(KORVANE_BINARY), arguments);
  EXPECT_TRUE(process.waitForFinished(30000));
  return {process.readAllStandardOutput(), process.readAllStandardError(),
          process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1};
}

}  // namespace

TEST(VersionAndHelp, AnsweredWithoutADisplay) {
  const Answer version = ask({"--version"});
  EXPECT_EQ(version.exitCode, 0) << version.errors.toStdString();
  EXPECT_EQ(version.out, QByteArray("korvane " PROJECT_VERSION "\n"));
  EXPECT_TRUE(version.errors.isEmpty()) << version.errors.toStdString();

  const Answer help = ask({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(help.out.startsWith("Usage: korvane")) << help.out.toStdString();

  const Answer unknown = ask({"--versio"});
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_TRUE(unknown.out.isEmpty());
}

TEST(VersionAndHelp, SubcommandHelpNamesTheSubcommandNotTheProgramPath) {
  for (const QString subcommand : {"download", "upload", "convert", "db"}) {
    const Answer help = ask({subcommand, "--help"});
    EXPECT_EQ(help.exitCode, 0) << subcommand.toStdString();
    EXPECT_TRUE(help.out.startsWith("Usage: korvane " + subcommand.toUtf8() + " ")) << help.out.toStdString();
  }
}
