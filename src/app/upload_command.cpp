#include "app/upload_command.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include "app/console_messages.h"
#include "app/port_options.h"
#include "common/program_folder.h"
#include "common/qt_poll_timer.h"
#include "link/qt_serial_port.h"
#include "link/upload_transfer.h"
#include "text/text_file.h"

namespace korvane::app {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitInterrupted = 130;

void printError(const QString& text) {
  std::fprintf(stderr, "korvane upload: %s\n", text.toLocal8Bit().constData());
}

// The window of an upload, as text on the console.
class ConsoleUpload : public link::UploadSurface {
 public:
  ConsoleUpload(PortOptions port, link::UploadOption option, QString workspace)
      : port_(std::move(port)), option_(option), workspace_(std::move(workspace)) {}

  QString seriesText() const override { return port_.seriesText; }
  link::PortListTexts portLists() const override { return port_.lists; }
  void setWorkspaceText(const QString& text) override { workspace_ = text; }
  void setAnimationPlaying(bool) override {}
  Messages& messages() override { return messages_; }
  QString workspaceText() const override { return workspace_; }
  link::UploadOption uploadOption() const override { return option_; }
  void setUploadBreakEnabled(bool) override {}
  void showUploadProgress(int sent, int remaining) override {
    if (sent < 0) return;
    std::fprintf(stderr, "\r已傳送 %d 行，尚餘 %d 行   ", sent, remaining);
    std::fflush(stderr);
  }
  QString programFolder() const override { return writableFolder(); }
  void yieldToEvents() override {}

  ConsoleMessages messages_;

 private:
  PortOptions port_;
  link::UploadOption option_;
  QString workspace_;
};

}  // namespace

int runUploadCommand(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Sends the coordinate file FILE to a total station, as the 上傳 button sends the workspace."));
  parser.addHelpOption();
  const QStringList seriesWords = {QStringLiteral("gts200"), QStringLiteral("gts600")};
  addPortOptions(parser, seriesWords);
  parser.addOption({QStringLiteral("option"),
                    QStringLiteral("X (Name,X,Y,Z,PCode; default), Y (Name,Y,X,Z,PCode) or L14 (地政L14)."),
                    QStringLiteral("X|Y|L14"), QStringLiteral("X")});
  parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The coordinate file."));
  if (!parser.parse(QStringList{QStringLiteral("korvane upload")} + arguments)) {
    printError(parser.errorText());
    return kExitUsage;
  }
  if (parser.isSet(QStringLiteral("help"))) {
    std::fputs(qPrintable(subcommandHelp(parser, QStringLiteral("korvane upload"))), stdout);
    std::fputs("Exit status: 0 done, 1 failed, 2 wrong usage, 130 interrupted (Ctrl-C sends EOT).\n", stdout);
    return 0;
  }
  const auto port = readPortOptions(parser, seriesWords, QStringLiteral("korvane upload"));
  if (!port) return kExitUsage;
  const QString optionWord = parser.value(QStringLiteral("option"));
  link::UploadOption option = link::UploadOption::NameXY;
  if (optionWord == u"Y") option = link::UploadOption::NameYX;
  else if (optionWord == u"L14") option = link::UploadOption::CadastralL14;
  else if (optionWord != u"X") {
    printError(QStringLiteral("--option must be X, Y or L14"));
    return kExitUsage;
  }
  if (parser.positionalArguments().size() != 1) {
    printError(QStringLiteral("name one coordinate file"));
    return kExitUsage;
  }
  QFile file(parser.positionalArguments().first());
  if (!file.open(QIODevice::ReadOnly)) {
    printError(QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString()));
    return kExitFailure;
  }

  ConsoleUpload console(*port, option, text::decodeTextFile(file.readAll()).text);
  link::QtSerialPort serial;
  link::PortConnection connection(serial, nullptr);
  link::UploadTransfer* transfer = nullptr;
  QtPollTimer timer(300, [&] { transfer->tick(); });
  link::UploadTransfer upload(connection, timer, console);
  transfer = &upload;

  bool interrupted = false;
  catchInterrupts();
  upload.start();
  runTransferLoop([&] { return upload.isRunning(); },
                  [&] {
                    interrupted = true;
                    upload.interrupt();
                  },
                  [] {});
  std::fputc('\n', stderr);
  if (interrupted) return kExitInterrupted;
  return console.messages_.failed ? kExitFailure : 0;
}

}  // namespace korvane::app
