#include "app/download_command.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>
#include <memory>

#include "app/port_options.h"
#include "common/program_folder.h"
#include "common/qt_poll_timer.h"
#include "link/download_transfer.h"
#include "link/port_settings.h"
#include "link/qt_serial_port.h"
#include "link/raw_capture.h"
#include "link/series.h"
#include "text/cp950.h"

namespace korvane::app {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitUndecodable = 3;
constexpr int kExitBrokenOff = 4;
constexpr int kExitInterrupted = 130;

const char kExitStatusHelp[] =
    "Exit status: 0 done, 1 failed (the port could not be opened, or an output file could not be\n"
    "written: the check comes before the port is opened, and text received but not written is kept\n"
    "in a file in Korvane's folder, named on standard error), 2 wrong usage, 3 written but some bytes\n"
    "were no Big5 text, 4 the link was lost before the end of data (what arrived is written, as the\n"
    "text and with --raw), 130 interrupted (Ctrl-C; the text is not written, a --raw capture is).\n";

void printError(const QString& text) { std::fprintf(stderr, "korvane download: %s\n", qPrintable(text)); }

// The window of a download, as text on the console: the byte count on one line of standard
// error, message boxes as lines after it.
class ConsoleDownload : public link::DownloadSurface, public Messages {
 public:
  ConsoleDownload(QString seriesText, link::PortListTexts lists)
      : seriesText_(std::move(seriesText)), lists_(std::move(lists)) {}

  QString seriesText() const override { return seriesText_; }
  link::PortListTexts portLists() const override { return lists_; }
  void setWorkspaceText(const QString& text) override { workspace_ = text; }
  void setAnimationPlaying(bool) override {}
  void setDownloadBreakEnabled(bool) override {}
  // The count is shown by showCount(), which the command calls as time passes.
  void showDownloadProgress(qint64) override {}
  Messages& messages() override { return *this; }

  void information(const QString&, const QString&) override {}
  void critical(const QString&, const QString& text) override { error(text); }
  // The warnings of a download (bytes that were no Big5 text, a raw capture that could not be
  // written) are reported by the command itself, saying what was written.
  void exclamation(const QString&, const QString&) override {}
  void plain(const QString& text) override { error(text); }
  bool confirm(const QString&, const QString&) override { return false; }
  bool askYesNo(const QString&, const QString&) override { return false; }

  void showCount(qint64 bytes) {
    if (bytes == shownBytes_) return;
    shownBytes_ = bytes;
    std::fprintf(stderr, "\r已接收 %lld 位元組", static_cast<long long>(bytes));
    std::fflush(stderr);
    lineOpen_ = true;
  }
  void error(const QString& text) {
    endLine();
    printError(text);
  }
  void endLine() {
    if (lineOpen_) std::fputc('\n', stderr);
    lineOpen_ = false;
  }
  const QString& workspace() const { return workspace_; }

 private:
  QString seriesText_;
  link::PortListTexts lists_;
  QString workspace_;
  qint64 shownBytes_ = -1;
  bool lineOpen_ = false;
};

struct Options {
  PortOptions port;
  QString outputFile;
  QString rawFile;
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
  parser.addOption({QStringLiteral("raw"),
                    QStringLiteral("Also write the bytes exactly as received (no decoding, no line-end changes) "
                                   "to FILE, as they arrive."),
                    QStringLiteral("FILE")});

  if (!parser.parse(QStringList{QStringLiteral("korvane download")} + arguments)) {
    printError(parser.errorText());
    return std::nullopt;
  }
  if (parser.isSet(QStringLiteral("help"))) {
    std::fputs(qPrintable(subcommandHelp(parser, QStringLiteral("korvane download"))), stdout);
    std::fputs(kExitStatusHelp, stdout);
    std::exit(0);
  }
  const auto port = readPortOptions(parser, seriesWords, QStringLiteral("korvane download"));
  if (!port) return std::nullopt;
  return Options{*port, parser.value(QStringLiteral("output")), parser.value(QStringLiteral("raw"))};
}

// The output file, opened before the port so that a place that cannot be written is found
// before anything is transferred; written whole or not at all at the end.
class OutputFile {
 public:
  explicit OutputFile(const QString& path) {
    if (path.isEmpty()) return;
    file_ = std::make_unique<QSaveFile>(path);
    if (QFileInfo(path).isDir()) {
      failure_ = QStringLiteral("cannot write %1: it is a folder").arg(path);
    } else if (!file_->open(QIODevice::WriteOnly)) {
      failure_ = QStringLiteral("cannot write %1: %2").arg(path, file_->errorString());
    }
  }
  ~OutputFile() {
    if (file_ && file_->isOpen()) file_->cancelWriting();
  }
  const QString& failure() const { return failure_; }

