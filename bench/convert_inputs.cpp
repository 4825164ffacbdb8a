#include "convert_inputs.h"

#include "gts200_download.h"
#include "gts200_sample.h"

namespace korvane::bench {
namespace {

QString field(qint64 value, int width) {
  return (value < 0 ? QStringLiteral("-") : QStringLiteral("+")) + QString::number(qAbs(value)).rightJustified(width, u'0');
}

}  // namespace

QString gts200ObservationDownload(qsizetype size) {
  QString data = QStringLiteral("_");
  for (int run = 0; data.size() < size; ++run) {
    const QString number = QString::number(run % 100000);
    for (QString record : korvane::testing::kGts200Records) {
      record.replace(QStringLiteral("A0"), QStringLiteral("A") + number);
      record.replace(QStringLiteral("P1"), QStringLiteral("P") + number);
      data += record;
    }
  }
  return korvane::testing::gts200Download(data);
}

QString gts200CoordinateDownload(qsizetype size) {
  QString data = QStringLiteral("_");
  for (int point = 0; data.size() < size; ++point) {
    data += QStringLiteral("+%1_ x%2_ y%3_ z%4_")
                .arg(QStringLiteral("P%1").arg(point), 10)
                .arg(2500000000LL + point, 10, 10, QChar(u'0'))
                .arg(187654321LL + point, 10, 10, QChar(u'0'))
                .arg(12345 + point % 1000, 10, 10, QChar(u'0'));
  }
  return korvane::testing::gts200Download(data);
}

QString gts600ObservationPrintout(qsizetype size) {
  QString text;
  for (int station = 0; text.size() < size; ++station) {
    if (station % 50 == 0) text += QStringLiteral("Job: LOT-%1      Date: 2024-05-01\r\n").arg(station / 50);
    text += QStringLiteral("Occ. Stn: A%1      Inst.Ht:  1.450\r\n").arg(station, -5);
    text += QStringLiteral("Backsight Point:  B%1       Azimuth:   0.0000\r\n").arg(station, -5);
    for (int sight = 0; sight < 8; ++sight) {
      text += QStringLiteral("  SS      P%1 HA: %2  VA: 89.5930  HD:%3\r\n")
                  .arg(sight * 1000 + station % 1000, -8)
                  .arg(QStringLiteral("%1.4510").arg(sight * 40), 8)
                  .arg(QStringLiteral("%1.400").arg(sight * 7 + 3), 8);
    }
  }
  return text;
}

QString gts600CoordinatePrintout(qsizetype size) {
  QString text = QStringLiteral("Job: LOT-12\r\nPoint          North         East       Elev\r\n=====\r\n");
  for (int point = 0; text.size() < size; ++point) {
    text += QStringLiteral("%1%2 %3  %4\r\n")
                .arg(QStringLiteral("P%1").arg(point), -12)
                .arg(2543210.123 + point, 14, 'f', 3)
                .arg(187654.321 + point, 13, 'f', 3)
                .arg(12.345, 9, 'f', 3);
  }
  return text;
}

QString dl100cDownload(qsizetype bytes) {
  QString text = QStringLiteral("A,01,Z,\r\n");
  text.reserve(bytes + 200);
  qint64 height = 2543210;
  for (int line = 1; text.size() < bytes; ++line) {
    const QString job = QStringLiteral("JOB%1").arg(line % 1000);
    if (line % 2) {
      text += QStringLiteral("b,00,%1,BM%2,%3,\r\n").arg(job).arg(line).arg(field(height, 8));
    } else {
      text += QStringLiteral("c,00,%1,%2,%3,\r\n").arg(job, QString::number(line).rightJustified(8, u' '), field(height, 8));
    }
    qint64 accumulated = 0;
    for (int section = 1; section <= 20; ++section) {
      const qint64 back = 140000 + (line * 37 + section * 11) % 9000;
      const qint64 fore = 130000 + (line * 13 + section * 29) % 9000;
      const qint64 distance = 25000 + section * 10;
      const QString status = section % 7 == 0 ? QStringLiteral("I7") : QStringLiteral("00");
      const QString point = QStringLiteral("TP%1").arg(section);
      text += QStringLiteral("g,00,%1,%2,+00000000,1,0,%3,08:15,,\r\n").arg(field(back, 8), field(distance, 7), point);
      if (section % 5 == 0) text += QStringLiteral("k,00,%1,%2,+00000000,1,0,P%3,08:16,,\r\n").arg(field(back + 500, 8), field(distance / 2, 7)).arg(section);
      text += QStringLiteral("j,%1,%2,%3,+00000000,1,0,%4,08:17,,\r\n").arg(status, field(fore, 8), field(distance, 7), point);
      height += back - fore;
      accumulated += 2 * distance;
      text += QStringLiteral("v,00,%1,%2,2,%3,+00000000,%4,%5,%6,\r\n")
                  .arg(section)
                  .arg(point, field(back - fore, 8), field(2 * distance, 7), field(accumulated, 7), field(height, 8));
    }
    text += QStringLiteral("w,00,21,BM%1,2,+00000000,+00000000,+0000000,%2,%3,\r\nt,00,\r\n")
                .arg(line + 1)
                .arg(field(accumulated, 7), field(height, 8));
  }
  return text + QStringLiteral("Z,&,\r\n");
}

QString l14Text(qsizetype size) {
  QString text;
  for (int line = 0; text.size() < size; ++line) {
    if (line % 50 == 0) text += QStringLiteral("PAGE %1\r\n").arg(line / 50 + 1);
    for (int point = 0; point < 3; ++point) {
      const int number = line * 3 + point;
      text += QStringLiteral("%1 %2 %3 ")
                  .arg(QStringLiteral("A%1").arg(number), -8)
                  .arg(2543210.123 + number, 0, 'f', 3)
                  .arg(187654.321 + number, 0, 'f', 3);
    }
    text += QStringLiteral("\r\n");
  }
  return text;
}

}  // namespace korvane::bench
