#include "convert/total_station/gts600_cadastral_report.h"

#include "convert/total_station/field_text.h"
#include "convert/total_station/gts600_printout.h"
#include "text/text_file.h"
#include "text/number_text.h"

namespace korvane::convert::total_station {
namespace {

bool isSightLine(QStringView line) {
  const QStringView mark = columns(line, 3, 4);
  return mark == u"SS" || mark == u"FS";
}

bool isStationLine(QStringView line) { return line.contains(u"Occ. Stn:"); }
bool isBacksightLine(QStringView line) { return line.contains(u"Backsight Point:"); }

}  // namespace

QString gts600CadastralReport(QStringView printout, const std::function<void()>& yieldToEvents) {
  QString report;
  forEachLine(printout, yieldToEvents, [&](QStringView line) {
    if (line.contains(u"Job:")) {
      // Every job starts the report afresh: it keeps the last job of the printout.
      report.clear();
      report += u"LS  (";
      report += jobName(line);
      report += u")\r\n";
    }
    if (isStationLine(line)) {
      report += trimmedColumns(line, 10, 18);
      report += u' ';
    }
    if (isBacksightLine(line)) {
      report += trimmedColumns(line, 19, 28);
      report += u"\r\n";
    }
    if (isSightLine(line)) {
      report += trimmedColumns(line, 11, 19);
      report += u' ';
      report += text::alignRight(trimmedColumns(line, 25, 32), 8);
      report += u' ';
      report += text::formatNumber(columnsValue(line, 51, 58), u"0.000");
      report += u"\r\n";
    }
  });
  if (report.endsWith(u"\r\n")) report.chop(2);
  return report;
}

bool holdsObservationLines(QStringView printout) {
  bool found = false;
  forEachLine(printout, {}, [&](QStringView line) {
    found = found || isStationLine(line) || isBacksightLine(line) || isSightLine(line);
  });
  return found;
}

QString mnuMeas600(QStringView workspace, const ConversionEnvironment& environment) {
  text::writeScratchFile(environment.programFolder, workspace);
  return gts600CadastralReport(workspace, environment.yieldToEvents);
}

}  // namespace korvane::convert::total_station
