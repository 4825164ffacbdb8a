#pragma once
// "座標(點號Y,X,Z)" (cCoord) and "座標(點號X,Y,Z)" (cCoord1): GTS-200 series coordinate data turned
// into a comma-separated coordinate listing, one point per line.
//
// A point record: "+", the point number, "_", then values tagged "x", "y" and "z", each ended by
// "_", in whole millimetres. Block breaks may stand anywhere.

#include <QString>
#include <QStringView>

namespace korvane::convert::total_station {

// The data with its block breaks removed, nothing trimmed; a break that ends the text stays.
// Throws korvane::Failure when a break's marker starts within the first four characters.
QString removeBlockBreaks(QStringView data);

// "point,x,y,z" per point, values in metres with three decimals; lines separated by CR LF, no
// line break after the last. Throws korvane::Failure when the data ends inside a record (a point
// number or a value without its closing "_") or holds a break that cannot be removed.
QString cCoord(QStringView workspace);

// As cCoord with the plane coordinates exchanged: "point,y,x,z".
QString cCoord1(QStringView workspace);

// True when the data holds a point record (its "+") once its block breaks are removed, or when
// they cannot be removed (the listing then says why).
bool holdsCoordinateRecords(QStringView workspace);

}  // namespace korvane::convert::total_station
