#include "convert/total_station/gts600_coordinate_list.h"

#include "convert/total_station/gts600_printout.h"
#include "text/text_file.h"
#include "text/number_text.h"
#include "text/spaces.h"

namespace korvane::convert::total_station {

QString gts600CoordinateList(QStringView printout, const std::function<void()>& yieldToEvents) {
  QString list;
  bool jobLineWritten = false;
  forEachLine(printout, yieldToEvents, [&](QStringView line, qsizetype number) {
    const bool jobLine = line.contains(u"Job:");
    if (jobLine && !jobLineWritten) {
      list += u"LS  (";
      list += jobName(line);
      list += u")\r\n";
      jobLineWritten = true;
    }
    if (jobLine || line.contains(u"===") || line.contains(u"Point          North") ||
        text::trimSpacesView(line).isEmpty()) {
      return;
    }
    const double north = columnsValue(line, number, 13, 26, u"North");
    const double east = columnsValue(line, number, 28, 40, u"East");
    if (north == 0 || east == 0) return;
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

QString mnuCoord600(QStringView workspace, const ConversionEnvironment& environment) {
  text::writeScratchFile(environment.programFolder, workspace);
  return gts600CoordinateList(workspace, environment.yieldToEvents);
}

}  // namespace korvane::convert::total_station
