#include "support/sample_downloads.h"

namespace korvane::testing {

namespace {

constexpr char kEot = '\x04';

}  // namespace

std::vector<QByteArray> gts200Chunks() {
  return {
      QByteArray("_'JOB1_(\r\n"
                 "_+1001_ ?+00012345m0891_ <+090000d+0895959_ >+000000d+0000000_\r\n"
                 "_+1002_ ?+00023456m0891_ <+091530d+0901210_ >+000000d+0000000_\r\n"
                 "_'\xA4"),
      QByteArray("\x40"
                 "_+1003_ ?+00034567m0891_ <+092045d+0894530_ >+000000d+0000000_\r\n"),
      QByteArray("_+1004_ ?+00045678m0891_ <+093300d+0902015_ >+000000d+0000000_\r\n"
                 "_+1005_ ?+00056789m0891_ <+094510d+0895805_ >+000000d+0000000_\r\n"),
      QByteArray("_+1006_ ?+00067890m0891_ <+095725d+0900140_ >+000000d+0000000_\r\n") + kEot,
  };
}

// A point line of the printout: the point number in columns 1-9, the north coordinate
// right-aligned in columns 13-26, the east coordinate in columns 28-40, then the height.
// Columns count characters: a Big5 name of three characters takes three columns.
QByteArray printoutPoint(const QByteArray& name, int nameCharacters, const char* north, const char* east,
                         const char* height) {
  return name + QByteArray(12 - nameCharacters, ' ') + QByteArray(north).rightJustified(14, ' ') + ' ' +
         QByteArray(east).rightJustified(13, ' ') + QByteArray(height).rightJustified(10, ' ') + "\r\n";
}

std::vector<QByteArray> gts600Chunks() {
  return {
      QByteArray("Job: JOB1\r\n"
                 "Point          North         East      Elev\r\n"
                 "==============================================\r\n"),
      printoutPoint("P1", 2, "2543210.123", "187654.321", "12.345") +
          printoutPoint("P2", 2, "2543198.456", "187700.012", "13.210"),
      printoutPoint("\xA4\x40\xB8\xB9\xBC\xCE", 3, "2543187.789", "187745.703", "11.876") +  // 一號樁
          printoutPoint("BM1", 3, "2543176.010", "187790.395", "14.002") + kEot,
  };
}

std::vector<QByteArray> levelBeforeHeader() { return {QByteArray("X,junk,\r\n")}; }

std::vector<QByteArray> levelChunks() {
  return {
      QByteArray("A,01,Z,\r\n"),
      QByteArray("B,01,BM1,\r\n"),
      QByteArray("C,1234,0,5678,\r\n"
                 "C,1240,0,5690,\r\n"),
      QByteArray("B,02,TP\xA4\x40,\r\n"),  // TP一
      QByteArray("C,1302,0,4821,\r\n"),
      QByteArray("Z,&,\r\n"),
  };
}

QByteArray joined(const std::vector<QByteArray>& chunks) {
  QByteArray all;
  for (const QByteArray& chunk : chunks) all += chunk;
  return all;
}

}  // namespace korvane::testing
