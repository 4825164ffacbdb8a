// Fuzz target: the CP950 (Big5) decoder, whole and in pieces as serial reads deliver them, and
// the text-file reading built on it.
//
// Besides the sanitizers it holds the decoder to its word: pieces decode to the same text as the
// whole, every unreadable byte is counted once as one U+FFFD, and a text read without fault
// encodes back to bytes that read as the same text.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "fuzz_checks.h"
#include "fuzz_qt.h"
#include "text/cp950.h"
#include "text/text_file.h"

namespace {

using korvane::fuzz::finding;
using korvane::text::Cp950Decoder;

// The text of the bytes fed to a decoder in pieces of 1, 2, ... `longest` bytes, then finished.
QString decodedInPieces(QByteArrayView bytes, qsizetype longest, int& undecodable) {
  Cp950Decoder decoder;
  QString text;
  qsizetype length = 1;
  for (qsizetype at = 0; at < bytes.size(); at += length, length = length % longest + 1) {
    text += decoder.decode(bytes.sliced(at, qMin(length, bytes.size() - at)));
  }
  text += decoder.finish();
  undecodable = decoder.undecodableByteCount();
  return text;
}

int replacementCount(const QString& text) { return static_cast<int>(text.count(QChar::ReplacementCharacter)); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  korvane::fuzz::startQt(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  int undecodable = 0;
  const QString whole = korvane::text::decodeCp950(bytes, &undecodable);
  if (undecodable != replacementCount(whole)) finding("decodeCp950", "the count of unreadable bytes is not the count of U+FFFD");

  // The first byte chooses how the bytes are cut: pieces of 1 to 8 bytes in turn.
  const qsizetype longest = size > 0 ? data[0] % 8 + 1 : 1;
  int piecesUndecodable = 0;
  if (decodedInPieces(bytes, longest, piecesUndecodable) != whole || piecesUndecodable != undecodable)
    finding("Cp950Decoder", "pieces decode otherwise than the whole");

  if (undecodable == 0) {
    const korvane::text::Cp950Encoding encoded = korvane::text::encodeCp950(whole);
    if (!encoded.ok()) finding("encodeCp950", "a decoded text does not encode: " + encoded.describe().toStdString());
    if (korvane::text::decodeCp950(encoded.bytes) != whole) finding("encodeCp950", "the encoded text reads otherwise");
  }

  const korvane::text::DecodedText file = korvane::text::decodeTextFile(bytes);
  if (file.encoding == korvane::text::TextEncoding::Cp950 && (file.text != whole || file.undecodable != undecodable))
    finding("decodeTextFile", "a CP950 file reads otherwise than decodeCp950");
  return 0;
}
