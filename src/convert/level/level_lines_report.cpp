#include "convert/level/level_lines_report.h"

#include <QStringList>

namespace korvane::convert::level {
namespace {

QString fixed(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    // No "-0.00000": a value that rounds to zero is written without a sign.
    if (text.startsWith(u'-') && text.toDouble() == 0) text.remove(0, 1);
    return text;
}

QString optionalFixed(const std::optional<double>& value, int decimals, double scale = 1) {
    return value ? fixed(*value * scale, decimals) : QString();
}

// A CSV field: quoted when it holds a comma, a quote or a line end.
QString csvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r')) return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

}  // namespace

QString levelLinesReport(const std::vector<LevelLine>& lines, const QString& source) {
    QString report = QStringLiteral("水準線報表：%1\r\n\r\n").arg(source);
    report += QStringLiteral("     起點        終點        方法   測站數  高程差(m)   長度(km)  最大讀數差(mm)  視距差(m)  儀器高程差(m)  儀器長度(km)\r\n");
    int flagged = 0;
    for (const LevelLine& line : lines) {
        const bool agrees = line.agrees();
        if (!agrees) ++flagged;
        report += QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10 %11\r\n")
                      .arg(agrees ? QStringLiteral(" ") : QStringLiteral("*"))
                      .arg(line.start, -11)
                      .arg(line.end, -11)
                      .arg(line.method.name, -6)
                      .arg(line.setups, 6)
                      .arg(fixed(line.dh, 5), 10)
                      .arg(fixed(line.length / 1000, 5), 10)
                      .arg(fixed(line.largestSpread * 1000, 2), 15)
                      .arg(fixed(line.balance, 3), 10)
                      .arg(optionalFixed(line.instrumentDh, 5), 14)
                      .arg(optionalFixed(line.instrumentLength, 5, 1e-3), 13);
    }
    report += QStringLiteral("\r\n共 %1 條水準線").arg(lines.size());
    if (flagged > 0) {
        report += QStringLiteral("；%1 條標「*」：儀器的累計高程或路線長與計算值相差超過 %2 mm 或 %3 m"
                                 "（測站刪除、改正或重測），兩者並列，未作任何更正")
                      .arg(flagged)
                      .arg(kHeightTolerance * 1000)
                      .arg(kLengthTolerance);
    }
    report += QStringLiteral("。\r\n");
    return report;
}

QString levelLinesCsv(const std::vector<LevelLine>& lines) {
    QString csv = QStringLiteral("start,end,method,setups,dh_m,length_km,instrument_dh_m,instrument_length_km,agrees\r\n");
    for (const LevelLine& line : lines) {
        const QStringList fields = {csvField(line.start), csvField(line.end), line.method.name, QString::number(line.setups),
                           fixed(line.dh, 5), fixed(line.length / 1000, 5), optionalFixed(line.instrumentDh, 5),
                           optionalFixed(line.instrumentLength, 5, 1e-3),
                                   line.agrees() ? QStringLiteral("true") : QStringLiteral("false")};
        csv += fields.join(u',');
        csv += QStringLiteral("\r\n");
    }
    return csv;
}

}  // namespace korvane::convert::level
