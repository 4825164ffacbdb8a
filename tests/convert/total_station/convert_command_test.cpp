// `korvane convert` with the total-station verbs, through the real binary.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "gts200_download.h"
#include "text/cp950.h"

namespace {

struct Outcome {
  int exitCode = -1;
  QByteArray out;
  QByteArray errors;
};

// Runs `korvane convert ARGUMENTS` with INPUT on standard input and its files in HOME.
Outcome convert(const QString& home, const QStringList& arguments, const QByteArray& input = QByteArray()) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("DISPLAY"));
  environment.insert(QStringLiteral("KORVANE_HOME"), home);
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(KORVANE_BINARY), QStringList{QStringLiteral("convert")} + arguments);
  Outcome outcome;
  if (!process.waitForStarted()) return outcome;
  process.write(input);
  process.closeWriteChannel();
  if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) return outcome;
  outcome = {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
  return outcome;
}

QByteArray cp950(const QString& text) { return korvane::text::encodeCp950(text).bytes; }

struct Verb {
  const char* name;
  QString input;
  QString output;
};

const QString kGts200 = korvane::testing::gts200Download(
    QStringLiteral("_'S1_(ID_)1.5_+B1_ <0900000d0000000dK123_*BS_,1.5_+P1_ ?000010000m0900000d1000000dm00010000_*樹_,1_ "));
const QString kCoordinates = korvane::testing::gts200Download(QStringLiteral("_+       P01_ x0002501234_ y0001876543_ z0000012345_"));

const Verb kVerbs[] = {
    {"gts200_obs", kGts200,
     QStringLiteral("   測站:        S1  儀器高:1.500  ID:        ID\r\n 後視點:        B1"
                    "  覘標高:1.500  Pcode:        BS  水平角:  0.0000  天頂距: 90.0000\r\n"
                    "SS 點號:        P1  覘標高:1.000  Pcode:         樹  水平角:100.0000  天頂距: 90.0000  斜距:10.000平距:10.000")},
    {"gts200_cadastral", kGts200, QStringLiteral("S1 B1\r\nLS  (K123)\r\nP1 100.0000 10.000")},
    {"gts200_coord_yxz", kCoordinates, QStringLiteral("P01,2501.234,1876.543,12.345")},
    {"gts200_coord_xyz", kCoordinates, QStringLiteral("P01,1876.543,2501.234,12.345")},
    {"gts600_coord", QStringLiteral("Job: 一\r\nPoint          North         East\r\n====\r\nP1             2543210.123    187654.321\r\n"),
     QStringLiteral("LS  (一)\r\nP1 2543210.123 187654.321")},
    {"gts600_cadastral",
     QStringLiteral("Job: LOT-12\r\nOcc. Stn: A01\r\nBacksight Point:  B02\r\n"
                    "  SS      P101      HA: 123.4510  VA: 89.5930  HD: 123.400\r\n"),
     QStringLiteral("LS  (LOT-12)\r\nA01 B02\r\nP101 123.4510 123.400")},
};

class ConvertVerb : public ::testing::TestWithParam<Verb> {};

TEST_P(ConvertVerb, ConvertsAFileToCp950OnStandardOutput) {
  QTemporaryDir home;
  const QString path = QDir(home.path()).filePath(QStringLiteral("input.txt"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(cp950(GetParam().input));
  file.close();
  const Outcome outcome = convert(home.path(), {QString::fromLatin1(GetParam().name).replace(u'_', u'-'), path});
  EXPECT_EQ(outcome.exitCode, 0) << outcome.errors.constData();
  EXPECT_EQ(outcome.out, cp950(GetParam().output));
  EXPECT_TRUE(outcome.errors.isEmpty()) << outcome.errors.constData();
}

INSTANTIATE_TEST_SUITE_P(TotalStation, ConvertVerb, ::testing::ValuesIn(kVerbs),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ConvertCommand, StandardInputToUtf8) {
  QTemporaryDir home;
  const Outcome outcome = convert(home.path(), {QStringLiteral("gts200-cadastral"), QStringLiteral("--utf8")}, kGts200.toUtf8());
  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(QString::fromUtf8(outcome.out), kVerbs[1].output);
}

TEST(ConvertCommand, FailuresPrintTheirMessageAndNothingOnStandardOutput) {
  QTemporaryDir home;
  const Outcome cut = convert(home.path(), {QStringLiteral("gts200-coord-xyz")}, QByteArray("+P1_ x1_ y2_ z3_+P2_ x1_ y20"));
  EXPECT_EQ(cut.exitCode, 1);
  EXPECT_TRUE(cut.out.isEmpty());
  EXPECT_TRUE(cut.errors.contains("P2")) << cut.errors.constData();

  ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("Temp.txt")));
  const Outcome scratch = convert(home.path(), {QStringLiteral("gts600-cadastral")}, QByteArray("Job: A\r\nOcc. Stn: A01\r\n"));
  EXPECT_EQ(scratch.exitCode, 1);
  EXPECT_TRUE(scratch.out.isEmpty());
  EXPECT_TRUE(scratch.errors.contains("Temp.txt")) << scratch.errors.constData();
}

