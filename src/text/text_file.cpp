#include "text/text_file.h"

#include <QDir>
#include <QSaveFile>
#include <QStringDecoder>

#include "common/failure.h"

namespace korvane::text {
namespace {

bool hasNonAscii(const QByteArray& bytes) {
  for (char byte : bytes) {
    if (static_cast<unsigned char>(byte) >= 0x80) return true;
  }
  return false;
}

}  // namespace

DecodedText decodeTextFile(const QByteArray& bytes) {
  if (hasNonAscii(bytes)) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError()) {
      if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
      return {text, TextEncoding::Utf8, 0};
    }
  }
  DecodedText decoded;
  decoded.text = decodeCp950(bytes, &decoded.undecodable);
  return decoded;
}

Cp950Encoding encodeText(const QString& text, TextEncoding encoding) {
  if (encoding == TextEncoding::Cp950) return encodeCp950(text);
  Cp950Encoding result;
  result.bytes = text.toUtf8();
  return result;
}

void writeScratchFile(const QString& folder, QStringView text) {
  const QString path = QDir(folder).filePath(kScratchFileName);
  const QByteArray bytes = encodeCp950(text).bytes;
  QSaveFile file(path);
  const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
  if (!written) {
    throw Failure(QStringLiteral("無法寫入暫存檔 %1：%2").arg(QDir::toNativeSeparators(path), file.errorString()));
  }
}

}  // namespace korvane::text
