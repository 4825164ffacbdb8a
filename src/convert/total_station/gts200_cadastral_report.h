#pragma once
// "地政觀測資料" of the GTS-200 series (mnuMeas200): the same observation data as "觀測資料" in the
// compact, unlabelled line form of cadastral survey work.

#include <QString>
#include <QStringView>

#include "common/messages.h"

namespace korvane::convert::total_station {

// The cadastral observation report of the raw data in `workspace`: "station backsight" per
// station record, the job line "LS  (" code ")" once after the first station, and per sighted
// point its number, the horizontal angle in eight characters and the distance. Nothing fails;
// once the report holds EOT every later record is shown in a plain message box.
QString mnuMeas200(QStringView workspace, Messages& messages);

}  // namespace korvane::convert::total_station
