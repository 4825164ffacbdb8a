#include "support/host_replies.h"

#include <string>

namespace korvane::testing {

QByteArray acknowledgementLine() { return QByteArray("\x06,R,\r\n", 6); }

std::optional<QByteArray> takeLine(const QByteArray& bytes, qsizetype& cursor) {
  const qsizetype end = bytes.indexOf('\n', cursor);
  if (end < 0) return std::nullopt;
  QByteArray line = bytes.mid(cursor, end + 1 - cursor);
  cursor = end + 1;
  return line;
}

int countAcknowledgementLines(const QByteArray& bytes, qsizetype from) {
  const QByteArray acknowledgement = acknowledgementLine();
  int count = 0;
  while (const std::optional<QByteArray> line = takeLine(bytes, from)) {
    if (*line == acknowledgement) ++count;
  }
  return count;
}

std::string hexText(const QByteArray& bytes) { return bytes.toHex(' ').toStdString(); }

}  // namespace korvane::testing
