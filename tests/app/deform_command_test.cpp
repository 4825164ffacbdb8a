// `korvane deform` through the real binary: its help, a monitoring that finds a subsiding
// benchmark, and every way it refuses, each with its exit status, a message naming the cause and
// no result file left behind.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "convert/level/dl100c_data.h"

namespace {

struct CommandRun {
  int status = -1;
  QString out;
  QString errors;
};

CommandRun run(const QStringList& arguments, const QString& folder) {
  QProcess process;
  process.setProgram(QStringLiteral(KORVANE_BINARY));
  process.setArguments(arguments);
  process.setWorkingDirectory(folder);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("DISPLAY"));
  process.setProcessEnvironment(environment);
  process.start();
  EXPECT_TRUE(process.waitForFinished(60000));
  CommandRun result;
  result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  result.out = QString::fromUtf8(process.readAllStandardOutput());
  result.errors = QString::fromUtf8(process.readAllStandardError());
  return result;
}

CommandRun deform(const QStringList& arguments, const QString& folder) {
  return run(QStringList{QStringLiteral("deform")} + arguments, folder);
}

void write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

// A line of ten-column fields, as the engine input file has them.
QByteArray line(const QStringList& fields) {
  QByteArray bytes;
  for (const QString& f : fields) bytes += f.toUtf8().leftJustified(10, ' ');
  return bytes + "\r\n";
}

// Two loops over four benchmarks, BM-A known; `shift` (m) moves BM-C. `prefix` names them.
QByteArray epochFile(double shift, const QString& prefix = QStringLiteral("BM-")) {
  const auto dh = [](double value) { return QString::number(value, 'f', 4); };
  const auto bm = [&](const char* letter) { return prefix + QLatin1String(letter); };
  return "Epoch\r\n" + line({bm("A"), bm("B"), dh(1.2000), "1.0", "0.0"}) + line({bm("B"), bm("C"), dh(0.8000 + shift), "1.2", "0.0"}) +
         line({bm("C"), bm("A"), dh(-2.0003 - shift), "0.9", "0.0"}) + line({bm("B"), bm("D"), dh(0.5001), "1.1", "0.0"}) +
         line({bm("D"), bm("C"), dh(0.2998 + shift), "0.8", "0.0"}) + "-99\r\n" + line({bm("A"), "25.4321", "0.0"}) +
         "-99\r\n";
}

