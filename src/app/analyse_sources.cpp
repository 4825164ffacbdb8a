#include "app/analyse_sources.h"

#include <QFile>
#include <QStringDecoder>
#include <optional>

#include "app/level_line_rows.h"
#include "engine_file_reader.h"
#include "input_error.h"
#include "text/cp950.h"

namespace korvane::app {
namespace {

using analysis::InputError;

std::string utf8(const QString& text) { return text.toStdString(); }

QByteArray readAll(const QString& path) {
  QFile file;
  const bool opened = path == QStringLiteral("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                  : (file.setFileName(path), file.open(QIODevice::ReadOnly));
  if (!opened) throw InputError("cannot read " + utf8(path) + ": " + utf8(file.errorString()));
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) throw InputError("cannot read " + utf8(path) + ": " + utf8(file.errorString()));
  return bytes;
}

// The UTF-8 text of a file that is UTF-8 (without a byte-order mark), or nothing.
std::optional<std::string> asUtf8(const QByteArray& bytes) {
  bool nonAscii = false;
  for (char byte : bytes) nonAscii = nonAscii || static_cast<unsigned char>(byte) >= 0x80;
  if (!nonAscii) return std::string(bytes.constData(), bytes.size());
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = decoder(bytes);
  if (decoder.hasError()) return std::nullopt;
  QByteArray plain = bytes;
  if (plain.startsWith("\xEF\xBB\xBF")) plain.remove(0, 3);
  return std::string(plain.constData(), plain.size());
}

// Code page 950, line by line (a line end never stands inside a Big5 character).
std::string fromCp950(const QByteArray& bytes, const std::string& name) {
  std::string text;
  const QList<QByteArray> lines = bytes.split('\n');
  for (qsizetype i = 0; i < lines.size(); ++i) {
    int undecodable = 0;
    const QString line = text::decodeCp950(lines[i], &undecodable);
    if (undecodable > 0) {
      throw InputError(name + ", line " + std::to_string(i + 1) +
                       ": bytes that are neither code page 950 nor UTF-8 text");
    }
    text += utf8(line);
    if (i + 1 < lines.size()) text += '\n';
  }
  return text;
}

}  // namespace

analysis::NetworkRows readAnalysisFile(const QString& path) {
  const QByteArray bytes = readAll(path);
  const std::string name = path == QStringLiteral("-") ? std::string("standard input") : utf8(path);
  if (std::optional<analysis::NetworkRows> lines = levelLineRows(bytes, name)) return std::move(*lines);
  const std::optional<std::string> text = asUtf8(bytes);
  return analysis::readEngineFile(text ? *text : fromCp950(bytes, name), name);
}

}  // namespace korvane::app
