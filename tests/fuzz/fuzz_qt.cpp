#include "fuzz_qt.h"

#include <QCoreApplication>

#include "common/failure.h"
#include "fakes/recording_messages.h"
#include "fuzz_checks.h"
#include "text/text_file.h"

namespace korvane::fuzz {

void startQt(int* argc, char*** argv) {
  // Kept for the whole process: destroyed among the static objects at exit, it would outlive
  // parts of Qt it needs.
  if (!QCoreApplication::instance()) new QCoreApplication(*argc, *argv);
}

QString workspaceText(std::string_view bytes) {
  return text::decodeTextFile(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()))).text;
}

std::string utf8(const QString& text) { return text.toStdString(); }

QString programFolder() { return QString::fromStdString(scratchFolder().string()); }

std::vector<convert::ConversionCommand> conversionCommands(const QString& verbPrefix) {
  std::vector<convert::ConversionCommand> chosen;
  for (convert::ConversionCommand& command : convert::allConversionCommands()) {
    if (command.verb.startsWith(verbPrefix)) chosen.push_back(std::move(command));
  }
  if (chosen.empty()) finding("the fuzz target", "no conversion verb starts with " + verbPrefix.toStdString());
  return chosen;
}

void runConversion(const convert::ConversionCommand& command, const QString& workspace) {
  const std::string where = "korvane convert " + command.verb.toStdString();
  const std::string input = utf8(workspace);
  testing::RecordingMessages messages;
  convert::ConversionEnvironment environment{messages, programFolder(), 10, {}, {}, {}};
  std::optional<QString> converted;
  try {
    converted = command.convert(workspace, environment);
  } catch (const Failure&) {
    // A refusal with its message: the workspace stays as it is.
  }
  if (converted) checkOutputText(utf8(*converted), input, where);
  // Error boxes explain a refusal; every other box shows data.
  for (const testing::ShownMessage& message : messages.shown) {
    if (message.kind != QStringLiteral("critical")) checkNoNonFiniteText(utf8(message.text), input, where + " (a message box)");
  }
}

}  // namespace korvane::fuzz
