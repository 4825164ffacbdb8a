#include "convert/total_station/gts600_coordinate_list.h"

#include "convert/total_station/gts600_printout.h"
#include "text/text_file.h"
#include "text/number_text.h"
#include "text/spaces.h"

namespace korvane::convert::total_station {

namespace {

bool isJobLine(QStringView line) { return line.contains(u"Job:"); }

// A point line: none of the job line, the heading, a rule or a blank line, with a north and an
// east that both differ from 0.
bool isPointLine(QStringView line) {
  if (isJobLine(line) || line.contains(u"===") || line.contains(u"Point          North") ||
      text::trimSpacesView(line).isEmpty()) {
    return false;
  }
  return columnsValue(line, 13, 26) != 0 && columnsValue(line, 28, 40) != 0;
}

}  // namespace

QString gts600CoordinateList(QStringView printout, const std::function<void()>& yieldToEvents) {
  QString list;
  bool jobLineWritten = false;
  forEachLine(printout, yieldToEvents, [&](QStringView line) {
    if (isJobLine(line) && !jobLineWritten) {
      list += u"LS  (";
      list += jobName(line);
      list += u")\r\n";
      jobLineWritten = true;
    }
    if (!isPointLine(line)) return;
    const double north = columnsValue(line, 13, 26);
    const double east = columnsValue(line, 28, 40);
    list += trimmedColumns(line, 1, 9);
    list += u' ';
    list += text::formatNumber(north, u"#.000");
    list += u' ';
    list += text::formatNumber(east, u"#.000");
    list += u"\r\n";
  });
  if (list.endsWith(u"\r\n")) list.chop(2);
  return list;
}

bool holdsPointLines(QStringView printout) {
  bool found = false;
  forEachLine(printout, {}, [&](QStringView line) { found = found || isPointLine(line); });
  return found;
}

QString mnuCoord600(QStringView workspace, const ConversionEnvironment& environment) {
  text::writeScratchFile(environment.programFolder, workspace);
  return gts600CoordinateList(workspace, environment.yieldToEvents);
}

}  // namespace korvane::convert::total_station