QStringList csvLines(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return QString::fromUtf8(file.readAll()).remove(QChar(0xFEFF)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

// BM-C subsides 10 mm a year over three epochs: it is found moving, the others stable, and every
// result file is written where the relative paths say.
TEST(DeformCommand, FindsTheSubsidingBenchmarkAndWritesEveryResult) {
  QTemporaryDir folder;
  write(folder.filePath("a.dat"), epochFile(0.0));
  write(folder.filePath("b.dat"), epochFile(-0.010));
  write(folder.filePath("c.dat"), epochFile(-0.020));
  const CommandRun result = deform({"--epoch", "2021-03-01=a.dat", "--epoch", "2022-03-01=b.dat", "--epoch", "2023-03-01=c.dat",
                                    "--json", "r.json", "--csv", "tables", "--html", "r.html"},
                                   folder.path());
  ASSERT_EQ(result.status, 0) << result.errors.toStdString();
  EXPECT_TRUE(result.errors.isEmpty()) << result.errors.toStdString();
  EXPECT_TRUE(result.out.contains(QStringLiteral("reference 3, still 0, moving 1, beyond-limit 0, none 0")))
      << result.out.toStdString();
  const QStringList velocities = csvLines(folder.filePath("tables/velocities.csv"));
  ASSERT_EQ(velocities.size(), 5);
  EXPECT_TRUE(velocities[3].startsWith(QStringLiteral("BM-C,3,"))) << velocities[3].toStdString();
  EXPECT_TRUE(velocities[3].contains(QStringLiteral(",-10.00,"))) << velocities[3].toStdString();
  EXPECT_TRUE(velocities[3].contains(QStringLiteral(",true,false,moving,"))) << velocities[3].toStdString();
  EXPECT_EQ(csvLines(folder.filePath("tables/displacements.csv")).size(), 1 + 3 * 4);  // three comparisons
  EXPECT_EQ(csvLines(folder.filePath("tables/epochs.csv")).size(), 1 + 3);
  for (const char* file : {"r.json", "r.html"}) EXPECT_TRUE(QFile::exists(folder.filePath(file))) << file;
}

TEST(DeformCommand, HelpListsEveryOptionAndKorvaneListsTheCommand) {
  const CommandRun help = deform({"--help"}, QDir::tempPath());
  EXPECT_EQ(help.status, 0);
  for (const char* option : {"--epoch", "DATE=SOURCE", "db:PATH", "DL-100C", "--stable", "iterative", "iwst", "--rate-limit",
                             "--alpha", "--snoop", "--class", "--k", "--sigma0", "--json", "--csv", "--html",
                             "--positions", "--big5", "velocities.csv", "displacements.csv", "epochs.csv",
                             "/usr/share/doc/korvane/deformation-results.md"})
    EXPECT_TRUE(help.out.contains(QString::fromLatin1(option))) << option;
  const CommandRun korvane = run({"--help"}, QDir::tempPath());
  EXPECT_TRUE(korvane.out.contains(QStringLiteral("\n  deform --epoch DATE=SOURCE"))) << korvane.out.toStdString();
}

// Two DL-100C downloads of a loop BM1 - P1 - P2 - P3 with P2 5 mm lower in the second: the
// epochs read as downloads, told from their content.
TEST(DeformCommand, ReadsDl100cDownloadsAsEpochs) {
  namespace dl = korvane::testing::dl100c;
  const auto download = [](const QString& p2, const QString& p2p3) {
    return (dl::kHeader + dl::lineStart("JOB1", "BM1", "+02543210") +
            dl::sectionEnd("v", "P1", "+00050000", "+0050000", "+0050000", "+00000000") +
            dl::sectionEnd("w", "P2", p2, "+0060000", "+0110000", "+00000000") + dl::lineStart("JOB1", "P2", "+00000000") +
            dl::sectionEnd("v", "P3", p2p3, "+0055000", "+0055000", "+00000000") +
            dl::sectionEnd("w", "BM1", "-00060010", "+0040000", "+0095000", "+00000000") +
            dl::lineStart("JOB1", "P1", "+00000000") +
            dl::sectionEnd("w", "P3", "+00009990", "+0070000", "+0070000", "+00000000") + dl::kEnd)
        .toLatin1();
  };
  QTemporaryDir folder;
  write(folder.filePath("first.txt"), download("+00030000", "-00020000"));
  write(folder.filePath("second.dat"), download("+00029500", "-00019500"));
  const CommandRun result = deform({"--epoch", "2021-01-01=first.txt", "--epoch", "2022-01-01=second.dat"}, folder.path());
  ASSERT_EQ(result.status, 0) << result.errors.toStdString();
  EXPECT_TRUE(result.out.contains(QStringLiteral("moving 1"))) << result.out.toStdString();
  EXPECT_TRUE(result.out.contains(QStringLiteral("\n    P2                 -5.00"))) << result.out.toStdString();
}

struct Refusal {
  const char* name;
  QStringList arguments;
  int status;
  const char* message;
};

TEST(DeformCommand, RefusesWithAStatusAndAMessageAndWritesNothing) {
  const QStringList results = {"--json", "r.json", "--csv", "tables", "--html", "r.html"};
  const Refusal refusals[] = {
      {"no epoch", {}, 1, "a monitoring needs two or more epochs (--epoch DATE=SOURCE), 0 given"},
      {"one epoch", {"--epoch", "2021-03-01=a.dat"}, 1, "two or more epochs (--epoch DATE=SOURCE), 1 given"},
      {"no equals sign", {"--epoch", "2021-03-01", "--epoch", "2022-03-01=b.dat"}, 1,
       "epoch 1 (2021-03-01): expected DATE=SOURCE"},
      {"bad date", {"--epoch", "2021-03-01=a.dat", "--epoch", "2022-02-30=b.dat"}, 1,
       "epoch 2 (2022-02-30=b.dat): the date \"2022-02-30\" is not a date YYYY-MM-DD"},
      {"date not ISO", {"--epoch", "1/3/2021=a.dat", "--epoch", "2022-03-01=b.dat"}, 1,
       "epoch 1 (1/3/2021=a.dat): the date \"1/3/2021\" is not a date"},
      {"no source", {"--epoch", "2021-03-01=a.dat", "--epoch", "2022-03-01="}, 1, "epoch 2 (2022-03-01=): the source is missing"},
      {"unreadable source", {"--epoch", "2021-03-01=a.dat", "--epoch", "2022-03-01=missing.dat"}, 1,
       "epoch 2 (2022-03-01=missing.dat): cannot read missing.dat"},
      {"missing database", {"--epoch", "2021-03-01=db:none.mdb", "--epoch", "2022-03-01=b.dat"}, 1,
       "epoch 1 (2021-03-01=db:none.mdb): cannot open the database none.mdb"},
      {"bad positions", {"--epoch", "2021-03-01=a.dat", "--epoch", "2022-03-01=b.dat", "--positions", "bad.csv"}, 1,
       "bad.csv, line 2: E \"east\" is not a number"},
      {"dates not increasing", {"--epoch", "2022-03-01=a.dat", "--epoch", "2021-03-01=b.dat"}, 1,
       "dates must increase: 2021-03-01 (b.dat) comes after 2022-03-01 (a.dat)"},
      {"repeated date", {"--epoch", "2021-03-01=a.dat", "--epoch", "2021-03-01=b.dat"}, 1, "same date 2021-03-01"},
      {"nothing in common", {"--epoch", "2021-03-01=a.dat", "--epoch", "2022-03-01=x.dat"}, 1,
       "has no benchmark in common with the other epochs"},
      {"unknown stable benchmark", {"--epoch", "2021-03-01=a.dat", "--epoch", "2022-03-01=b.dat", "--stable", "BM-A,NOPE"}, 1,
       "no epoch holds the stable benchmark NOPE"},
      {"unknown option", {"--epoch", "2021-03-01=a.dat", "--frobnicate"}, 2, "frobnicate"},
      {"a file without --epoch", {"a.dat", "b.dat"}, 2, "give each epoch as --epoch DATE=SOURCE"},
      {"alpha beyond 100", {"--epoch", "2021-03-01=a.dat", "--alpha", "100"}, 2, "--alpha takes a percentage"},
      {"rate limit not a number", {"--epoch", "2021-03-01=a.dat", "--rate-limit", "fast"}, 2,
       "--rate-limit takes a number of millimetres"},
      {"empty stable name", {"--epoch", "2021-03-01=a.dat", "--stable", "BM-A,,BM-B"}, 2,
       "--stable takes iterative, iwst or benchmark names"},
      {"unknown class", {"--epoch", "2021-03-01=a.dat", "--class", "fourth"}, 2, "no levelling class \"fourth\""},
      {"class and k", {"--epoch", "2021-03-01=a.dat", "--class", "third", "--k", "4"}, 2, "either --class or --k"},
  };
  for (const Refusal& r : refusals) {
    QTemporaryDir folder;
    write(folder.filePath("a.dat"), epochFile(0.0));
    write(folder.filePath("b.dat"), epochFile(0.004));
    write(folder.filePath("x.dat"), epochFile(0.0, QStringLiteral("X-")));
    write(folder.filePath("bad.csv"), "name,E,N\nBM-A,east,1\n");
    QStringList arguments = r.arguments;
    if (r.status == 1) arguments += results;
    const CommandRun result = deform(arguments, folder.path());
    EXPECT_EQ(result.status, r.status) << r.name << ": " << result.errors.toStdString();
    EXPECT_TRUE(result.errors.startsWith(QStringLiteral("korvane deform: "))) << r.name;
    EXPECT_TRUE(result.errors.contains(QString::fromUtf8(r.message))) << r.name << ": " << result.errors.toStdString();
    EXPECT_TRUE(result.out.isEmpty()) << r.name;
    for (const char* file : {"r.json", "r.html", "tables"}) EXPECT_FALSE(QFile::exists(folder.filePath(file))) << r.name;
  }
}

}  // namespace
