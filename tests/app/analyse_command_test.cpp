// `korvane analyse` through the real binary: what it prints for a good network (UTF-8 or Big5),
// and every way it refuses, each with its exit status and a message naming the cause.

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <map>

#include "convert/level/level_lines_data.h"
#include "text/cp950.h"
#include "workbench/lnet_database.h"

namespace {

struct CommandRun {
  int status = -1;
  QString out;
  QString errors;
  QByteArray rawOut;
};

CommandRun analyse(const QStringList& arguments, const QString& folder) {
  QProcess process;
  process.setProgram(QStringLiteral(KORVANE_BINARY));
  process.setArguments(QStringList{QStringLiteral("analyse")} + arguments);
  process.setWorkingDirectory(folder);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("DISPLAY"));
  process.setProcessEnvironment(environment);
  process.start();
  EXPECT_TRUE(process.waitForFinished(60000));
  CommandRun run;
  run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.rawOut = process.readAllStandardOutput();
  run.out = QString::fromUtf8(run.rawOut);
  run.errors = QString::fromUtf8(process.readAllStandardError());
  return run;
}

// A line of ten-column fields; a Chinese character takes two columns.
QByteArray line(const QStringList& fields) {
  QByteArray bytes;
  for (const QString& f : fields) {
    QByteArray encoded = korvane::text::encodeCp950(f).bytes;
    encoded.append(QByteArray(std::max<qsizetype>(0, 10 - encoded.size()), ' '));
    bytes += encoded;
  }
  return bytes + "\r\n";
}

// A loop between two benchmarks, with Chinese point names, in code page 950.
QByteArray loopFile() {
  return "Loop with Chinese names\r\n" + line({"BM-A", "甲點", "1.7191", "1.20", "0.003"}) +
         line({"甲點", "乙點", "2.8692", "0.95", "0.003"}) + line({"乙點", "BM-B", "1.9681", "1.10", "0.003"}) +
         line({"BM-B", "丙點", "-3.4886", "1.35", "0.003"}) + line({"丙點", "BM-A", "-3.0672", "1.05", "0.003"}) +
         line({"甲點", "丙點", "1.3504", "0.80", "0.003"}) + "-99\r\n" + line({"BM-A", "25.4321", "0.0"}) +
         line({"BM-B", "31.9876", "0.0"}) + "-99\r\n";
}

void write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QByteArray digest(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5);
}

TEST(AnalyseCommand, AnalysesACodePage950FileAndWritesEveryResult) {
  QTemporaryDir folder;
  write(folder.filePath("loop.dat"), loopFile());
  const CommandRun run = analyse({"loop.dat", "--class", "second-II", "--snoop", "--json", "r.json", "--csv", "tables", "--html",
                           "r.html"},
                          folder.path());
  ASSERT_EQ(run.status, 0) << run.errors.toStdString();
  EXPECT_TRUE(run.errors.isEmpty()) << run.errors.toStdString();
  EXPECT_TRUE(run.out.contains(QStringLiteral("甲點")));
  EXPECT_TRUE(run.out.contains(QStringLiteral("27.15013")));  // as tarnex finds it for this loop
  EXPECT_TRUE(run.out.contains(QStringLiteral("class second-II")));
  for (const char* file : {"r.json", "r.html", "tables/points.csv", "tables/observations.csv", "tables/loops.csv"})
    EXPECT_TRUE(QFile::exists(folder.filePath(file))) << file;

  // The same summary in Big5: every character of it has a code page 950 form.
  const CommandRun utf8 = analyse({"loop.dat"}, folder.path());
  const CommandRun big5 = analyse({"loop.dat", "--big5"}, folder.path());
  ASSERT_EQ(big5.status, 0);
  EXPECT_TRUE(big5.errors.isEmpty()) << big5.errors.toStdString();
  EXPECT_NE(big5.rawOut, utf8.rawOut);
  EXPECT_EQ(korvane::text::decodeCp950(big5.rawOut), utf8.out);
}

