#pragma once
// Text files as Korvane reads and writes them: code page 950 unless the bytes are valid UTF-8
// with non-ASCII content, and written back in the encoding they were read in.

#include <QByteArray>
#include <QString>

#include "text/cp950.h"

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

// The text in `encoding`; for CP950 a character without a form there is reported, never replaced.
Cp950Encoding encodeText(const QString& text, TextEncoding encoding);

// The scratch file of the program folder that the line-by-line conversions write.
inline const QString kScratchFileName = QStringLiteral("Temp.txt");

// Writes `text` unchanged, in code page 950, to "Temp.txt" in `folder`, replacing an existing
// file; the file is left in place. It is a copy only: the conversions read their lines from the
// text itself, so a character without a CP950 form is written as "?" there and lost nowhere.
// Throws Failure naming the file and the cause when it cannot be written.
void writeScratchFile(const QString& folder, QStringView text);

}  // namespace korvane::text
