#include "app/convert_command.h"

#include <QCommandLineParser>
#include <QFile>
#include <QTemporaryFile>
#include <cstdio>

#include "app/console_messages.h"
#include "common/failure.h"
#include "common/program_folder.h"
#include "convert/conversion.h"
#include "convert/conversion_streams.h"
#include "convert/level/level_file.h"
#include "convert/level/level_lines_report.h"
#include "text/text_file.h"

namespace korvane::app {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

void printError(const QString& text) { std::fprintf(stderr, "korvane convert: %s\n", text.toLocal8Bit().constData()); }

QString helpText(const std::vector<convert::ConversionCommand>& commands) {
  QString text = QStringLiteral(
      "Usage: korvane convert VERB [FILE] [--utf8] [-o OUT] [--csv]\n"
      "Converts the text of FILE (or standard input) as the 資料轉換 menu converts the workspace, and\n"
      "writes the resulting text to standard output in CP950 (--utf8: UTF-8). Input is read as CP950\n"
      "unless it is valid UTF-8 with non-ASCII content. A failure, and input without any record the\n"
      "verb reads, prints its message on standard error, nothing on standard output, and exits 1.\n"
      "level-lines reads Leica GSI or DiNi M5 bytes as they stand; --csv writes its lines as CSV\n"
      "(UTF-8 with a byte-order mark).\n\nVerbs:\n");
  for (const convert::ConversionCommand& command : commands) {
    text += QStringLiteral("  %1 %2\n").arg(command.verb, -18).arg(command.summary);
  }
  return text;
}

bool readInput(const QString& path, QByteArray& bytes) {
  QFile file;
  const bool opened = path.isEmpty() ? file.open(stdin, QIODevice::ReadOnly) : (file.setFileName(path), file.open(QIODevice::ReadOnly));
  if (!opened) {
    printError(QStringLiteral("cannot read %1: %2").arg(path.isEmpty() ? QStringLiteral("standard input") : path, file.errorString()));
    return false;
  }
  bytes = file.readAll();
  return true;
}

constexpr qint64 kPieceBytes = 1 << 20;

// Standard input kept in a temporary file, so that it can be read in pieces more than once.
bool spoolStandardInput(QTemporaryFile& spool) {
  QFile in;
  if (!in.open(stdin, QIODevice::ReadOnly) || !spool.open()) {
    printError(QStringLiteral("cannot read standard input: %1").arg(in.errorString()));
    return false;
  }
  while (true) {
    const QByteArray piece = in.read(kPieceBytes);
    if (piece.isEmpty()) break;
    if (spool.write(piece) != piece.size()) {
      printError(QStringLiteral("cannot keep standard input in %1: %2").arg(spool.fileName(), spool.errorString()));
      return false;
    }
  }
  spool.close();
  return true;
}

// The result, encoded piece by piece into a temporary file: standard output receives it only when
// the whole conversion has succeeded.
class EncodedResult : public convert::TextSink {
 public:
  explicit EncodedResult(text::TextEncoding encoding) : encoding_(encoding) {}

  bool open() { return file_.open(); }

  void write(QStringView text) override {
    if (!unencodable_.isEmpty() || text.isEmpty()) return;
    const QString piece = characters_.take(text);
    const text::Cp950Encoding encoded = text::encodeText(piece, encoding_);
    if (!encoded.ok()) {
      unencodable_ = encoded.describe();
      return;
    }
    if (file_.write(encoded.bytes) != encoded.bytes.size()) failed_ = true;
  }

  void restart() override {
    characters_.clear();
    unencodable_.clear();
    failed_ = !file_.resize(0) || !file_.seek(0);
  }

