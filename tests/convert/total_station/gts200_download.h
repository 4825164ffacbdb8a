#pragma once
// GTS-200 series data as a download leaves it in the workspace: the instrument's data cut into
// transfer blocks of STX, 128 characters, block digit, three-digit checksum, ETX, CR, LF; the
// last block padded with spaces; then the end frame STX, EOT, ETX, CR, LF.

#include <QString>

namespace korvane::testing {

inline constexpr QChar kStx = QChar(2);
inline constexpr QChar kEtx = QChar(3);
inline constexpr QChar kEot = QChar(4);
inline constexpr int kBlockData = 128;

// The checksum of a block's data and digit: exclusive-or of the character codes, three digits.
inline QString blockChecksum(const QString& characters) {
  int sum = 0;
  for (const QChar c : characters) sum ^= c.unicode();
  return QStringLiteral("%1").arg(sum % 1000, 3, 10, QChar(u'0'));
}

// The eight characters a transfer leaves between two blocks: the ending block's digit and
// checksum, ETX, CR, LF, and the STX of the next block.
inline QString blockBreak(const QString& endingBlockData = QString(), int blockNumber = 0) {
  const QString digit = QString::number(blockNumber % 10);
  return digit + blockChecksum(endingBlockData + digit) + kEtx + QStringLiteral("\r\n") + kStx;
}

inline QString gts200Download(const QString& data) {
  QString padded = data;
  const int rest = int(padded.size() % kBlockData);
  if (rest != 0 || padded.isEmpty()) padded += QString(kBlockData - rest, u' ');
  QString download;
  for (qsizetype start = 0, block = 0; start < padded.size(); start += kBlockData, ++block) {
    const QString characters = padded.mid(start, kBlockData);
    const QString digit = QString::number(block % 10);
    download += kStx + characters + digit + blockChecksum(characters + digit) + kEtx + QStringLiteral("\r\n");
  }
  return download + kStx + kEot + kEtx + QStringLiteral("\r\n");
}

}  // namespace korvane::testing
