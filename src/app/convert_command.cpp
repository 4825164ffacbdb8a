#include "app/convert_command.h"

#include <QCommandLineParser>
#include <QFile>
#include <cstdio>

#include "app/console_messages.h"
#include "common/failure.h"
#include "common/program_folder.h"
#include "convert/conversion.h"
#include "text/text_file.h"

namespace korvane::app {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

void printError(const QString& text) { std::fprintf(stderr, "korvane convert: %s\n", text.toLocal8Bit().constData()); }

QString helpText(const std::vector<convert::ConversionCommand>& commands) {
  QString text = QStringLiteral(
      "Usage: korvane convert VERB [FILE] [--utf8] [-o OUT]\n"
      "Converts the text of FILE (or standard input) as the 資料轉換 menu converts the workspace, and\n"
      "writes the resulting text to standard output in CP950 (--utf8: UTF-8). Input is read as CP950\n"
      "unless it is valid UTF-8 with non-ASCII content. A failure, and input without any record the\n"
      "verb reads, prints its message on standard error, nothing on standard output, and exits 1.\n\nVerbs:\n");
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

}  // namespace

int runConvertCommand(const QStringList& arguments) {
  const std::vector<convert::ConversionCommand> commands = convert::allConversionCommands();
  QCommandLineParser parser;
  parser.addHelpOption();
  parser.addOption({QStringLiteral("utf8"), QStringLiteral("Write UTF-8 instead of CP950.")});
  parser.addOption({{QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("The file a verb writes (a workbook)."),
                    QStringLiteral("OUT")});
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

  const text::TextEncoding encoding = parser.isSet(QStringLiteral("utf8")) ? text::TextEncoding::Utf8 : text::TextEncoding::Cp950;
  const text::Cp950Encoding encoded = text::encodeText(*outcome.text, encoding);
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
