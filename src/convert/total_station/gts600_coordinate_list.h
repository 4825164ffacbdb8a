#pragma once
// "地政座標(點號Y,X,Z)" of the GTS-600 series (mnuCoord600): a coordinate printout turned into the
// compact cadastral coordinate list.
//
// The printout's lines: a job line holding "Job:" (job name in columns 5-16), the column heading
// holding "Point          North", rules holding "===", and point lines (point number in
// columns 1-9, north in columns 13-26, east in columns 28-40; the height is not read).

#include <QString>
#include <QStringView>
#include <functional>

#include "convert/conversion.h"

namespace korvane::convert::total_station {

// "LS  (" job ")" for the first job line, then "point north east" (north and east with three
// decimals, no zero before the point) per point line whose north and east both differ from 0;
// lines separated by CR LF, no line break after the last. Yields before each line.
QString gts600CoordinateList(QStringView printout, const std::function<void()>& yieldToEvents = {});

// True when the printout holds a point line that the list takes.
bool holdsPointLines(QStringView printout);

// The command: writes the workspace to "Temp.txt" in the program folder (a failure to write it
// throws korvane::Failure) and returns the list.
QString mnuCoord600(QStringView workspace, const ConversionEnvironment& environment);

}  // namespace korvane::convert::total_station
