#include "link/upload_records.h"

#include <cstdlib>

#include "common/failure.h"
#include "text/cp950.h"
#include "text/number_field.h"
#include "text/number_text.h"
#include "text/spaces.h"

namespace korvane::link {
namespace {

// The code page 950 code of each character: one byte, or lead byte * 256 + trail byte.
quint16 cp950Code(QStringView character) {
  const QByteArray bytes = text::encodeCp950(character).bytes;
  if (bytes.size() >= 2) return static_cast<quint16>((static_cast<uchar>(bytes[0]) << 8) | static_cast<uchar>(bytes[1]));
  return bytes.isEmpty() ? 0 : static_cast<uchar>(bytes[0]);
}

// A value of a coordinate line in metres. One that is not finite, or whose millimetres have more
// digits than a number is written with, is refused before anything of its line is sent.
double coordinateValue(QStringView field, const QString& line, int position) {
  const double metres = text::numericValue(field);
  if (!text::isUsableNumber(metres * 1000.0)) {
    throw text::NumberFieldFailure(QStringLiteral("無法上傳座標資料「%1」：第 %2 個數值「%3」無法寫入儀器的座標欄位")
                                       .arg(text::trimSpaces(line).remove(u'\r'))
                                       .arg(position)
                                       .arg(text::quotedFieldText(field)));
  }
  return metres;
}

}  // namespace

QString blockChecksum(QStringView text) {
  quint16 sum = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const qsizetype width = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
    sum ^= cp950Code(text.sliced(i, width));
    i += width - 1;
  }
  const int value = std::abs(static_cast<int>(static_cast<qint16>(sum)));
  return QStringLiteral("%1").arg(value, 3, 10, QChar(u'0')).right(3);
}

QString uploadValueText(double metres) {
  const double millimetres = metres * 1000.0;
  if (millimetres >= 0) return text::formatNumber(millimetres, u"0000000000");
  // The minus sign stands in front of the nine digits of the amount.
  return QStringLiteral("-") + text::formatNumber(-millimetres, u"000000000");
}

QString coordinateRecord(const QString& name, double x, double y, double z) {
  return QStringLiteral("+") + text::alignRight(name, 10) + QStringLiteral("_ x") + uploadValueText(x) +
         QStringLiteral("_ y") + uploadValueText(y) + QStringLiteral("_ z") + uploadValueText(z);
}

QString framedBlock(const QString& dataAndDigit) {
  return QString(kStx) + dataAndDigit + blockChecksum(dataAndDigit) + kEtx + QStringLiteral("\r\n");
}

QString gts200StartSequence() {
  const QString header = QStringLiteral("TOPCON    +00001.000000100000-000017S");
  return QString(kStx) + QStringLiteral("F00F000") + kEtx + QStringLiteral("\r\n") + kStx + header + blockChecksum(header) +
         kEtx + QStringLiteral("\r\n");
}

QString gts200EndFrame() { return QString(kStx) + QChar(4) + kEtx + QStringLiteral("\r\n"); }

QChar Gts200Blocks::blockDigit() const { return QChar(u'0' + blockCounter_ % 10); }

std::optional<QString> Gts200Blocks::addLine(const QString& line, UploadOption option) {
  const qsizetype first = line.indexOf(u',');
  if (first >= 0) {
    const qsizetype second = line.indexOf(u',', first + 1);
    const qsizetype third = second < 0 ? -1 : line.indexOf(u',', second + 1);
    if (third < 0) {
      throw Failure(QStringLiteral("無法讀取座標資料「%1」：需有點名與三個數值（以逗號分隔）").arg(text::trimSpaces(line).remove(u'\r')));
    }
    const qsizetype nameStart = line.startsWith(u'\n') ? 1 : 0;
    const QString name = line.mid(nameStart, first - nameStart);
    const double firstValue = coordinateValue(QStringView(line).sliced(first + 1, second - first - 1), line, 1);
    const double secondValue = coordinateValue(QStringView(line).sliced(second + 1, third - second - 1), line, 2);
    QStringView heightText = QStringView(line).sliced(third + 1);
    if (!heightText.isEmpty()) heightText.chop(1);  // the line's CR
    const double height = coordinateValue(heightText, line, 3);
    const bool swapped = option == UploadOption::NameXY || option == UploadOption::CadastralL14;
    lastRecord_ = swapped ? coordinateRecord(name, secondValue, firstValue, height)
                          : coordinateRecord(name, firstValue, secondValue, height);
    blockBuffer_ += lastRecord_ + u'_';
  }
  if (blockBuffer_.size() <= kBlockDataLength) return std::nullopt;
  const QString block = framedBlock(blockBuffer_.left(kBlockDataLength) + blockDigit());
  blockBuffer_.remove(0, kBlockDataLength);
  ++blockCounter_;
  return block;
}

QString Gts200Blocks::finalBlock() const {
  return framedBlock(blockBuffer_.leftJustified(kBlockDataLength, u' ') + blockDigit());
}

QString swapSecondAndThirdFields(const QString& line) {
  const qsizetype first = line.indexOf(u',');
  const qsizetype second = first < 0 ? -1 : line.indexOf(u',', first + 1);
  const qsizetype third = second < 0 ? -1 : line.indexOf(u',', second + 1);
  if (third < 0) {
    throw Failure(QStringLiteral("無法交換座標欄位「%1」：需有至少三個逗號").arg(text::trimSpaces(line).remove(u'\r')));
  }
  // After each comma the rest loses its outer spaces before the next field is cut.
  const QString field1 = line.left(first);
  const QString rest1 = text::trimSpaces(QStringView(line).sliced(first + 1));
  const qsizetype c2 = rest1.indexOf(u',');
  const QString field2 = rest1.left(c2);
  const QString rest2 = text::trimSpaces(QStringView(rest1).sliced(c2 + 1));
  const qsizetype c3 = rest2.indexOf(u',');
  const QString field3 = rest2.left(c3);
  const QString rest = text::trimSpaces(QStringView(rest2).sliced(c3 + 1));
  return text::trimSpaces(field1 + u',' + field3 + u',' + field2 + u',' + rest);
}

}  // namespace korvane::link
