#pragma once
// DL-100C records as the level writes them, for the tests: "kind,status,f1,f2,...," + CR LF.

#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace korvane::testing::dl100c {

inline const QString kEnd = QStringLiteral("Z,&,\r\n");
inline const QString kHeader = QStringLiteral("A,01,Z,\r\n");

inline QString record(const QString& kind, const QString& status, const QStringList& fields) {
  QString line = kind + u',' + status + u',';
  for (const QString& field : fields) line += field + u',';
  return line + QStringLiteral("\r\n");
}

// "b" and "c": f1 job, f2 start point, f3 known height (units of 0.00001 m). A "c" record names
// its start point in the eight characters before the separator that precedes the "+".
inline QString lineStart(const QString& job, const QString& point, const QString& height, const QString& status = "00",
                         const QString& kind = "b") {
  return record(kind, status, {job, point, height});
}

// "g" to "k": f1 reading (0.00001 m), f2 distance (mm), f3 height, f4 f5 counts, f6 name, f7 time, f8.
inline QString sight(const QString& kind, const QString& name, const QString& reading, const QString& distance,
                     const QString& height = "+00000000", const QString& status = "00") {
  return record(kind, status, {reading, distance, height, "1", "0", name, "08:15", ""});
}

// "v" and "w": f1 section, f2 name, f3 count, f4 height difference, f5 mean reading, f6 section
// distance, f7 accumulated distance, f8 height.
inline QString sectionEnd(const QString& kind, const QString& name, const QString& difference, const QString& distance,
                          const QString& accumulated, const QString& height, const QString& status = "00") {
  return record(kind, status, {"1", name, "2", difference, "+00000000", distance, accumulated, height});
}

// BM1 (25.43210 m) over TP1 to BM2, with an intermediate sight on P7.
inline QString twoSectionLine() {
  return lineStart("JOB1", "BM1", "+02543210") + sight("g", "BM1", "+00145230", "+0025340") +
         sight("j", "TP1", "+00132100", "+0024980") +
         sectionEnd("v", "TP1", "+00013130", "+0050320", "+0050320", "+02556340") +
         sight("g", "TP1", "+00098765", "+0030120") + sight("k", "P7", "+00150000", "+0015000") +
         sight("i", "BM2", "+00210550", "+0029870", "+02444555") +
         sectionEnd("w", "BM2", "-00111785", "+0059990", "+0110310", "+02444555");
}

}  // namespace korvane::testing::dl100c
