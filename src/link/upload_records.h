#pragma once
// What an upload sends: the GTS-200 series framing (start sequence, coordinate records,
// 128-character blocks with block digit and checksum, end frame) and the GTS-600 series lines.

#include <QString>
#include <optional>

namespace korvane::link {

inline constexpr QChar kStx = QChar(2);
inline constexpr QChar kEtx = QChar(3);
inline constexpr qsizetype kBlockDataLength = 128;

// The upload options of the Main window.
enum class UploadOption { NameXY, NameYX, CadastralL14 };

// The three-digit checksum of a text: the exclusive-or of the code page 950 codes of its
// characters as 16-bit signed values (a double-byte character counts as one code), its absolute
// value in decimal with zeros in front, last three digits.
QString blockChecksum(QStringView text);

// A coordinate value in millimetres, ten characters: 1234.5678 gives 0001234568, -12.3 gives
// -000012300; longer numbers are written whole.
QString uploadValueText(double metres);

// "+", the name right-aligned in 10, "_ x", x, "_ y", y, "_ z", z.
QString coordinateRecord(const QString& name, double x, double y, double z);

// STX, the 129 characters (128 of data and the block digit), their checksum, ETX, CR, LF.
QString framedBlock(const QString& dataAndDigit);

// STX "F00F000" ETX CR LF, then the header frame with its checksum.
QString gts200StartSequence();
// STX EOT ETX CR LF.
QString gts200EndFrame();

// The GTS-200 series upload state: records gather in the block buffer and leave it in blocks.
class Gts200Blocks {
 public:
  // Takes one workspace line (up to and including its CR). A line with no comma adds nothing;
  // a line with one or two commas cannot be read (throws Failure). Returns the block to send,
  // when the buffer has grown past 128 characters.
  std::optional<QString> addLine(const QString& line, UploadOption option);
  // The last block: the buffer padded with spaces to 128 characters.
  QString finalBlock() const;

  const QString& blockBuffer() const { return blockBuffer_; }
  int blockCounter() const { return blockCounter_; }
  const QString& lastRecord() const { return lastRecord_; }

 private:
  QChar blockDigit() const;

  QString blockBuffer_ = QStringLiteral("_");
  int blockCounter_ = 0;
  QString lastRecord_;
};

// The GTS-600 series line with its second and third fields exchanged (option Name,Y,X,Z):
// P1,100,200,5,C gives P1,200,100,5,C. Throws Failure when the line has fewer than three commas.
QString swapSecondAndThirdFields(const QString& line);

}  // namespace korvane::link