// A Leica GSI file goes in directly: its levelling lines are the observations, a damaged word is
// named by file, line and word.
TEST(AnalyseCommand, ReadsTheLevellingLinesOfAGsiFile) {
  using namespace korvane::testing::levels;
  QTemporaryDir folder;
  const std::string gsi = gsiFile({{1, 100, {{"BM1", "P2", {1.5}, {1.3}, 400, 400}}, {}},
                                   {1, 100, {{"P2", "P3", {1.2}, {1.0}, 500, 500}}, {}},
                                   {1, 100, {{"P3", "BM1", {1.0}, {1.4003}, 450, 450}}, {}}},
                                  {false, '6'});  // 0.1 mm: a kilometre of line fits the eight digits
  write(folder.filePath("loop.gsi"), QByteArray::fromStdString(gsi));
  const CommandRun run = analyse({"loop.gsi", "--free"}, folder.path());
  ASSERT_EQ(run.status, 0) << run.errors.toStdString();
  EXPECT_TRUE(run.out.contains(QStringLiteral("P3"))) << run.out.toStdString();

  std::string damaged = gsi;
  damaged.replace(damaged.rfind("332.06+") + 7, 1, "x");
  write(folder.filePath("damaged.gsi"), QByteArray::fromStdString(damaged));
  const CommandRun failed = analyse({"damaged.gsi", "--free"}, folder.path());
  EXPECT_EQ(failed.status, 1);
  EXPECT_TRUE(failed.errors.contains(QStringLiteral("damaged.gsi，第 14 行"))) << failed.errors.toStdString();
}

TEST(AnalyseCommand, HelpListsEveryOption) {
  const CommandRun run = analyse({"--help"}, QDir::tempPath());
  EXPECT_EQ(run.status, 0);
  for (const char* option : {"--db", "--title", "--class", "--k", "--sigma0", "--alpha", "--alpha0", "--power", "--free",
                             "--datum", "--alpha0-rule", "--snoop-stop", "--snoop", "--snoop-limit", "--big5", "--json",
                             "--csv", "--html", "--gkf", ".gkf"})
    EXPECT_TRUE(run.out.contains(QString::fromLatin1(option))) << option;
  // The document of the result files where the package installs it.
  EXPECT_TRUE(run.out.contains("/usr/share/doc/korvane/network-analysis-results.md"));
}

struct Failure {
  const char* name;
  QStringList arguments;
  QByteArray file;  // written as net.dat when not empty
  int status;
  const char* message;
};

