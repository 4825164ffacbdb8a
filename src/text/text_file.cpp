#include "text/text_file.h"

#include <QDir>
#include <QFile>
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

constexpr qint64 kPieceBytes = 1 << 20;

// Reads a file in pieces of bytes; throws Failure naming the file.
template <typename Handle>
void forEachPiece(const QString& path, Handle handle) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw Failure(QStringLiteral("無法讀取 %1：%2").arg(QDir::toNativeSeparators(path), file.errorString()));
  }
  while (true) {
    const QByteArray piece = file.read(kPieceBytes);
    if (piece.isEmpty()) break;
    handle(piece);
  }
  if (file.error() != QFileDevice::NoError) {
    throw Failure(QStringLiteral("無法讀取 %1：%2").arg(QDir::toNativeSeparators(path), file.errorString()));
  }
}

// The number of bytes at the end of `bytes` that begin a UTF-8 character not complete there.
qsizetype unfinishedUtf8(QByteArrayView bytes) {
  for (qsizetype back = 1; back <= 3 && back <= bytes.size(); ++back) {
    const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
    if (byte < 0x80) return 0;
    if (byte >= 0xC0) {
      const qsizetype length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
      return length > back ? back : 0;
    }
  }
  return 0;
}

}  // namespace

TextFilePieces::TextFilePieces(const QString& path) : path_(path) {
  // UTF-8 when the bytes are valid UTF-8 and hold a non-ASCII character, as decodeTextFile.
  bool nonAscii = false;
  bool validUtf8 = true;
  QByteArray unfinished;
  forEachPiece(path_, [&](const QByteArray& piece) {
    if (!validUtf8) return;
    if (!nonAscii) nonAscii = hasNonAscii(piece);
    if (!nonAscii) return;
    QByteArray bytes = unfinished + piece;
    const qsizetype rest = unfinishedUtf8(bytes);
    unfinished = bytes.right(rest);
    bytes.chop(rest);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)QString(utf8(bytes));
    if (utf8.hasError()) validUtf8 = false;
  });
  encoding_ = nonAscii && validUtf8 && unfinished.isEmpty() ? TextEncoding::Utf8 : TextEncoding::Cp950;
}

void TextFilePieces::read(const std::function<void(QStringView piece)>& handle) const {
  if (encoding_ == TextEncoding::Utf8) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    bool first = true;
    forEachPiece(path_, [&](const QByteArray& bytes) {
      QString piece = utf8(bytes);
      if (first && !piece.isEmpty()) {
        if (piece.startsWith(QChar(0xFEFF))) piece.remove(0, 1);
        first = false;
      }
      handle(piece);
    });
    return;
  }
  Cp950Decoder cp950;
  forEachPiece(path_, [&](const QByteArray& bytes) { handle(cp950.decode(bytes)); });
  handle(cp950.finish());
}

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
  ScratchFileWriter file(folder);
  file.write(text);
  file.commit();
}

ScratchFileWriter::ScratchFileWriter(const QString& folder)
    : file_(std::make_unique<QSaveFile>(QDir(folder).filePath(kScratchFileName))) {
  if (!file_->open(QIODevice::WriteOnly)) fail();
}

ScratchFileWriter::~ScratchFileWriter() = default;

void ScratchFileWriter::fail() {
  throw Failure(QStringLiteral("無法寫入暫存檔 %1：%2").arg(QDir::toNativeSeparators(file_->fileName()), file_->errorString()));
}

void ScratchFileWriter::write(QStringView text) {
  if (text.isEmpty()) return;
  const QByteArray bytes = encodeCp950(characters_.take(text)).bytes;
  if (file_->write(bytes) != bytes.size()) fail();
}

void ScratchFileWriter::commit() {
  if (const QString last = characters_.rest(); !last.isEmpty()) {
    const QByteArray bytes = encodeCp950(last).bytes;
    if (file_->write(bytes) != bytes.size()) fail();
  }
  if (!file_->commit()) fail();
}

}  // namespace korvane::text
