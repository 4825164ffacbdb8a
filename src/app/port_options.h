#pragma once
// The options that choose the instrument and the port, shared by the transfer subcommands.

#include <QCommandLineParser>
#include <QStringList>
#include <optional>

#include "link/port_settings.h"

namespace korvane::app {

struct PortOptions {
  QString seriesText;  // as the series list shows it
  link::PortListTexts lists;
};

// --series (one of `seriesWords`), --port, --baud, --parity, --stop.
void addPortOptions(QCommandLineParser& parser, const QStringList& seriesWords);

// The options' values; the parity and stop bits default as choosing the series presets them.
// Prints what is wrong (prefixed with `command`) and returns nothing on a bad value.
std::optional<PortOptions> readPortOptions(const QCommandLineParser& parser, const QStringList& seriesWords,
                                           const QString& command);

// The parser's help text with `command` ("korvane download") in its usage line, where the parser
// would put the path the program was started by.
QString subcommandHelp(const QCommandLineParser& parser, const QString& command);

// From here on Ctrl-C is noted instead of ending the program; the next runTransferLoop passes it
// to its transfer. Called before a transfer starts, so that a press while the transfer opens the
// port and sends its first bytes still reaches it (an upload must end with EOT).
void catchInterrupts();

// Runs the event loop while `running` holds; Ctrl-C calls `interrupt` (once per press); `watch`
// runs every 20 ms. Returns when `running` no longer holds, with Ctrl-C ending the program again.
void runTransferLoop(const std::function<bool()>& running, const std::function<void()>& interrupt,
                     const std::function<void()>& watch);

}  // namespace korvane::app