TEST(AnalyseCommand, RefusesWithAStatusAndAMessageThatNamesTheCause) {
  const QByteArray good = loopFile();
  const QByteArray noKnown = good.left(good.indexOf("-99\r\n") + 5) + "-99\r\n";
  QByteArray badNumber = good;
  badNumber.replace("1.7191", "1.71x1");
  QByteArray zeroDistance = good;
  zeroDistance.replace("0.95", "0.00");
  QByteArray hugeDifference = good;
  hugeDifference.replace("2.8692 ", "1.0E308");
  QByteArray weightsApart = good;
  weightsApart.replace("1.10      0.003 ", "1.10      3.0E-9");
  const Failure failures[] = {
      {"no input", {}, {}, 2, "give either an engine input FILE or --db PATH"},
      {"file and database", {"net.dat", "--db", "x.mdb"}, good, 2, "give either"},
      {"two files", {"net.dat", "other.dat"}, good, 2, "one input file only"},
      {"unknown option", {"net.dat", "--frobnicate"}, good, 2, "frobnicate"},
      {"unknown class", {"net.dat", "--class", "fourth"}, good, 2, "no levelling class \"fourth\""},
      {"class and k", {"net.dat", "--class", "third", "--k", "5"}, good, 2, "either --class or --k"},
      {"k not a number", {"net.dat", "--k", "five"}, good, 2, "--k takes a number of millimetres"},
      {"alpha 0", {"net.dat", "--alpha", "0"}, good, 2, "--alpha takes a percentage"},
      {"power below alpha0", {"net.dat", "--power", "0.05"}, good, 2, "must exceed their level"},
      {"limit without snoop", {"net.dat", "--snoop-limit", "2"}, good, 2, "--snoop-limit goes with --snoop"},
      {"missing file", {"missing.dat"}, {}, 1, "cannot read missing.dat"},
      {"bad number", {"net.dat"}, badNumber, 1, "net.dat, line 2, field dh (columns 21-30)"},
      {"zero distance", {"net.dat"}, zeroDistance, 1, "net.dat, line 3, field dist: the distance 0 km"},
      {"huge height difference", {"net.dat"}, hugeDifference, 1, "line 3, field dh: the height difference 1e+308 m is beyond"},
      {"weights too far apart", {"net.dat"}, weightsApart, 1, "the weights are too far apart"},
      {"k beyond reason", {"net.dat", "--k", "1e308"}, good, 2, "from 0.001 to 1000"},
      {"sigma0 beyond reason", {"net.dat", "--sigma0", "1e-6"}, good, 2, "from 0.001 to 1000"},
      {"level too small for a quantile", {"net.dat", "--alpha0", "1e-300"}, good, 2, "from either end"},
      {"datum point not known", {"net.dat", "--datum", "BM-A,甲點"}, good, 1, "the datum point 甲點 has no given height"},
      {"unknown level rule", {"net.dat", "--alpha0-rule", "bonferroni"}, good, 2, "--alpha0-rule takes given, b-method"},
      {"alpha0 beside a derived level", {"net.dat", "--alpha0-rule", "b-method", "--alpha0", "1"}, good, 2,
       "--alpha0 goes with --alpha0-rule given"},
      {"stop without snooping", {"net.dat", "--snoop-stop", "global-test"}, good, 2, "--snoop-stop goes with --snoop"},
      {"empty datum name", {"net.dat", "--datum", "BM-A,,BM-B"}, good, 2, "--datum takes known point names"},
      {"no terminator", {"net.dat"}, good.left(good.indexOf("-99")), 1, "the line \"-99\" that ends the observation list is missing"},
      {"no known point", {"net.dat"}, noKnown, 1, "no known point"},
      {"missing database", {"--db", "none.mdb"}, {}, 1, "cannot open the database none.mdb"},
      {"unwritable result", {"net.dat", "--json", "no/such/folder/r.json"}, good, 1, "cannot write no/such/folder/r.json"},
  };
  for (const Failure& f : failures) {
    QTemporaryDir folder;
    if (!f.file.isEmpty()) write(folder.filePath("net.dat"), f.file);
    const CommandRun run = analyse(f.arguments, folder.path());
    EXPECT_EQ(run.status, f.status) << f.name << ": " << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QString::fromUtf8(f.message))) << f.name << ": " << run.errors.toStdString();
    EXPECT_TRUE(run.errors.startsWith(QStringLiteral("korvane analyse: "))) << f.name;
    EXPECT_FALSE(QFile::exists(folder.filePath("no/such/folder/r.json"))) << f.name;
  }
}

TEST(AnalyseCommand, ReadsTheDatabaseWithoutChangingIt) {
  QTemporaryDir folder;
  const QString path = folder.filePath("Lnet.mdb");
  {
    korvane::workbench::Connection connection(path);
    connection.execute("insert into cood values (?,?,?)", {"BM-A", 25.4321, 0.0});
    connection.execute("insert into cood values (?,?,?)", {"BM-B", 31.9876, 0.0});
    const QVariantList rows[] = {{"BM-A", "一個名稱很長的新設水準點", 1.7191, 1.2, 0.003},
                                 {"一個名稱很長的新設水準點", "BM-B", 4.8373, 2.05, 0.003},
                                 {"BM-B", "BM-A", -6.5558, 2.4, 0.003}};
    for (const QVariantList& row : rows) connection.execute("insert into dat values (?,?,?,?,?)", row);
  }
  const QByteArray before = digest(path);
  const CommandRun run = analyse({"--db", path, "--title", "Database run"}, folder.path());
  ASSERT_EQ(run.status, 0) << run.errors.toStdString();
  EXPECT_TRUE(run.out.contains(QStringLiteral("一個名稱很長的新設水準點")));  // the whole name
  EXPECT_TRUE(run.out.contains(QStringLiteral("more than ten columns")));
  EXPECT_TRUE(run.out.contains(QStringLiteral("Database run")));
  EXPECT_EQ(digest(path), before);

  {
    korvane::workbench::Connection connection(path);
    connection.execute("insert into dat values (?,?,?,?,?)", {"BM-A", "X", QVariant(), 1.0, 0.003});
  }
  const CommandRun empty = analyse({"--db", path}, folder.path());
  EXPECT_EQ(empty.status, 1);
  EXPECT_TRUE(empty.errors.contains(QStringLiteral("table dat, row 4, field 高差: the field is empty")))
      << empty.errors.toStdString();
}

