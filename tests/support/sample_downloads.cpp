#include "support/sample_downloads.h"

#include <algorithm>

namespace korvane::testing {

namespace {

constexpr char kStx = '\x02';
constexpr char kEtx = '\x03';
constexpr char kEot = '\x04';

// Big5 (code page 950) point names.
const QByteArray kPeg1("\xA4\x40\xB8\xB9\xBC\xCE");         // 一號樁
const QByteArray kTurningPoint1("\xC2\xE0\xC2\x49\xA4\x40");  // 轉點一

bool isLeadByte(char byte) { return static_cast<unsigned char>(byte) >= 0x81; }

// The characters of code page 950 text: one byte, or a lead byte and its trail byte.
std::vector<QByteArray> characters(const QByteArray& bytes) {
  std::vector<QByteArray> result;
  for (qsizetype i = 0; i < bytes.size();) {
    const qsizetype width = isLeadByte(bytes[i]) && i + 1 < bytes.size() ? 2 : 1;
    result.push_back(bytes.mid(i, width));
    i += width;
  }
  return result;
}

// The block checksum: exclusive-or of the characters' code page 950 codes (a double-byte
// character counts as one code), as a 16-bit signed value, its last three decimal digits.
QByteArray blockChecksum(const std::vector<QByteArray>& block) {
  quint16 sum = 0;
  for (const QByteArray& character : block) {
    quint16 code = static_cast<unsigned char>(character[0]);
    if (character.size() == 2) code = static_cast<quint16>(code << 8 | static_cast<unsigned char>(character[1]));
    sum ^= code;
  }
  const int value = std::abs(static_cast<int>(static_cast<qint16>(sum)));
  return QByteArray::number(value % 1000).rightJustified(3, '0');
}

// A GTS-200 series transfer: the data in blocks of 128 characters (STX, the characters, the
// block digit, the checksum, ETX, CR, LF), the last block padded with spaces, then STX and EOT.
// The eight characters between two blocks are the block breaks the conversions remove.
QByteArray gts200Transfer(const QByteArray& data) {
  std::vector<QByteArray> all = characters(data);
  while (all.size() % 128 != 0) all.push_back(" ");
  QByteArray transfer;
  for (std::size_t start = 0, block = 0; start < all.size(); start += 128, ++block) {
    std::vector<QByteArray> characters(all.begin() + static_cast<std::ptrdiff_t>(start),
                                       all.begin() + static_cast<std::ptrdiff_t>(start + 128));
    characters.push_back(QByteArray::number(static_cast<int>(block % 10)));
    transfer += kStx;
    for (const QByteArray& character : characters) transfer += character;
    transfer += blockChecksum(characters) + kEtx + "\r\n";
  }
  return transfer + kStx + kEot;
}

// The bytes cut into chunks: the first ends just before `firstCut`, the others hold up to
// `size` bytes.
std::vector<QByteArray> cut(const QByteArray& bytes, qsizetype firstCut, qsizetype size) {
  std::vector<QByteArray> chunks{bytes.left(firstCut)};
  for (qsizetype at = firstCut; at < bytes.size(); at += size) chunks.push_back(bytes.mid(at, size));
  return chunks;
}

// The job header the instrument writes ahead of its data, up to the first underscore.
const QByteArray kGts200JobHeader("TOPCON GTS-212 JOB:LOT12 2007/3/15");

// A GTS-200 series coordinate record as the instrument sends it: "+", the point name right-
// aligned in ten columns, the values in millimetres tagged x, y and z, each closed by "_".
QByteArray coordinateRecord(const QByteArray& name, int nameCharacters, const char* x, const char* y, const char* z) {
  return "+" + QByteArray(std::max(0, 10 - nameCharacters), ' ') + name + "_ x" + x + "_ y" + y + "_ z" + z + "_";
}

// A point line of a GTS-600 coordinate printout: the point number in columns 1-9, the north
// coordinate right-aligned in columns 13-26, the east coordinate in columns 28-40, then the
// height. Columns count characters: a Big5 name of three characters takes three columns.
QByteArray printoutPoint(const QByteArray& name, int nameCharacters, const char* north, const char* east,
                         const char* height) {
  return name + QByteArray(12 - nameCharacters, ' ') + QByteArray(north).rightJustified(14, ' ') + ' ' +
         QByteArray(east).rightJustified(13, ' ') + QByteArray(height).rightJustified(10, ' ') + "\r\n";
}

// A sight line of a GTS-600 observation printout: "SS" or "FS" in columns 3-4, the point number
// in columns 11-19, the horizontal angle right-aligned in columns 25-32, the zenith angle, the
// horizontal distance right-aligned in columns 51-58.
QByteArray printoutSight(const char* mark, const QByteArray& name, int nameCharacters, const char* angle,
                         const char* zenith, const char* distance) {
  return QByteArray("  ") + mark + "      " + name + QByteArray(9 - nameCharacters, ' ') + " HA: " +
         QByteArray(angle).rightJustified(8, ' ') + "  VA: " + QByteArray(zenith).rightJustified(7, ' ') +
         "  HD:" + QByteArray(distance).rightJustified(8, ' ') + "\r\n";
}

// A DL-100C record: the kind, status "00", then the fields, each closed by a comma.
QByteArray levelRecord(char kind, const std::vector<QByteArray>& fields) {
  QByteArray line = QByteArray(1, kind) + ",00,";
  for (const QByteArray& field : fields) line += field + ',';
  return line + "\r\n";
}

// A staff sighting: reading in 0.00001 m, distance in mm, the height (0 unless known), the point.
QByteArray levelSight(char kind, const char* reading, const char* distance, const QByteArray& point,
                      const char* height = "+00000000", const char* time = "08:15") {
  return levelRecord(kind, {reading, distance, height, "1", "0", point, time, ""});
}

// The end of a section: the point, the section's height difference (0.00001 m), its distance
// and the accumulated distance (mm), and the point's height.
QByteArray levelSectionEnd(char kind, const QByteArray& point, const char* difference, const char* distance,
                           const char* accumulated, const char* height) {
  return levelRecord(kind, {"1", point, "2", difference, "+00000000", distance, accumulated, height});
}

}  // namespace

std::vector<QByteArray> gts200Chunks() {
  // Two set-ups of a cadastral traverse: station T1 with backsight T2, then T3 with backsight
  // T1; angle records on the backsight, slope-distance (?), horizontal-distance (R) and fine
  // horizontal-distance (*) records on the points. Block breaks fall inside the point name P4,
  // inside the instrument height of the second station and inside two distances.
  const QByteArray records =
      "'T1_(LOT12_)1.452_+T2_ "
      "<0900000d0000000dK012_*BS_,1.500_+P1_ "
      "?000045231m0893015d0452130dm00045226_*BND_,1.500_+P2_ "
      "?000052874m0901245d0923410dm00052873_*BND_,1.500_+" + kPeg1 + "_ "
      "R000038456m0895540d1354025dm00038457_*BND_,1.600_+P4_ "
      "*0000612345s09003200d18015300dm000612346_*WALL_,1.650_+T3_ "
      "?000101234m0894510d2703005dm00101230_*TRAV_,1.500_ "
      "'T3_(LOT12_)1.468_+T1_ "
      "<0900000d0000000dK012_*BS_,1.500_+P5_ "
      "?000030120m0900130d0321540dm00030120_*BND_,1.500_+P6_ "
      "R000027875m0894020d0884205dm00027876_*BND_,1.500_+CP12_ "
      "?000064310m0892750d1501120dm00064302_*CP_,1.550_ ";
  const QByteArray transfer = gts200Transfer(kGts200JobHeader + "_" + records);
  // The first chunk ends inside the Big5 name 一號樁.
  return cut(transfer, transfer.indexOf(kPeg1) + 1, 240);
}

std::vector<QByteArray> gts200CoordinateChunks() {
  QByteArray data = kGts200JobHeader + "_";
  data += coordinateRecord("T1", 2, "2543213456", "0187652123", "0000012345") + "_";
  data += coordinateRecord("T2", 2, "2543301870", "0187720455", "0000013102") + "_";
  data += coordinateRecord("T3", 2, "2543188210", "0187760947", "0000011876") + "_";
  data += coordinateRecord("P1", 2, "2543245112", "0187683301", "0000012530") + "_";
  data += coordinateRecord(kPeg1, 3, "2543250045", "0187700118", "0000012488") + "_";
  data += coordinateRecord("CP12", 4, "2543170333", "0187735020", "-000000125") + "_";
  const QByteArray transfer = gts200Transfer(data);
  return cut(transfer, transfer.indexOf(kPeg1) + 1, 200);
}

std::vector<QByteArray> gts600Chunks() {
  return {
      QByteArray("Job: JOB1\r\n"
                 "Point          North         East      Elev\r\n"
                 "==============================================\r\n"),
      printoutPoint("T1", 2, "2543213.456", "187652.123", "12.345") +
          printoutPoint("T2", 2, "2543301.870", "187720.455", "13.102") +
          printoutPoint("T3", 2, "2543188.210", "187760.947", "11.876"),
      printoutPoint("P1", 2, "2543245.112", "187683.301", "12.530") +
          printoutPoint(kPeg1, 3, "2543250.045", "187700.118", "12.488") +
          printoutPoint("P2", 2, "2543262.780", "187712.654", "12.611"),
      printoutPoint("CP12", 4, "2543170.333", "187735.020", "-0.125") +
          printoutPoint("BM1", 3, "2543176.010", "187790.395", "14.002") + kEot,
  };
}

std::vector<QByteArray> gts600ObservationChunks() {
  return {
      QByteArray("Job: JOB1\r\n"
                 "Occ. Stn: T1         Inst. Ht:   1.452\r\n"
                 "Backsight Point:  T2\r\n"),
      printoutSight("SS", "P1", 2, "45.2130", "89.3015", "45.226") +
          printoutSight("SS", kPeg1, 3, "92.3410", "90.1245", "52.873") +
          printoutSight("FS", "T3", 2, "270.3005", "89.4510", "101.230"),
      QByteArray("Occ. Stn: T3         Inst. Ht:   1.468\r\n"
                 "Backsight Point:  T1\r\n") +
          printoutSight("SS", "P5", 2, "32.1540", "90.0130", "30.120") +
          printoutSight("SS", "CP12", 4, "150.1120", "89.2750", "64.302") + kEot,
  };
}

std::vector<QByteArray> levelBeforeHeader() { return {QByteArray("X,junk,\r\n")}; }

std::vector<QByteArray> levelChunks() {
  // A levelling line from BM1 (10.00000 m) over the turning points 轉點一 and TP2 to BM2:
  // each section is a backsight (g) and a foresight (j, or i with the height at the end), and
  // its end (v, or w at the end point) carries the section's height difference (back reading
  // less fore reading), its distance (back plus fore), the accumulated distance and the height.
  return {
      QByteArray("A,01,Z,\r\n"),
      levelRecord('b', {"LINE7", "BM1", "+01000000"}),
      levelSight('g', "+00145230", "+0025340", "BM1") + levelSight('j', "+00032180", "+0025410", kTurningPoint1),
      levelSectionEnd('v', kTurningPoint1, "+00113050", "+0050750", "+0050750", "+01113050"),
      levelSight('g', "+00120560", "+0030120", kTurningPoint1, "+00000000", "08:21") +
          levelSight('j', "+00187940", "+0029880", "TP2", "+00000000", "08:22"),
      levelSectionEnd('v', "TP2", "-00067380", "+0060000", "+0110750", "+01045670"),
      levelSight('g', "+00165420", "+0022500", "TP2", "+00000000", "08:30") +
          levelSight('i', "+00054470", "+0022650", "BM2", "+01156620", "08:31"),
      levelSectionEnd('w', "BM2", "+00110950", "+0045150", "+0155900", "+01156620"),
      QByteArray("Z,&,\r\n"),
  };
}

QByteArray joined(const std::vector<QByteArray>& chunks) {
  QByteArray all;
  for (const QByteArray& chunk : chunks) all += chunk;
  return all;
}

const std::vector<SampleDownload>& sampleDownloads() {
  static const std::vector<SampleDownload> samples = {
      {"gts200", "observations",
       "two set-ups of a traverse, four kinds of records, block breaks in names and numbers",
       {}, gts200Chunks()},
      {"gts200", "coordinates", "six points as coordinate records in transfer blocks", {}, gts200CoordinateChunks()},
      {"gts600", "coordinates", "a coordinate printout of eight points", {}, gts600Chunks()},
      {"gts600", "observations", "an observation printout of two set-ups", {}, gts600ObservationChunks()},
      {"dl100c", "line", "a levelling line from BM1 over two turning points to BM2", levelBeforeHeader(),
       levelChunks()},
  };
  return samples;
}

const SampleDownload* findSample(const std::string& series, const std::string& name) {
  for (const SampleDownload& sample : sampleDownloads()) {
    if (sample.series == series && (name.empty() || sample.name == name)) return &sample;
  }
  return nullptr;
}

}  // namespace korvane::testing