  // Writes the bytes to the file or to standard output; false (with the reason printed) when
  // that failed.
  bool write(const QByteArray& bytes) {
    if (!file_) {
      if (std::fwrite(bytes.constData(), 1, bytes.size(), stdout) == static_cast<size_t>(bytes.size()) &&
          std::fflush(stdout) == 0) {
        return true;
      }
      printError(QStringLiteral("cannot write the text to standard output"));
      return false;
    }
    if (file_->write(bytes) == bytes.size() && file_->commit()) return true;
    printError(QStringLiteral("cannot write %1: %2").arg(file_->fileName(), file_->errorString()));
    return false;
  }

 private:
  std::unique_ptr<QSaveFile> file_;
  QString failure_;
};

// Keeps text that could not be written where it was asked for in Korvane's folder; the
// file's name, or nothing when even that failed.
std::optional<QString> keepInProgramFolder(const QByteArray& bytes) {
  const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  QString path = writableFile(QStringLiteral("download-%1.txt").arg(stamp));
  for (int n = 2; QFileInfo::exists(path); ++n) {
    path = writableFile(QStringLiteral("download-%1-%2.txt").arg(stamp).arg(n));
  }
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) return path;
  printError(QStringLiteral("cannot write %1 either: %2").arg(path, file.errorString()));
  return std::nullopt;
}

}  // namespace

int runDownloadCommand(const QStringList& arguments) {
  const std::optional<Options> options = parseOptions(arguments);
  if (!options) return kExitUsage;

  // Where the text and the raw bytes go is checked before the port opens.
  OutputFile output(options->outputFile);
  if (!output.failure().isEmpty()) {
    printError(output.failure() + QStringLiteral("; nothing was transferred"));
    return kExitFailure;
  }
  std::unique_ptr<link::RawCapture> capture;
  if (!options->rawFile.isEmpty()) {
    capture = std::make_unique<link::RawCapture>(options->rawFile);
    capture->begin();
    if (capture->failure()) {
      printError(*capture->failure() + QStringLiteral("; nothing was transferred"));
      return kExitFailure;
    }
  }

  ConsoleDownload console(options->port.seriesText, options->port.lists);
  link::QtSerialPort port;
  link::PortConnection connection(port, nullptr);
  link::DownloadTransfer* transfer = nullptr;
  QtPollTimer timer(300, [&] { transfer->tick(); });
  link::DownloadTransfer download(connection, timer, console);
  transfer = &download;
  download.setRawCapture(capture.get());

  catchInterrupts();
  download.start();
  const auto running = [&] { return download.outcome() == link::DownloadOutcome::Running; };
  if (running()) console.showCount(0);
  runTransferLoop(running, [&] { download.interrupt(); },
                  [&] {
                    if (running()) console.showCount(download.session().bytesReceived());
                  });
  if (download.outcome() != link::DownloadOutcome::None) console.showCount(download.session().bytesReceived());
  console.endLine();
  if (capture && capture->failure()) printError(*capture->failure());

  switch (download.outcome()) {
    case link::DownloadOutcome::None:
    case link::DownloadOutcome::Running:
      return kExitFailure;
    case link::DownloadOutcome::Interrupted:
      return kExitInterrupted;
    case link::DownloadOutcome::Finished:
    case link::DownloadOutcome::BrokenOff:
      break;
  }

  const text::Cp950Encoding encoded = text::encodeCp950(console.workspace());
  if (!output.write(encoded.bytes)) {
    if (const auto kept = keepInProgramFolder(encoded.bytes)) {
      printError(QStringLiteral("the received text (%1 bytes) is kept in %2").arg(encoded.bytes.size()).arg(*kept));
    }
    return kExitFailure;
  }
  const int undecodable = download.session().undecodableBytes();
  if (undecodable > 0) {
    printError(QStringLiteral("%1 個位元組無法以 Big5 (CP950) 解讀，輸出中以「?」代替").arg(undecodable));
  }
  if (download.outcome() == link::DownloadOutcome::BrokenOff) return kExitBrokenOff;
  return undecodable > 0 ? kExitUndecodable : 0;
}

}  // namespace korvane::app