QJsonObject jsonOf(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return QJsonDocument::fromJson(file.readAll()).object();
}

// Per point name, its adjusted height as the JSON document gives it.
std::map<QString, double> heightsOf(const QJsonObject& json) {
  std::map<QString, double> heights;
  for (const QJsonValue& point : json[QStringLiteral("points")].toArray())
    heights[point[QStringLiteral("name")].toString()] = point[QStringLiteral("height_m")].toDouble();
  return heights;
}

const char kFreeGkf[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<gama-local xmlns=\"http://www.gnu.org/software/gama/gama-local\">\n"
    "<network>\n<description>Dam monitoring</description>\n<parameters sigma-apr=\"1.5\" conf-pr=\"0.9\"/>\n"
    "<points-observations>\n"
    "<point id=\"A\" z=\"10.000\" adj=\"Z\"/><point id=\"甲點\" z=\"11.000\" adj=\"z\"/>"
    "<point id=\"C\" z=\"12.000\" adj=\"Z\"/>\n"
    "<height-differences>\n"
    "<dh from=\"A\" to=\"甲點\" val=\"1.0021\" dist=\"1.2\"/>\n"
    "<dh from=\"甲點\" to=\"C\" val=\"0.9968\" dist=\"0.8\" stdev=\"1.4\"/>\n"
    "<dh from=\"C\" to=\"A\" val=\"-1.9994\" stdev=\"2\"/>\n"
    "<dh from=\"甲點\" to=\"A\" val=\"-1.0015\" dist=\"1.1\"/>\n"
    "</height-differences>\n</points-observations>\n</network>\n</gama-local>\n";

TEST(AnalyseCommand, AnalysesAGamaHeightNetworkAndWritesItBack) {
  QTemporaryDir folder;
  write(folder.filePath("dam.gkf"), kFreeGkf);
  const CommandRun run = analyse({"dam.gkf", "--json", "a.json", "--gkf", "back.gkf"}, folder.path());
  ASSERT_EQ(run.status, 0) << run.errors.toStdString();
  EXPECT_TRUE(run.out.contains(QStringLiteral("Dam monitoring")));
  const QJsonObject first = jsonOf(folder.filePath("a.json"));
  const QJsonObject options = first[QStringLiteral("options")].toObject();
  EXPECT_TRUE(options[QStringLiteral("free_network")].toBool());
  EXPECT_EQ(options[QStringLiteral("datum_points")].toArray(), (QJsonArray{QStringLiteral("A"), QStringLiteral("C")}));
  EXPECT_NEAR(options[QStringLiteral("alpha")].toDouble(), 0.1, 1e-12);
  EXPECT_TRUE(QJsonDocument(first[QStringLiteral("notes")].toArray()).toJson().contains("(stdev / sigma-apr)^2 km"));

  const CommandRun again = analyse({"back.gkf", "--json", "b.json"}, folder.path());
  ASSERT_EQ(again.status, 0) << again.errors.toStdString();
  EXPECT_EQ(heightsOf(jsonOf(folder.filePath("b.json"))), heightsOf(first));

  // An engine input file written as a Gama file: the same adjustment.
  write(folder.filePath("loop.dat"), loopFile());
  ASSERT_EQ(analyse({"loop.dat", "--json", "c.json", "--gkf", "loop.gkf"}, folder.path()).status, 0);
  ASSERT_EQ(analyse({"loop.gkf", "--json", "d.json"}, folder.path()).status, 0);
  EXPECT_EQ(heightsOf(jsonOf(folder.filePath("d.json"))), heightsOf(jsonOf(folder.filePath("c.json"))));

  QByteArray broken = kFreeGkf;
  broken.replace("</height-differences>", "</height-difference>");
  write(folder.filePath("broken.xml"), broken);
  const CommandRun refused = analyse({"broken.xml"}, folder.path());
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(refused.errors.contains(QStringLiteral("broken.xml, line 13: not well-formed XML"))) << refused.errors.toStdString();
}

}  // namespace
