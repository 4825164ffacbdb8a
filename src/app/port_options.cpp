#include "app/port_options.h"

#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <cstdio>

#include "link/series.h"

namespace korvane::app {
namespace {

std::atomic<bool> interruptRequested{false};
bool catchingInterrupts = false;

QString seriesTextOf(const QString& word) {
  if (word == u"gts200") return link::kSeriesGts200;
  if (word == u"gts600") return link::kSeriesGts600;
  if (word == u"dl100c") return link::kSeriesDl100c;
  return {};
}

}  // namespace

void addPortOptions(QCommandLineParser& parser, const QStringList& seriesWords) {
  parser.addOption({QStringLiteral("series"),
                    QStringLiteral("Instrument series: %1.").arg(seriesWords.join(QStringLiteral(", "))),
                    QStringLiteral("SERIES")});
  parser.addOption({QStringLiteral("port"), QStringLiteral("COM1..COM3, or a serial device such as /dev/ttyUSB0."),
                    QStringLiteral("DEVICE")});
  parser.addOption({QStringLiteral("baud"), QStringLiteral("Baud rate: 1200, 2400, 4800, 9600 (default) or 19200."),
                    QStringLiteral("N"), QStringLiteral("9600")});
  parser.addOption({QStringLiteral("parity"),
                    QStringLiteral("7bit/Even, 7bit/None, 8bit/Even or 8bit/None (default: as the series presets it)."),
                    QStringLiteral("TEXT")});
  parser.addOption({QStringLiteral("stop"), QStringLiteral("Stop bits: 1 (default) or 2."), QStringLiteral("N"),
                    QStringLiteral("1")});
}

std::optional<PortOptions> readPortOptions(const QCommandLineParser& parser, const QStringList& seriesWords,
                                           const QString& command) {
  auto complain = [&](const QString& text) {
    std::fprintf(stderr, "%s: %s\n", command.toLocal8Bit().constData(), text.toLocal8Bit().constData());
    return std::nullopt;
  };
  PortOptions options;
  const QString word = parser.value(QStringLiteral("series"));
  if (!seriesWords.contains(word)) {
    return complain(QStringLiteral("--series must be one of %1").arg(seriesWords.join(QStringLiteral(", "))));
  }
  options.seriesText = seriesTextOf(word);
  if (!parser.isSet(QStringLiteral("port"))) return complain(QStringLiteral("--port is required"));
  const bool level = options.seriesText == link::kSeriesDl100c;
  options.lists.port = parser.value(QStringLiteral("port"));
  options.lists.baudRate = parser.value(QStringLiteral("baud"));
  options.lists.parity = parser.isSet(QStringLiteral("parity")) ? parser.value(QStringLiteral("parity"))
                                                                : QString(level ? "7bit/None" : "8bit/None");
  options.lists.stopBits = parser.value(QStringLiteral("stop"));
  const std::pair<QString, QStringList> checks[] = {{options.lists.baudRate, link::baudRateChoices()},
                                                    {options.lists.parity, link::parityChoices()},
                                                    {options.lists.stopBits, link::stopBitChoices()}};
  for (const auto& [value, choices] : checks) {
    if (!choices.contains(value)) {
      return complain(QStringLiteral("「%1」 is not one of: %2").arg(value, choices.join(QStringLiteral(", "))));
    }
  }
  return options;
}

QString subcommandHelp(const QCommandLineParser& parser, const QString& command) {
  QString help = parser.helpText();
  const QStringList started = QCoreApplication::arguments();
  const QString usage = QStringLiteral("Usage: ");
  if (!started.isEmpty() && help.startsWith(usage + started.constFirst() + u' '))
    help.replace(usage.size(), started.constFirst().size(), command);
  return help;
}

void catchInterrupts() {
  if (catchingInterrupts) return;
  catchingInterrupts = true;
  interruptRequested = false;
  std::signal(SIGINT, [](int) { interruptRequested = true; });
}

void runTransferLoop(const std::function<bool()>& running, const std::function<void()>& interrupt,
                     const std::function<void()>& watch) {
  catchInterrupts();
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (interruptRequested.exchange(false) && running()) interrupt();
    watch();
    if (!running()) QCoreApplication::exit(0);
  });
  if (running()) {
    timer.start(20);
    QCoreApplication::exec();
  }
  std::signal(SIGINT, SIG_DFL);
  catchingInterrupts = false;
}

}  // namespace korvane::app
