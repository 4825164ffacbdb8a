#include "app/db_command.h"

#include <QCommandLineParser>
#include <QFile>
#include <cstdio>

#include "common/failure.h"
#include "convert/level/level_file.h"
#include "text/text_file.h"
#include "workbench/engine_file.h"
#include "workbench/level_import.h"
#include "workbench/lnet_database.h"
#include "workbench/recordset.h"

namespace korvane::app {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
// The DL-100C divisor, as the Main window sets it at start-up.
constexpr int kUnitDivisor = 10;

void printLine(const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stderr);
  std::fputc('\n', stderr);
}

void printError(const QString& text) { printLine(QStringLiteral("korvane db: ") + text); }

QString helpText() {
  return QStringLiteral(
      "Usage: korvane db [--db PATH] import FILE\n"
      "       korvane db [--db PATH] write-engine-file OUT.dat [--title TEXT]\n"
      "       korvane db [--db PATH] read-engine-file FILE\n"
      "Works on the adjustment database as the workbench does (created with its tables when missing).\n"
      "Without --db it is Lnet.mdb in Korvane's data folder: ~/.local/share/Korvane for an installed\n"
      "program, the program's own folder when it runs from its build folder, $KORVANE_HOME when set.\n"
      "  import             appends the sections of a DL-100C download, or one row per levelling\n"
      "                     line of a Leica GSI-8/GSI-16 or DiNi M5 file (FILE, or - for standard\n"
      "                     input; the format told from the content) to the table dat, as\n"
      "                     資料->平差資料庫 does; a line whose instrument values disagree is warned of\n"
      "  write-engine-file  writes dat and cood into an engine input file for tarnex (平差檔建立);\n"
      "                     --title gives the project name on its first line\n"
      "  read-engine-file   appends the rows of an engine input file to dat and cood (資料讀入)\n"
      "Messages go to standard error; a failure exits 1.\n");
}

QByteArray readInput(const QString& path) {
  QFile file;
  const bool opened = path == QStringLiteral("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                  : (file.setFileName(path), file.open(QIODevice::ReadOnly));
  if (!opened) throw Failure(QStringLiteral("無法開啟 %1：%2").arg(path, file.errorString()));
  return file.readAll();
}

struct Tables {
  workbench::Connection connection;
  workbench::Recordset observations;
  workbench::Recordset knownPoints;
  explicit Tables(const QString& path) : connection(path) {
    observations.open(workbench::kSelectObservations, connection);
    knownPoints.open(workbench::kSelectKnownPoints, connection);
  }
};

int run(const QString& action, const QString& file, const QString& database, const QString& title) {
  if (action == QStringLiteral("import")) {
    const QByteArray bytes = readInput(file);
    const std::string_view raw(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    const convert::level::LevelFormat format = convert::level::detectLevelFormat(raw.substr(0, 4096));
    const QString where = file == QStringLiteral("-") ? QStringLiteral("標準輸入") : file;
    if (format == convert::level::LevelFormat::Unknown) {
      printError(convert::level::notLevelDataMessage(where) + QStringLiteral("平差資料庫沒有加入任何資料。"));
      return kExitFailure;
    }
    if (format != convert::level::LevelFormat::Dl100c) {
      std::vector<convert::level::LevelLine> lines;
      try {
        lines = convert::level::readLevelLines(raw, format, where);
      } catch (const Failure& failure) {
        throw Failure(failure.description() + QStringLiteral("\n平差資料庫沒有加入任何資料。"));
      }
      workbench::Connection connection(database);
      QStringList warnings;
      const int rows = workbench::importLevelLines(lines, connection, warnings);
      for (const QString& warning : warnings) printLine(QStringLiteral("korvane db: 警告：") + warning);
      printLine(QStringLiteral("%1：平差資料 (dat) 加入 %2 筆").arg(database).arg(rows));
      return 0;
    }
    const QString text = text::decodeTextFile(bytes).text;
    const int rows = workbench::importLevelData(text, kUnitDivisor, database);
    if (rows == 0) {
      printError(workbench::kNoSections);
      return kExitFailure;
    }
    printLine(QStringLiteral("%1：平差資料 (dat) 加入 %2 筆").arg(database).arg(rows));
    return 0;
  }
  Tables tables(database);
  if (action == QStringLiteral("write-engine-file")) {
    workbench::writeEngineFile(file, title, tables.observations, tables.knownPoints);
    printLine(QStringLiteral("%1：平差資料 %2 筆、已知點資料 %3 筆")
                  .arg(file)
                  .arg(tables.observations.recordCount())
                  .arg(tables.knownPoints.recordCount()));
    return 0;
  }
  const int observations = tables.observations.recordCount();
  const int knownPoints = tables.knownPoints.recordCount();
  QString project;
  workbench::readEngineFile(file, project, tables.observations, tables.knownPoints);
  printLine(QStringLiteral("計劃名稱：%1；平差資料加入 %2 筆、已知點資料加入 %3 筆")
                .arg(project)
                .arg(tables.observations.recordCount() - observations)
                .arg(tables.knownPoints.recordCount() - knownPoints));
  return 0;
}

}  // namespace

int runDbCommand(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.addHelpOption();
  parser.addOption({QStringLiteral("db"), QStringLiteral("The database file (default: Lnet.mdb in Korvane's data folder)."),
                    QStringLiteral("PATH")});
  parser.addOption({QStringLiteral("title"), QStringLiteral("The project name of write-engine-file."), QStringLiteral("TEXT")});
  parser.addPositionalArgument(QStringLiteral("action"), QStringLiteral("import, write-engine-file or read-engine-file."));
  parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The file to read or write."));
  if (!parser.parse(QStringList{QStringLiteral("korvane db")} + arguments)) {
    printError(parser.errorText());
    return kExitUsage;
  }
  if (parser.isSet(QStringLiteral("help"))) {
    std::fputs(helpText().toLocal8Bit().constData(), stdout);
    return 0;
  }
  const QStringList positional = parser.positionalArguments();
  const QStringList actions = {QStringLiteral("import"), QStringLiteral("write-engine-file"),
                               QStringLiteral("read-engine-file")};
  if (positional.size() != 2 || !actions.contains(positional[0])) {
    std::fputs(helpText().toLocal8Bit().constData(), stderr);
    return kExitUsage;
  }
  if (parser.isSet(QStringLiteral("title")) && positional[0] != QStringLiteral("write-engine-file")) {
    printError(QStringLiteral("--title goes with write-engine-file only"));
    return kExitUsage;
  }
  const QString database =
      parser.isSet(QStringLiteral("db")) ? parser.value(QStringLiteral("db")) : workbench::defaultDatabasePath();
  int status = kExitFailure;
  if (const auto failure = attempt([&] {
        status = run(positional[0], positional[1], database, parser.value(QStringLiteral("title")));
      })) {
    printLine(*failure);
    return kExitFailure;
  }
  return status;
}

}  // namespace korvane::app
