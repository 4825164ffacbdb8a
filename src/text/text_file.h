#pragma once
// Text files as Korvane reads and writes them: code page 950 unless the bytes are valid UTF-8
// with non-ASCII content, and written back in the encoding they were read in.

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class QSaveFile;

#include "text/cp950.h"
#include "text/whole_characters.h"

namespace korvane::text {

enum class TextEncoding { Cp950, Utf8 };

struct DecodedText {
  QString text;
  TextEncoding encoding = TextEncoding::Cp950;
  // Bytes that had no reading in the encoding (CP950 only; they stand as U+FFFD).
  int undecodable = 0;
};

// CP950, unless the bytes are valid UTF-8 and hold at least one non-ASCII character.
DecodedText decodeTextFile(const QByteArray& bytes);

// Reads a text file in pieces and decodes it as decodeTextFile decodes the whole file, without
// ever holding all of it: a first pass over the bytes chooses the encoding, a second hands the
// text on piece by piece (a character is never split between two pieces).
class TextFilePieces {
 public:
  // Throws Failure naming the file when it cannot be read.
  explicit TextFilePieces(const QString& path);

  TextEncoding encoding() const { return encoding_; }

  // Hands on the decoded text in order. Throws Failure naming the file when it cannot be read.
  void read(const std::function<void(QStringView piece)>& handle) const;

 private:
  QString path_;
  TextEncoding encoding_ = TextEncoding::Cp950;
};

// The text in `encoding`; for CP950 a character without a form there is reported, never replaced.
Cp950Encoding encodeText(const QString& text, TextEncoding encoding);

// The scratch file of the program folder that the line-by-line conversions write.
inline const QString kScratchFileName = QStringLiteral("Temp.txt");

// Writes `text` unchanged, in code page 950, to "Temp.txt" in `folder`, replacing an existing
// file; the file is left in place. It is a copy only: the conversions read their lines from the
// text itself, so a character without a CP950 form is written as "?" there and lost nowhere.
// Throws Failure naming the file and the cause when it cannot be written.
void writeScratchFile(const QString& folder, QStringView text);

// "Temp.txt" written piece by piece as writeScratchFile writes it whole: the file is replaced by
// commit(). Both throw Failure naming the file and the cause.
class ScratchFileWriter {
 public:
  explicit ScratchFileWriter(const QString& folder);
  ~ScratchFileWriter();
  void write(QStringView text);
  void commit();

 private:
  [[noreturn]] void fail();

  std::unique_ptr<QSaveFile> file_;
  WholeCharacters characters_;
};

}  // namespace korvane::text
