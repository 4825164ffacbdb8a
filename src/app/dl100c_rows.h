#pragma once
// A DL-100C download (the text the level sends) as the rows of a levelling network: one
// observation per section, as "資料->平差資料庫" appends them to table dat: from the line's start
// point or the section before, to the turning point ("v") or end point ("w"), its height
// difference, its distance in km, grade 0, its row the record's line. A download holds no known
// height.

#include <QByteArray>
#include <string>

#include "network.h"

namespace korvane::app {

// The readings' unit divisor of the DL-100C, as the Main window and `korvane db import` use it.
inline constexpr int kDl100cUnitDivisor = 10;

// Throws analysis::InputError naming the file and line of a damaged download, or saying that it
// holds no section.
analysis::NetworkRows dl100cRows(const QByteArray& bytes, const std::string& name);

}  // namespace korvane::app