  // Copies the result to standard output; false with a message on standard error when it cannot.
  bool copyToStandardOutput() {
    if (const QString last = characters_.rest(); !last.isEmpty()) write(last);
    if (!unencodable_.isEmpty()) {
      printError(unencodable_ + QStringLiteral("; --utf8 writes it"));
      return false;
    }
    if (failed_ || !file_.flush() || !file_.seek(0)) {
      printError(QStringLiteral("cannot keep the result in %1: %2").arg(file_.fileName(), file_.errorString()));
      return false;
    }
    while (true) {
      const QByteArray piece = file_.read(kPieceBytes);
      if (piece.isEmpty()) break;
      if (std::fwrite(piece.constData(), 1, piece.size(), stdout) != static_cast<size_t>(piece.size())) {
        printError(QStringLiteral("cannot write standard output"));
        return false;
      }
    }
    return std::fflush(stdout) == 0;
  }

 private:
  text::TextEncoding encoding_;
  QTemporaryFile file_;
  text::WholeCharacters characters_;
  QString unencodable_;
  bool failed_ = false;
};

// Runs a conversion that reads its text in pieces: neither the input nor the result is ever held
// whole, so inputs of any size fit in little memory.
int runInPieces(const convert::ConversionCommand& command, const convert::StreamFactory& stream, const QString& path,
                text::TextEncoding outputEncoding, const QString& outputFile) {
  QTemporaryFile standardInput;
  if (path.isEmpty() && !spoolStandardInput(standardInput)) return kExitFailure;
  const QString inputPath = path.isEmpty() ? standardInput.fileName() : path;
  if (QFile file(inputPath); !file.open(QIODevice::ReadOnly)) {
    printError(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    return kExitFailure;
  }

  ConsoleMessages messages;
  convert::ConversionEnvironment environment{messages, writableFolder(), 10, {}, outputFile, {}};
  EncodedResult result(outputEncoding);
  if (!result.open()) {
    printError(QStringLiteral("cannot make a temporary file for the result"));
    return kExitFailure;
  }
  bool metRecords = true;
  if (const auto failure = attempt([&] {
        const text::TextFilePieces input(inputPath);
        const std::unique_ptr<convert::TextConversion> conversion = stream(environment, result);
        input.read([&](QStringView piece) { conversion->read(piece); });
        conversion->finish();
        metRecords = conversion->metRecords();
      })) {
    printError(*failure);
    return kExitFailure;
  }
  if (!metRecords && !command.records.isEmpty()) {
    printError(convert::noRecordsMessage(command.records));
    return kExitFailure;
  }
  if (messages.failed) return kExitFailure;
  return result.copyToStandardOutput() ? 0 : kExitFailure;
}

bool writeStandardOutput(const QByteArray& bytes) {
  if (std::fwrite(bytes.constData(), 1, bytes.size(), stdout) != static_cast<size_t>(bytes.size()) || std::fflush(stdout) != 0) {
    printError(QStringLiteral("cannot write standard output"));
    return false;
  }
  return true;
}

// `level-lines`: the levelling lines of a GSI or M5 file, read in pieces from the bytes as the
// instrument wrote them, as the report or (--csv) as CSV.
int runLevelLines(const QString& path, bool csv, text::TextEncoding outputEncoding) {
  std::vector<convert::level::LevelLine> lines;
  const QString where = path.isEmpty() ? QStringLiteral("標準輸入") : path;
  if (const auto failure = attempt([&] {
        if (!path.isEmpty()) {
          lines = convert::level::readLevelLinesFile(path, where);
          return;
        }
        QByteArray bytes;
        if (!readInput(path, bytes)) throw Failure(QStringLiteral("無法讀取標準輸入"));
        const std::string_view raw(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        lines = convert::level::readLevelLines(raw, convert::level::detectLevelFormat(raw.substr(0, 4096)), where);
      })) {
    printError(*failure);
    return kExitFailure;
  }
  if (csv) return writeStandardOutput("\xEF\xBB\xBF" + convert::level::levelLinesCsv(lines).toUtf8()) ? 0 : kExitFailure;
  const text::Cp950Encoding encoded = text::encodeText(convert::level::levelLinesReport(lines, where), outputEncoding);
  if (!encoded.ok()) {
    printError(encoded.describe() + QStringLiteral("; --utf8 writes it"));
    return kExitFailure;
  }
  return writeStandardOutput(encoded.bytes) ? 0 : kExitFailure;
}

}  // namespace

int runConvertCommand(const QStringList& arguments) {
  const std::vector<convert::ConversionCommand> commands = convert::allConversionCommands();
  QCommandLineParser parser;
  parser.addHelpOption();
  parser.addOption({QStringLiteral("utf8"), QStringLiteral("Write UTF-8 instead of CP950.")});
  parser.addOption({{QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("The file a verb writes (a workbook)."),
                    QStringLiteral("OUT")});
  parser.addOption({QStringLiteral("csv"), QStringLiteral("level-lines: write the lines as CSV.")});
  parser.addPositionalArgument(QStringLiteral("verb"), QStringLiteral("The conversion."));
  parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The text to convert (default: standard input)."));
  if (!parser.parse(QStringList{QStringLiteral("korvane convert")} + arguments)) {
    printError(parser.errorText());
    return kExitUsage;
  }
  if (parser.isSet(QStringLiteral("help"))) {
    std::fputs(helpText(commands).toLocal8Bit().constData(), stdout);
    return 0;
  }
  const QStringList positional = parser.positionalArguments();
  if (positional.isEmpty() || positional.size() > 2) {
    std::fputs(helpText(commands).toLocal8Bit().constData(), stderr);
    return kExitUsage;
  }
  const auto command = std::find_if(commands.begin(), commands.end(),
                                    [&](const convert::ConversionCommand& c) { return c.verb == positional[0]; });
  if (command == commands.end()) {
    printError(QStringLiteral("unknown verb '%1'; 'korvane convert --help' lists them").arg(positional[0]));
    return kExitUsage;
  }

  const text::TextEncoding outputEncoding =
      parser.isSet(QStringLiteral("utf8")) ? text::TextEncoding::Utf8 : text::TextEncoding::Cp950;
  const bool levelLines = command->verb == QStringLiteral("level-lines");
  if (parser.isSet(QStringLiteral("csv")) && !levelLines) {
    printError(QStringLiteral("--csv goes with level-lines only"));
    return kExitUsage;
  }
  if (levelLines) return runLevelLines(positional.value(1), parser.isSet(QStringLiteral("csv")), outputEncoding);
  if (const convert::StreamFactory stream = convert::streamFor(command->verb)) {
    return runInPieces(*command, stream, positional.value(1), outputEncoding, parser.value(QStringLiteral("output")));
  }

  QByteArray input;
  if (!readInput(positional.value(1), input)) return kExitFailure;
  const text::DecodedText decoded = text::decodeTextFile(input);

  ConsoleMessages messages;
  convert::ConversionEnvironment environment{messages, writableFolder(), 10, {}, parser.value(QStringLiteral("output")), {}};
  convert::ConversionOutcome outcome;
  if (const auto failure = attempt([&] { outcome = convert::runConversion(*command, decoded.text, environment); })) {
    printError(*failure);
    return kExitFailure;
  }
  if (!outcome.noRecords.isEmpty()) {
    printError(outcome.noRecords);
    return kExitFailure;
  }
  if (messages.failed) return kExitFailure;
  if (!outcome.text) return 0;

  const text::Cp950Encoding encoded = text::encodeText(*outcome.text, outputEncoding);
  if (!encoded.ok()) {
    printError(encoded.describe() + QStringLiteral("; --utf8 writes it"));
    return kExitFailure;
  }
  if (std::fwrite(encoded.bytes.constData(), 1, encoded.bytes.size(), stdout) != static_cast<size_t>(encoded.bytes.size())) {
    printError(QStringLiteral("cannot write standard output"));
    return kExitFailure;
  }
  return 0;
}

}  // namespace korvane::app