TEST(ConvertCommand, InputWithoutRecordsOfTheVerbsKindExitsOneWithNothingOnStandardOutput) {
  QTemporaryDir home;
  const std::pair<const char*, QByteArray> cases[] = {
      {"gts200-coord-yxz", QByteArray()},
      {"gts200-obs", QByteArray("Job: A\r\nP1             2543210.123    187654.321\r\n")},
      {"gts200-cadastral", QByteArray("+P1_ x1_ y2_ z3_")},
      {"gts200-cadastral", QByteArray("' ")},  // a bare station mark
      {"gts200-obs", QByteArray("_'   ")},
      {"gts600-coord", QByteArray("Job: A\r\n")},
      {"gts600-cadastral", cp950(kCoordinates)},
  };
  for (const auto& [verb, input] : cases) {
    const Outcome outcome = convert(home.path(), {QString::fromLatin1(verb)}, input);
    EXPECT_EQ(outcome.exitCode, 1) << verb;
    EXPECT_TRUE(outcome.out.isEmpty()) << verb;
    const QString errors = QString::fromLocal8Bit(outcome.errors);
    EXPECT_TRUE(errors.startsWith(QStringLiteral("korvane convert: 資料中找不到 GTS-"))) << errors.toStdString();
    EXPECT_TRUE(errors.endsWith(QStringLiteral("，沒有轉換任何資料。\n"))) << errors.toStdString();
  }
  EXPECT_FALSE(QFile::exists(QDir(home.path()).filePath(QStringLiteral("Temp.txt"))));
}

// Numbers no report can show, as the fuzzed downloads held them: beyond the range of a double
// (once printed as "Infinity"), or with more whole digits than a report writes (a 76-digit target
// height). Each is refused naming the line and the field: exit 1, nothing on standard output.
TEST(ConvertCommand, NumbersNoReportCanShowAreRefusedNamingLineAndField) {
  // A line break in the preamble: the records stand on line 2.
  const QString station = QStringLiteral("GTS\r\n_'S1_(ID_)1.5_+B1_ ");
  const struct {
    const char* verb;
    QString input;
    QString named;
  } cases[] = {
      {"gts200-obs", station + QStringLiteral("<0900000d0000000dK123_*BS_,") + QString(76, u'7') + QStringLiteral("_+P1_ "),
       QStringLiteral("第 2 行的覘標高「777")},
      {"gts200-obs", station + QStringLiteral("?1e999xxxxm0900000d1000000dm00010000_*X_,1_ "), QStringLiteral("第 2 行的斜距「1e999xxxx」")},
      {"gts200-obs", QStringLiteral("_'S1_(ID_)") + QString(400, u'9') + QStringLiteral("_+B1_ "), QStringLiteral("第 1 行的儀器高")},
      {"gts200-obs", station + QStringLiteral("U000000001000000002-1e400xxx_ABC_*X_,1_ "), QStringLiteral("第 2 行的Z「-1e400xxx」")},
      {"gts200-cadastral", station + QStringLiteral("R000010000m0900000d1e999xxdm00010000_*X_,1_ "), QStringLiteral("第 2 行的水平角「1e999xx」")},
      {"gts200-coord-xyz", QStringLiteral("_+P1_ x1000_ y2000_ z3000_\r\n+P2_ x1_ y-1e999_ z1_"), QStringLiteral("第 2 行的點號 P2 的 y 值")},
      {"gts200-coord-yxz", korvane::testing::gts200Download(QString(300, u'.') + QStringLiteral("_+P9_ x1_ y1_ z1e20_")),
       QStringLiteral("第 3 行的點號 P9 的 z 值「1e20」太大")},
      {"gts600-coord", QStringLiteral("Job: A\r\nPoint          North         East\r\nP1             1e999          187654.321\r\n"),
       QStringLiteral("第 3 行的North「1e999」")},
      {"gts600-cadastral", QStringLiteral("Job: A\r\nOcc. Stn: A01\r\n  SS      P101      HA: 123.4510  VA: 89.5930  HD: 1e99999\r\n"),
       QStringLiteral("第 3 行的HD 平距「1e99999」")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.verb);
    QTemporaryDir home;
    const Outcome outcome = convert(home.path(), {QString::fromLatin1(c.verb), QStringLiteral("--utf8")}, c.input.toUtf8());
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_TRUE(outcome.out.isEmpty()) << outcome.out.constData();
    EXPECT_TRUE(QString::fromLocal8Bit(outcome.errors).contains(c.named)) << outcome.errors.constData();
  }
}

TEST(ConvertCommand, TokensAfterEotBecomeEotLinesOnStandardError) {
  QTemporaryDir home;
  const Outcome outcome = convert(home.path(), {QStringLiteral("gts200-obs")}, QByteArray("_<0900000d0000000dK123_*\x04_,1.5_ ?ZZ_ "));
  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.errors, QByteArray("EOT: ?ZZ_ \nEOT: \n"));
}

TEST(ConvertCommand, HelpListsTheVerbs) {
  QTemporaryDir home;
  const Outcome outcome = convert(home.path(), {QStringLiteral("--help")});
  EXPECT_EQ(outcome.exitCode, 0);
  for (const Verb& verb : kVerbs) {
    EXPECT_TRUE(outcome.out.contains("  " + QByteArray(verb.name).replace('_', '-') + ' ')) << verb.name;
  }
}

}  // namespace
