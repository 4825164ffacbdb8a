#include "app/deform_command.h"

#include <QCommandLineParser>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <sstream>

#include "analysis_failure.h"
#include "app/epoch_sources.h"
#include "benchmark_map.h"
#include "deformation.h"
#include "deformation_csv.h"
#include "deformation_html.h"
#include "deformation_json.h"
#include "deformation_summary.h"
#include "input_error.h"
#include "output_file.h"
#include "text/cp950.h"

namespace korvane::app {
namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char kHelp[] =
    "Usage: korvane deform --epoch DATE=SOURCE --epoch DATE=SOURCE ... [options]\n"
    "Monitors the subsidence of a levelling network over two or more epochs: each epoch's network\n"
    "analysis and free adjustment, the F test of each epoch's variance factor against the others and\n"
    "one pooled sigma0, the comparison of consecutive epochs (and of the first with the last) with\n"
    "the global congruence test, the search of the stable benchmarks and every benchmark's\n"
    "displacement with its test and MDB, and the kinematic adjustment of all epochs: every\n"
    "benchmark's height at the first epoch and its velocity, tested and classed.\n"
    "\n"
    "Epochs:\n"
    "  --epoch DATE=SOURCE\n"
    "                    one epoch (give two or more, in date order): DATE as YYYY-MM-DD, SOURCE\n"
    "                    an engine input file, a DL-100C download (the text the level sends), a\n"
    "                    Leica GSI or DiNi M5 levelling file, a height network in GNU Gama's\n"
    "                    local-network XML (FILE.gkf or FILE.xml), or db:PATH for an adjustment\n"
    "                    database. Benchmarks are matched across epochs by their full name.\n"
    "Stable benchmarks and tests:\n"
    "  --stable S        how the stable benchmarks are found: iterative (drop the benchmark that\n"
    "                    contributes most to the congruence test until the rest is congruent; the\n"
    "                    default), iwst (iteratively weighted similarity transformation), or a\n"
    "                    list A,B,C of benchmarks the surveyor knows to be stable\n"
    "  --rate-limit MM   velocities beyond MM mm per year are marked beyond-limit (default 30)\n"
    "  --alpha PCT       level of the tests in percent: each epoch's global test, the variance,\n"
    "                    congruence, displacement and velocity tests (default 5)\n"
    "  --snoop           data snooping in each epoch before the comparison\n"
    "  --class NAME      misclosure tolerance by levelling class: first-I, first-II, second-I,\n"
    "                    second-II, third (the default)\n"
    "  --k MM            the tolerance factor k in mm directly\n"
    "  --sigma0 MM       a-priori standard deviation per square root of a km under distance\n"
    "                    weighting, for each epoch's global test\n"
    "Results:\n"
    "  (summary)         on standard output, UTF-8\n"
    "  --big5            the summary in code page 950 (Big5) instead\n"
    "  --json FILE       everything as one JSON document\n"
    "  --csv DIR         velocities.csv, displacements.csv and epochs.csv in DIR (made when missing)\n"
    "  --html FILE       a self-contained report in Traditional Chinese, with the height of each\n"
    "                    flagged benchmark over time and a map of the velocities\n"
    "  --positions FILE  the benchmarks' positions for that map: a CSV of name,E,N (a header line\n"
    "                    allowed); without it the map shows a layout of the network's own making\n"
    "Paths are relative to the current folder.\n"
    "Field names and units of the result files: /usr/share/doc/korvane/deformation-results.md\n"
    "(installed with the package; docs/deformation-results.md in the source tree).\n"
    "Exit status: 0 when the monitoring ran (whatever its tests found), 1 on bad input (fewer than\n"
    "two epochs, a bad date, dates not in increasing order, an unreadable source, an epoch without a\n"
    "benchmark in common with the others, a stable benchmark no epoch holds), an epoch that cannot\n"
    "be adjusted or a result file that cannot be written, 2 on a wrong command line.\n";

void printError(const std::string& text) { std::fprintf(stderr, "korvane deform: %s\n", text.c_str()); }

struct Usage {
  std::string problem;
};

struct BadInput {
  std::string problem;
};

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

deformation::DeformationOptions optionsFrom(const QCommandLineParser& parser) {
  deformation::DeformationOptions options;
  analysis::AnalysisOptions& analysis = options.analysis;
  if (parser.isSet("class") && parser.isSet("k")) throw Usage{"give either --class or --k, not both"};
  if (parser.isSet("class")) {
    const std::string name = parser.value("class").toStdString();
    const analysis::ToleranceClass* found = analysis::findToleranceClass(name);
    if (!found) throw Usage{"no levelling class \"" + name + "\": first-I, first-II, second-I, second-II or third"};
    analysis.toleranceClass = std::string(found->name);
    analysis.toleranceK = found->k;
  }
  if (parser.isSet("k")) {
    analysis.toleranceClass.clear();
    analysis.toleranceK = millimetreOption(parser, "k");
  }
  if (parser.isSet("sigma0")) analysis.sigma0 = millimetreOption(parser, "sigma0");
  options.alpha = analysis.alpha = percentOption(parser, "alpha", options.alpha);
  analysis.snoop = parser.isSet("snoop");
  if (parser.isSet("rate-limit")) options.rateLimitMm = millimetreOption(parser, "rate-limit");
  if (parser.isSet("stable")) {
    const QString stable = parser.value("stable");
    if (stable == QStringLiteral("iterative")) {
      options.stable = deformation::StableSearch::Iterative;
    } else if (stable == QStringLiteral("iwst")) {
      options.stable = deformation::StableSearch::Iwst;
    } else {
      options.stable = deformation::StableSearch::Given;
      for (const QString& name : stable.split(QLatin1Char(','))) {
        const QString trimmed = name.trimmed();
        if (trimmed.isEmpty()) throw Usage{"--stable takes iterative, iwst or benchmark names separated by commas"};
        options.stableNames.push_back(trimmed.toStdString());
      }
    }
  }
  if (const std::string problem = analysis::checkOptions(analysis); !problem.empty()) throw Usage{problem};
  return options;
}

// "DATE=SOURCE" of epoch `number` (from 1) as given; its network read.
deformation::EpochInput readEpoch(const QString& given, int number) {
  const std::string label = "epoch " + std::to_string(number) + " (" + given.toStdString() + ")";
  const qsizetype equals = given.indexOf(QLatin1Char('='));
  if (equals < 0) throw BadInput{label + ": expected DATE=SOURCE, e.g. 2024-03-15=net.dat"};
  deformation::EpochInput epoch;
  epoch.date = given.left(equals).trimmed().toStdString();
  epoch.source = given.mid(equals + 1).toStdString();
  if (!deformation::decimalYear(epoch.date))
    throw BadInput{label + ": the date \"" + epoch.date + "\" is not a date YYYY-MM-DD"};
  if (epoch.source.empty()) throw BadInput{label + ": the source is missing after \"=\""};
  try {
    epoch.network = analysis::buildNetwork(readEpochSource(QString::fromStdString(epoch.source)));
  } catch (const analysis::InputError& error) {
    throw BadInput{label + ": " + error.what()};
  }
  return epoch;
}

void writeSummaryOut(const deformation::DeformationResult& result, bool big5) {
  std::ostringstream text;
  deformation::writeDeformationSummary(result, text);
  QByteArray bytes = QByteArray::fromStdString(text.str());
  if (big5) {
    const text::Cp950Encoding encoded = text::encodeCp950(QString::fromUtf8(bytes));
    if (!encoded.ok()) printError(encoded.describe().toStdString() + "; written as \"?\" in the summary");
    bytes = encoded.bytes;
  }
  std::fwrite(bytes.constData(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

void writeResultFiles(const deformation::DeformationResult& result, const QCommandLineParser& parser,
                      const std::optional<std::map<std::string, deformation::PlanePoint>>& positions) {
  if (parser.isSet("json"))
    analysis::writeOutputFile(parser.value("json").toStdString(),
                              [&](std::ostream& out) { deformation::writeDeformationJson(result, out); });
  if (parser.isSet("csv")) deformation::writeDeformationCsvFolder(result, parser.value("csv").toStdString());
  if (parser.isSet("html")) {
    const deformation::MapPlaces places =
        positions ? deformation::surveyedPlaces(result, *positions) : deformation::networkLayout(result);
    analysis::writeOutputFile(parser.value("html").toStdString(),
                              [&](std::ostream& out) { deformation::writeDeformationHtml(result, places, out); });
  }
}

void addOptions(QCommandLineParser& parser) {
  parser.addHelpOption();
  for (const auto& [name, value] : std::initializer_list<std::pair<const char*, const char*>>{
           {"epoch", "DATE=SOURCE"}, {"stable", "S"}, {"rate-limit", "MM"}, {"alpha", "PCT"}, {"class", "NAME"},
           {"k", "MM"}, {"sigma0", "MM"}, {"json", "FILE"}, {"csv", "DIR"}, {"html", "FILE"}, {"positions", "FILE"}}) {
    parser.addOption({QString::fromLatin1(name), QString(), QString::fromLatin1(value)});
  }
  for (const char* flag : {"snoop", "big5"}) parser.addOption({QString::fromLatin1(flag), QString()});
}

}  // namespace

int runDeformCommand(const QStringList& arguments) {
  QCommandLineParser parser;
  addOptions(parser);
  if (!parser.parse(QStringList{QStringLiteral("korvane deform")} + arguments)) {
    printError(parser.errorText().toStdString() + " ('korvane deform --help' lists the options)");
    return kExitUsage;
  }
  if (parser.isSet("help")) {
    std::fputs(kHelp, stdout);
    return kExitDone;
  }
  deformation::DeformationOptions options;
  try {
    if (!parser.positionalArguments().isEmpty())
      throw Usage{"unexpected \"" + parser.positionalArguments().front().toStdString() +
                  "\": give each epoch as --epoch DATE=SOURCE"};
    if (parser.isSet("positions") && !parser.isSet("html")) throw Usage{"--positions goes with --html"};
    options = optionsFrom(parser);
  } catch (const Usage& usage) {
    printError(usage.problem + " ('korvane deform --help' lists the options)");
    return kExitUsage;
  }

  try {
    const QStringList given = parser.values("epoch");
    if (given.size() < 2)
      throw BadInput{"a monitoring needs two or more epochs (--epoch DATE=SOURCE), " + std::to_string(given.size()) +
                     " given"};
    std::optional<std::map<std::string, deformation::PlanePoint>> positions;
    if (parser.isSet("positions")) positions = deformation::readPositions(parser.value("positions").toStdString());
    std::vector<deformation::EpochInput> epochs;
    for (qsizetype i = 0; i < given.size(); ++i) epochs.push_back(readEpoch(given[i], int(i + 1)));
    const deformation::DeformationResult result = deformation::analyseDeformation(std::move(epochs), options);
    writeSummaryOut(result, parser.isSet("big5"));
    writeResultFiles(result, parser, positions);
  } catch (const BadInput& bad) {
    printError(bad.problem);
    return kExitFailure;
  } catch (const deformation::DeformationFailure& failure) {
    printError(failure.what());
    return kExitFailure;
  } catch (const analysis::InputError& error) {
    printError(error.what());
    return kExitFailure;
  } catch (const analysis::AnalysisFailure& failure) {
    printError(std::string("an epoch cannot be analysed: ") + failure.what());
    return kExitFailure;
  } catch (const std::exception& error) {
    printError(error.what());
    return kExitFailure;
  }
  return kExitDone;
}

}  // namespace korvane::app
