#include "app/analyse_command.h"

#include <QCommandLineParser>
#include <cmath>
#include <cstdio>
#include <optional>
#include <sstream>

#include "analyse.h"
#include "analysis_failure.h"
#include "app/analyse_sources.h"
#include "app/gkf_reader.h"
#include "app/gkf_writer.h"
#include "csv_writer.h"
#include "html_writer.h"
#include "input_error.h"
#include "json_writer.h"
#include "output_file.h"
#include "summary_writer.h"
#include "text/cp950.h"
#include "workbench/analysis_database.h"

namespace korvane::app {
namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char kHelp[] =
    "Usage: korvane analyse FILE | --db PATH [options]\n"
    "Analyses a levelling network: checks of the field data before the adjustment (connected parts,\n"
    "repeated sections, loop and known-point line misclosures, names tarnex would merge), the\n"
    "adjustment with the standard deviation of every height and the redundancy number of every\n"
    "observation, the global test, and for every observation w, tau, the minimal detectable bias\n"
    "(MDB) with its largest effect on a height and the estimated gross error. Any size of network.\n"
    "\n"
    "Input:\n"
    "  FILE              an engine input file as tarnex reads it (code page 950 or UTF-8; - reads\n"
    "                    standard input), or a height network in GNU Gama's local-network XML\n"
    "                    (FILE.gkf or FILE.xml: points with z and fix=\"z\" or adj=\"Z\", <dh>, and\n"
    "                    heights observed with a covariance matrix in <coordinates>), or a Leica\n"
    "                    GSI or DiNi M5 levelling file (one observation per levelling line; it\n"
    "                    holds no known heights: use --free, or korvane db import it and analyse\n"
    "                    --db with the known points)\n"
    "  --db PATH         the adjustment database instead (tables dat and cood; names of any length)\n"
    "  --title TEXT      the project name of the results (default: the file's title line)\n"
    "Checks:\n"
    "  --class NAME      misclosure tolerance k * sqrt(K km) by levelling class: first-I (k = 4 mm),\n"
    "                    first-II (5), second-I (6), second-II (8), third (12; the default)\n"
    "  --k MM            the tolerance factor k in mm directly\n"
    "Adjustment and tests:\n"
    "  --sigma0 MM       a-priori standard deviation per square root of a km under distance weighting\n"
    "                    (without it the global test and w are not possible, and weighted known\n"
    "                    points are held fixed); under grade weighting the a-priori value is 1\n"
    "  --alpha PCT       level of the global test in percent (default 5)\n"
    "  --alpha0 PCT      level of each observation's test in percent (default 0.1)\n"
    "  --alpha0-rule R   how that level is chosen: given (--alpha0; the default), b-method (Baarda:\n"
    "                    the level at which one observation's test finds, with the power, the same\n"
    "                    bias as the global test at --alpha; far smaller in a large network) or\n"
    "                    family-wise (--alpha is the chance of any false alarm among all the tests)\n"
    "  --power PCT       power of each observation's test in percent, for the MDB (default 80)\n"
    "  --free            adjust without the known points and compare each known height with the\n"
    "                    observations; the heights of each part are in the datum of its known points\n"
    "                    (their corrections to the given heights sum to zero); a part without a\n"
    "                    known point has no heights\n"
    "  --datum A,B,C     --free with the datum on these known points only (default: a Gama file's\n"
    "                    adj=\"Z\" points, else every known point); a Gama file without a fixed or\n"
    "                    observed height is a free network by itself\n"
    "  --snoop           data snooping: remove the observation whose test fails worst (by w with an\n"
    "                    a-priori sigma0, else by tau: the test that flags an observation) and adjust\n"
    "                    again until none fails; each removed one is tested for readmission\n"
    "  --snoop-stop S    none-fails (the default) or global-test: stop as soon as the global test\n"
    "                    passes\n"
    "  --snoop-limit N   remove at most N observations (default: no limit)\n"
    "Results:\n"
    "  (summary)         on standard output, UTF-8\n"
    "  --big5            the summary in code page 950 (Big5) instead\n"
    "  --json FILE       everything as one JSON document\n"
    "  --csv DIR         points.csv, observations.csv and loops.csv in DIR (made when missing)\n"
    "  --html FILE       a self-contained report\n"
    "  --gkf FILE        the network as read, in GNU Gama's local-network XML (gama-local)\n"
    "Field names and units of the result files: /usr/share/doc/korvane/network-analysis-results.md\n"
    "(installed with the package; docs/network-analysis-results.md in the source tree).\n"
    "Exit status: 0 when the analysis ran (whatever its tests found), 1 on bad input, an unusable\n"
    "network or a result file that cannot be written, 2 on a wrong command line.\n";

void printError(const std::string& text) { std::fprintf(stderr, "korvane analyse: %s\n", text.c_str()); }

struct Usage {
  std::string problem;
};

// A percentage option (above 0 and below 100) as a share, or `share` when it is not given.
double percentOption(const QCommandLineParser& parser, const QString& name, double share) {
  if (!parser.isSet(name)) return share;
  bool ok = false;
  const double value = parser.value(name).toDouble(&ok);
  if (!ok || !(value > 0.0 && value < 100.0))
    throw Usage{"--" + name.toStdString() + " takes a percentage above 0 and below 100"};
  return value / 100.0;
}

double millimetreOption(const QCommandLineParser& parser, const QString& name) {
  bool ok = false;
  const double value = parser.value(name).toDouble(&ok);
  if (!ok || !(value > 0.0) || !std::isfinite(value))
    throw Usage{"--" + name.toStdString() + " takes a number of millimetres above 0"};
  return value;
}

analysis::AnalysisOptions optionsFrom(const QCommandLineParser& parser) {
  analysis::AnalysisOptions options;
  if (parser.isSet("class") && parser.isSet("k")) throw Usage{"give either --class or --k, not both"};
  if (parser.isSet("class")) {
    const std::string name = parser.value("class").toStdString();
    const analysis::ToleranceClass* found = analysis::findToleranceClass(name);
    if (!found) throw Usage{"no levelling class \"" + name + "\": first-I, first-II, second-I, second-II or third"};
    options.toleranceClass = std::string(found->name);
    options.toleranceK = found->k;
  }
  if (parser.isSet("k")) {
    options.toleranceClass.clear();
    options.toleranceK = millimetreOption(parser, "k");
  }
  if (parser.isSet("sigma0")) options.sigma0 = millimetreOption(parser, "sigma0");
  options.alpha = percentOption(parser, "alpha", options.alpha);
  options.alpha0 = percentOption(parser, "alpha0", options.alpha0);
  options.power = percentOption(parser, "power", options.power);
  options.freeNetwork = parser.isSet("free") || parser.isSet("datum");
  if (parser.isSet("datum")) {
    for (const QString& name : parser.value("datum").split(QLatin1Char(','))) {
      const QString trimmed = name.trimmed();
      if (trimmed.isEmpty()) throw Usage{"--datum takes known point names separated by commas"};
      options.datumPoints.push_back(trimmed.toStdString());
    }
  }
  if (parser.isSet("alpha0-rule")) {
    const QString rule = parser.value("alpha0-rule");
    if (rule == QStringLiteral("given")) options.alpha0Rule = analysis::LocalLevelRule::Given;
    else if (rule == QStringLiteral("b-method")) options.alpha0Rule = analysis::LocalLevelRule::BMethod;
    else if (rule == QStringLiteral("family-wise")) options.alpha0Rule = analysis::LocalLevelRule::FamilyWise;
    else throw Usage{"--alpha0-rule takes given, b-method or family-wise"};
    if (parser.isSet("alpha0") && rule != QStringLiteral("given"))
      throw Usage{"--alpha0 goes with --alpha0-rule given: the other rules derive it from --alpha"};
  }
  options.snoop = parser.isSet("snoop");
  if (parser.isSet("snoop-stop")) {
    const QString stop = parser.value("snoop-stop");
    if (stop == QStringLiteral("none-fails")) options.snoopStop = analysis::SnoopStop::NoneFails;
    else if (stop == QStringLiteral("global-test")) options.snoopStop = analysis::SnoopStop::GlobalTestPasses;
    else throw Usage{"--snoop-stop takes none-fails or global-test"};
    if (!options.snoop) throw Usage{"--snoop-stop goes with --snoop"};
  }
  if (parser.isSet("snoop-limit")) {
    bool ok = false;
    options.snoopLimit = parser.value("snoop-limit").toInt(&ok);
    if (!ok || options.snoopLimit < 1) throw Usage{"--snoop-limit takes a whole number of 1 or more"};
    if (!options.snoop) throw Usage{"--snoop-limit goes with --snoop"};
  }
  if (const std::string problem = analysis::checkOptions(options); !problem.empty()) throw Usage{problem};
  return options;
}

void writeSummaryOut(const analysis::AnalysisResult& result, bool big5) {
  std::ostringstream text;
  analysis::writeSummary(result, text);
  QByteArray bytes = QByteArray::fromStdString(text.str());
  if (big5) {
    const text::Cp950Encoding encoded = text::encodeCp950(QString::fromUtf8(bytes));
    if (!encoded.ok()) printError(encoded.describe().toStdString() + "; written as \"?\" in the summary");
    bytes = encoded.bytes;
  }
  std::fwrite(bytes.constData(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

void writeResultFiles(const analysis::AnalysisResult& result, const QCommandLineParser& parser) {
  if (parser.isSet("json"))
    analysis::writeOutputFile(parser.value("json").toStdString(),
                              [&](std::ostream& out) { analysis::writeJson(result, out); });
  if (parser.isSet("csv")) analysis::writeCsvFolder(result, parser.value("csv").toStdString());
  if (parser.isSet("html"))
    analysis::writeOutputFile(parser.value("html").toStdString(),
                              [&](std::ostream& out) { analysis::writeHtml(result, out); });
}

// The rows of a Gama file, and what it chooses that the command line leaves open: a free network
// and its datum points, the level of the global test.
analysis::NetworkRows gkfRows(const QString& path, const QCommandLineParser& parser,
                              analysis::AnalysisOptions& options) {
  GkfNetwork gkf = readGkfFile(path);
  if (gkf.freeNetwork) {
    options.freeNetwork = true;
    if (!parser.isSet("datum")) options.datumPoints = gkf.datumPoints;
  }
  if (gkf.alpha && !parser.isSet("alpha")) options.alpha = *gkf.alpha;
  return std::move(gkf.rows);
}

void addOptions(QCommandLineParser& parser) {
  parser.addHelpOption();
  for (const auto& [name, value] : std::initializer_list<std::pair<const char*, const char*>>{
           {"db", "PATH"}, {"title", "TEXT"}, {"class", "NAME"}, {"k", "MM"}, {"sigma0", "MM"}, {"alpha", "PCT"},
           {"alpha0", "PCT"}, {"power", "PCT"}, {"datum", "A,B,C"}, {"alpha0-rule", "R"}, {"snoop-stop", "S"},
           {"snoop-limit", "N"}, {"json", "FILE"}, {"csv", "DIR"}, {"html", "FILE"}, {"gkf", "FILE"}}) {
    parser.addOption({QString::fromLatin1(name), QString(), QString::fromLatin1(value)});
  }
  for (const char* flag : {"free", "snoop", "big5"}) parser.addOption({QString::fromLatin1(flag), QString()});
}

}  // namespace

int runAnalyseCommand(const QStringList& arguments) {
  QCommandLineParser parser;
  addOptions(parser);
  if (!parser.parse(QStringList{QStringLiteral("korvane analyse")} + arguments)) {
    printError(parser.errorText().toStdString() + " ('korvane analyse --help' lists the options)");
    return kExitUsage;
  }
  if (parser.isSet("help")) {
    std::fputs(kHelp, stdout);
    return kExitDone;
  }
  analysis::AnalysisOptions options;
  const QStringList files = parser.positionalArguments();
  try {
    if (files.size() > 1) throw Usage{"one input file only"};
    if (files.isEmpty() == !parser.isSet("db")) throw Usage{"give either an engine input FILE or --db PATH"};
    options = optionsFrom(parser);
  } catch (const Usage& usage) {
    printError(usage.problem + " ('korvane analyse --help' lists the options)");
    return kExitUsage;
  }

  try {
    // The rows are let go once the network holds them: a large network needs its memory.
    const analysis::Network network = [&] {
      analysis::NetworkRows rows = files.isEmpty()              ? workbench::readAnalysisDatabase(parser.value("db"))
                                   : isGkfPath(files.front()) ? gkfRows(files.front(), parser, options)
                                                              : readAnalysisFile(files.front());
      if (parser.isSet("title")) rows.title = parser.value("title").toStdString();
      return analysis::buildNetwork(rows);
    }();
    if (parser.isSet("gkf"))
      analysis::writeOutputFile(parser.value("gkf").toStdString(),
                                [&](std::ostream& out) { writeGkf(network, options, out); });
    const analysis::AnalysisResult result = analysis::analyse(network, options);
    writeSummaryOut(result, parser.isSet("big5"));
    writeResultFiles(result, parser);
  } catch (const analysis::InputError& error) {
    printError(error.what());
    return kExitFailure;
  } catch (const analysis::AnalysisFailure& failure) {
    printError(std::string("the network cannot be analysed: ") + failure.what());
    return kExitFailure;
  } catch (const std::exception& error) {
    printError(error.what());
    return kExitFailure;
  }
  return kExitDone;
}

}  // namespace korvane::app
