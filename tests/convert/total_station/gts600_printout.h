#pragma once
// GTS-600 series printout lines laid out by their columns (counted from 1).

#include <QString>

namespace korvane::testing {

// A coordinate printout point line: point number in columns 1-12, north right-aligned in
// columns 13-26, a space, east right-aligned in columns 28-40, then the height.
inline QString coordinateLine(const QString& point, const QString& north, const QString& east, const QString& height) {
  return point.leftJustified(12) + north.rightJustified(14) + u' ' + east.rightJustified(13) + QStringLiteral("  ") +
         height.rightJustified(9);
}

// An observation printout sight line: the mark in columns 3-4, the point number in columns
// 11-19, the horizontal angle right-aligned in columns 25-32, the distance right-aligned in
// columns 51-58, labels between them.
inline QString sightLine(const QString& mark, const QString& point, const QString& angle, const QString& distance) {
  return QStringLiteral("  ") + mark + QStringLiteral("      ") + point.leftJustified(9) + QStringLiteral(" HA: ") +
         angle.rightJustified(8) + QStringLiteral("  VA: 89.5930  HD:") + distance.rightJustified(8);
}

}  // namespace korvane::testing
