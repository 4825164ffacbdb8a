#pragma once
// A GTS-200 series observation run as the instrument records it, two stations with every kind
// of observation record, laid out by the record formats (positions counted from 1 at the kind):
//
//   <  2-8 zenith  10-16 horizontal  18-21 code             (angles in 1/10000)
//   ?  2-10 slope  12-18 zenith  20-26 horizontal  29-36 horizontal distance  (mm, 1/10000)
//   R  2-10 horizontal distance  12-18 zenith  20-26 horizontal  29-36 slope
//   *  2-11 horizontal distance  13-20 zenith  22-29 horizontal  32-40 slope  (1/10000 m, 1/100000)
//   U  2-10 north  11-19 east  20-28 height (plain numbers)  31-37 code
//   W  2-11 slope  13-20 zenith  22-29 horizontal  31-41 north  42-52 east  53-63 height
//
// then the tail _* point code _, target height [_+ next point] _ and a space.

#include <QString>
#include <QStringList>

namespace korvane::testing {

inline const QStringList kGts200Records = {
    QStringLiteral("'A01_(LOT7_)1.450_+B02_ "),
    QStringLiteral("<0900000d0000000dK123_*BS_,1.500_+P101_ "),
    QStringLiteral("?000123456m0895930d1234510dm00123400_*TREE_,1.600_+P102_ "),
    QStringLiteral("R000087654m0912015d2703005dm00087700_*WALL_,1.600_+P103_ "),
    QStringLiteral("*0000456789s09012345d18000050dm000456800_*PEG_,1.650_+P104_ "),
    QStringLiteral("U+2501.234+1876.543+0012.345ZZC0DE123_*CP_,0.000_+P105_ "),
    QStringLiteral("W+001234567d+9012345d+4512345m+2501234567+1876543210+0000123450_*FC_,1.700_ "),
    QStringLiteral("'A02_(LOT7_)1.520_+A01_ "),
    QStringLiteral("<0900000d0000000dK124_*BS_,1.500_+P201_ "),
    QStringLiteral("?000050500m0900000d0450000dm00050500_*_,1.500_ "),
};

// The instrument's data: a preamble up to the first underscore, then the records.
inline QString gts200Records(const QString& preamble = QString()) {
  return preamble + u'_' + kGts200Records.join(QString());
}

}  // namespace korvane::testing
