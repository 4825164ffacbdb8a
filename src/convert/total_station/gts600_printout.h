#pragma once
// GTS-600 series printouts: texts of lines read by column, passed through the scratch file
// "Temp.txt" of the program folder.

#include <QString>
#include <QStringView>
#include <functional>

#include "convert/total_station/printout_lines.h"

namespace korvane::convert::total_station {

// Hands every line of `text` to `handle` with its number (counted from 1), lines ending at CR LF,
// CR or LF (a line break at the very end opens no further line). Before each line
// `yieldToEvents` is called, when given.
void forEachLine(QStringView text, const std::function<void()>& yieldToEvents,
                 const std::function<void(QStringView line, qsizetype number)>& handle);

// The columns `first` to `last` of a line, counted from 1, without leading and trailing spaces.
QString trimmedColumns(QStringView line, qsizetype first, qsizetype last);

// The job name of a job line: columns 5-16 without leading and trailing spaces.
QString jobName(QStringView line);

// The numeric value of the columns `first` to `last` of line `number`; throws
// text::NumberFieldFailure naming the line and `field` when no report can show it.
double columnsValue(QStringView line, qsizetype number, qsizetype first, qsizetype last, QStringView field);

}  // namespace korvane::convert::total_station
