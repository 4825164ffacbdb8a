#include "app/download_command.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <cstdio>

#include "app/port_options.h"
#include "common/qt_poll_timer.h"
#include "link/download_transfer.h"
#include "link/port_settings.h"
#include "link/qt_serial_port.h"
#include "link/series.h"
#include "text/cp950.h"

namespace korvane::app {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitUndecodable = 3;
constexpr int kExitInterrupted = 130;

void printError(const QString& text) { std::fprintf(stderr, "korvane download: %s\n", qPrintable(text)); }

// The window of a download, as text on the console.
class ConsoleDownload : public link::DownloadSurface, public Messages {
 public:
  ConsoleDownload(QString seriesText, link::PortListTexts lists)
      : seriesText_(std::move(seriesText)), lists_(std::move(lists)) {}

  QString seriesText() const override { return seriesText_; }
  link::PortListTexts portLists() const override { return lists_; }
  void setWorkspaceText(const QString& text) override { workspace_ = text; }
  void setAnimationPlaying(bool) override {}
  void setDownloadBreakEnabled(bool) override {}
  Messages& messages() override { return *this; }

  void information(const QString&, const QString& text) override {
    if (text == link::kDownloadFinished) finished_ = true;
    if (text == link::kDownloadInterrupted) interrupted_ = true;
  }
  void critical(const QString&, const QString& text) override {
    failed_ = true;
    printError(text);
  }
  // The only warning of a download counts bytes that were no Big5 text; the command reports
  // them itself, saying how they are written.
  void exclamation(const QString&, const QString&) override {}
  void plain(const QString& text) override { printError(text); }
  bool confirm(const QString&, const QString&) override { return false; }
  bool askYesNo(const QString&, const QString&) override { return false; }

  bool done() const { return finished_ || interrupted_ || failed_; }
  bool finished() const { return finished_; }
  bool interrupted() const { return interrupted_; }
  const QString& workspace() const { return workspace_; }

 private:
  QString seriesText_;
  link::PortListTexts lists_;
  QString workspace_;
  bool finished_ = false;
  bool interrupted_ = false;
  bool failed_ = false;
};

struct Options {
  PortOptions port;
  QString outputFile;
};

std::optional<Options> parseOptions(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Downloads an instrument's data, as the 下載 button does."));
  parser.addHelpOption();
  const QStringList seriesWords = {QStringLiteral("gts200"), QStringLiteral("gts600"), QStringLiteral("dl100c")};
  addPortOptions(parser, seriesWords);
  parser.addOption({{QStringLiteral("o"), QStringLiteral("output")},
                    QStringLiteral("Write the received text to FILE (CP950) instead of standard output."),
                    QStringLiteral("FILE")});

  if (!parser.parse(QStringList{QStringLiteral("korvane download")} + arguments)) {
    printError(parser.errorText());
    return std::nullopt;
  }
  if (parser.isSet(QStringLiteral("help"))) {
    std::fputs(qPrintable(subcommandHelp(parser, QStringLiteral("korvane download"))), stdout);
    std::fputs("Exit status: 0 done, 1 failed, 2 wrong usage, 3 written but some bytes were no Big5 text,\n"
               "130 interrupted (Ctrl-C; nothing is written).\n", stdout);
    std::exit(0);
  }
  const auto port = readPortOptions(parser, seriesWords, QStringLiteral("korvane download"));
  if (!port) return std::nullopt;
  return Options{*port, parser.value(QStringLiteral("output"))};
}

bool writeOutput(const QString& path, const QByteArray& bytes) {
  if (path.isEmpty()) {
    return std::fwrite(bytes.constData(), 1, bytes.size(), stdout) == static_cast<size_t>(bytes.size()) &&
           std::fflush(stdout) == 0;
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    printError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    return false;
  }
  return true;
}

}  // namespace

int runDownloadCommand(const QStringList& arguments) {
  const std::optional<Options> options = parseOptions(arguments);
  if (!options) return kExitUsage;

  ConsoleDownload console(options->port.seriesText, options->port.lists);
  link::QtSerialPort port;
  link::PortConnection connection(port, nullptr);
  link::DownloadTransfer* transfer = nullptr;
  QtPollTimer timer(300, [&] { transfer->tick(); });
  link::DownloadTransfer download(connection, timer, console);
  transfer = &download;

  qint64 shownBytes = -1;
  download.start();
  runTransferLoop([&] { return download.isRunning() && !console.done(); }, [&] { download.interrupt(); },
                  [&] {
                    const qint64 bytes = download.session().bytesReceived();
                    if (bytes != shownBytes && !console.done()) {
                      shownBytes = bytes;
                      std::fprintf(stderr, "\r已接收 %lld 位元組", static_cast<long long>(bytes));
                      std::fflush(stderr);
                    }
                  });
  if (shownBytes >= 0) {
    std::fprintf(stderr, "\r已接收 %lld 位元組\n", static_cast<long long>(download.session().bytesReceived()));
  }

  if (console.interrupted()) return kExitInterrupted;
  if (!console.finished()) return kExitFailure;

  const text::Cp950Encoding encoded = text::encodeCp950(console.workspace());
  if (!writeOutput(options->outputFile, encoded.bytes)) return kExitFailure;
  const int undecodable = download.session().undecodableBytes();
  if (undecodable > 0) {
    printError(QStringLiteral("%1 個位元組無法以 Big5 (CP950) 解讀，輸出中以「?」代替").arg(undecodable));
    return kExitUndecodable;
  }
  return 0;
}

}  // namespace korvane::app
