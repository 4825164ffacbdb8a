// `korvane convert` with the total-station verbs, through the real binary.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "gts200_download.h"
#include "gts200_sample.h"
#include "text/cp950.h"

namespace {

struct Outcome {
  int exitCode = -1;
  QByteArray out;
  QByteArray errors;
};

class ConvertCommand : public ::testing::Test {
 protected:
  QTemporaryDir home;

  Outcome run(const QStringList& arguments, const QByteArray& input = QByteArray()) {
    QProcess process;
    process.setProgram(QStringLiteral(KORVANE_BINARY));
    process.setArguments(QStringList{QStringLiteral("convert")} + arguments);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.insert(QStringLiteral("KORVANE_HOME"), home.path());
    process.setProcessEnvironment(environment);
    process.start();
    if (!process.waitForStarted()) return {};
    process.write(input);
    process.closeWriteChannel();
    Outcome result;
    if (!process.waitForFinished(60000)) return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.errors = process.readAllStandardError();
    return result;
  }

  QString file(const QString& name, const QByteArray& bytes) {
    const QString path = QDir(home.path()).filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
  }

  static QByteArray cp950(const QString& text) { return korvane::text::encodeCp950(text).bytes; }
};

const QString kGts200 = korvane::testing::gts200Download(QStringLiteral("_'S1_(ID_)1.5_+B1_ <0900000d0000000dK123_*BS_,1.5_+P1_ "
                                                                        "?000010000m0900000d1000000dm00010000_*樹_,1_ "));

TEST_F(ConvertCommand, Gts200ObservationReport) {
  const Outcome r = run({QStringLiteral("gts200-obs"), file(QStringLiteral("obs.txt"), cp950(kGts200))});
  EXPECT_EQ(r.exitCode, 0) << r.errors.constData();
  EXPECT_EQ(r.out, cp950(QStringLiteral("   測站:        S1  儀器高:1.500  ID:        ID\r\n 後視點:        B1"
                                        "  覘標高:1.500  Pcode:        BS  水平角:  0.0000  天頂距: 90.0000\r\n"
                                        "SS 點號:        P1  覘標高:1.000  Pcode:         樹  水平角:100.0000  天頂距: 90.0000"
                                        "  斜距:10.000平距:10.000")));
  EXPECT_TRUE(r.errors.isEmpty()) << r.errors.constData();
}

TEST_F(ConvertCommand, Gts200CadastralReportFromStandardInputAsUtf8) {
  const Outcome r = run({QStringLiteral("gts200-cadastral"), QStringLiteral("--utf8")}, kGts200.toUtf8());
  EXPECT_EQ(r.exitCode, 0) << r.errors.constData();
  EXPECT_EQ(QString::fromUtf8(r.out), QStringLiteral("S1 B1\r\nLS  (K123)\r\nP1 100.0000 10.000"));
}

TEST_F(ConvertCommand, Gts200CoordinateListingsInBothOrders) {
  const QString path = file(QStringLiteral("coord.txt"),
                            cp950(korvane::testing::gts200Download(QStringLiteral("_+       P01_ x0002501234_ y0001876543_ z0000012345_"))));
  const Outcome yxz = run({QStringLiteral("gts200-coord-yxz"), path});
  EXPECT_EQ(yxz.exitCode, 0) << yxz.errors.constData();
  EXPECT_EQ(yxz.out, QByteArray("P01,2501.234,1876.543,12.345"));
  const Outcome xyz = run({QStringLiteral("gts200-coord-xyz"), path});
  EXPECT_EQ(xyz.exitCode, 0) << xyz.errors.constData();
  EXPECT_EQ(xyz.out, QByteArray("P01,1876.543,2501.234,12.345"));
}

TEST_F(ConvertCommand, Gts600CoordinateListWritesTempTxt) {
  const QByteArray printout = "Job: LOT-12\r\nPoint          North         East\r\n====\r\nP1             2543210.123    187654.321\r\n";
  const Outcome r = run({QStringLiteral("gts600-coord"), file(QStringLiteral("c600.txt"), printout)});
  EXPECT_EQ(r.exitCode, 0) << r.errors.constData();
  EXPECT_EQ(r.out, QByteArray("LS  (LOT-12)\r\nP1 2543210.123 187654.321"));
  QFile scratch(QDir(home.path()).filePath(QStringLiteral("Temp.txt")));
  ASSERT_TRUE(scratch.open(QIODevice::ReadOnly));
  EXPECT_EQ(scratch.readAll(), printout);
}

TEST_F(ConvertCommand, Gts600CadastralReport) {
  const QByteArray printout = "Job: LOT-12\r\nOcc. Stn: A01\r\nBacksight Point:  B02\r\n"
                              "  SS      P101      HA: 123.4510  VA: 89.5930  HD: 123.400\r\n";
  const Outcome r = run({QStringLiteral("gts600-cadastral"), file(QStringLiteral("m600.txt"), printout)});
  EXPECT_EQ(r.exitCode, 0) << r.errors.constData();
  EXPECT_EQ(r.out, QByteArray("LS  (LOT-12)\r\nA01 B02\r\nP101 123.4510 123.400"));
}

TEST_F(ConvertCommand, IncompleteCoordinateDataFailsWithNothingOnStandardOutput) {
  const Outcome r = run({QStringLiteral("gts200-coord-xyz")}, QByteArray("+P1_ x1000_ y2000_ z3000_+P2_ x1000_ y20"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.out.isEmpty());
  EXPECT_TRUE(QString::fromLocal8Bit(r.errors).contains(QStringLiteral("P2"))) << r.errors.constData();
}

TEST_F(ConvertCommand, TempTxtThatCannotBeWrittenFails) {
  ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("Temp.txt")));
  const Outcome r = run({QStringLiteral("gts600-cadastral")}, QByteArray("Job: A\r\n"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.out.isEmpty());
  EXPECT_TRUE(r.errors.contains("Temp.txt")) << r.errors.constData();
}

TEST_F(ConvertCommand, TokensAfterEotBecomeEotLinesOnStandardError) {
  const Outcome r = run({QStringLiteral("gts200-obs")}, QByteArray("_<0900000d0000000dK123_*\x04_,1.5_ ?ZZ_ "));
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.errors, QByteArray("EOT: ?ZZ_ \nEOT: \n"));
}

TEST_F(ConvertCommand, HelpListsTheSixVerbs) {
  const Outcome r = run({QStringLiteral("--help")});
  EXPECT_EQ(r.exitCode, 0);
  for (const char* verb : {"gts200-obs", "gts200-coord-yxz", "gts200-coord-xyz", "gts200-cadastral", "gts600-coord",
                           "gts600-cadastral"}) {
    EXPECT_TRUE(r.out.contains(QByteArray("  ") + verb + ' ')) << verb;
  }
}

}  // namespace
