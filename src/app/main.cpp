// korvane: the Main window, or with a subcommand the same logic without a window.

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <cstdio>
#include <cstring>

#include "app/analyse_command.h"
#include "app/convert_command.h"
#include "app/db_command.h"
#include "app/deform_command.h"
#include "app/download_command.h"
#include "app/upload_command.h"
#include "common/program_folder.h"
#include "link/qt_serial_port.h"
#include "shell/fonts.h"
#include "shell/main_window.h"
#include "shell/qt_messages.h"
#include "shell/translations.h"

namespace {

const char kUsage[] =
    "Usage: korvane                 open the Main window\n"
    "       korvane SUBCOMMAND ...  run a command without a window\n"
    "\n"
    "Subcommands:\n"
    "  download --series gts200|gts600|dl100c --port DEVICE [--baud N] [--parity TEXT] [--stop N] [-o FILE]\n"
    "           [--raw FILE]\n"
    "           receive an instrument's data as the 下載 button does; the text goes to FILE or\n"
    "           standard output in CP950, the bytes as received to the --raw FILE, the byte count\n"
    "           to standard error. Ctrl-C interrupts; a lost link keeps what arrived (exit 4).\n"
    "  upload --series gts200|gts600 --option X|Y|L14 --port DEVICE [--baud N] [--parity TEXT] [--stop N] FILE\n"
    "           send a coordinate file to a total station as the 上傳 button does; progress on\n"
    "           standard error; Ctrl-C interrupts (EOT is sent).\n"
    "  convert VERB [FILE]\n"
    "           convert a text as the 資料轉換 menu does; 'korvane convert --help' lists the verbs.\n"
    "  db [--db PATH] import FILE | write-engine-file OUT.dat [--title TEXT] | read-engine-file FILE\n"
    "           the adjustment database Lnet.mdb as the workbench uses it: import a DL-100C\n"
    "           download or the levelling lines of a Leica GSI or DiNi M5 file, write or read an\n"
    "           engine input file for tarnex.\n"
    "  analyse FILE | --db PATH [options]\n"
    "           (FILE: an engine input file, or a Leica GSI or DiNi M5 levelling file)\n"
    "           analyse a levelling network: checks, adjustment of any size, statistical tests,\n"
    "           data snooping; JSON, CSV and HTML results.\n"
    "  deform --epoch DATE=SOURCE --epoch DATE=SOURCE ... [options]\n"
    "           monitor subsidence over epochs of levelling: each epoch's analysis, the\n"
    "           comparison of epochs with the stable benchmarks and the displacements, every\n"
    "           benchmark's velocity; JSON, CSV and an HTML report with pictures.\n"
    "\n"
    "'korvane SUBCOMMAND --help' describes a subcommand.\n";

bool hasDisplay() {
#ifdef Q_OS_UNIX
  return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
         qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
#else
  return true;
#endif
}

int runWindow(int argc, char** argv) {
  if (!hasDisplay()) {
    std::fputs("korvane: Korvane is a desktop program and needs a desktop session, but no display was found "
               "(DISPLAY is not set).\nStart it from a desktop, or headless with xvfb-run; "
               "'korvane --help' lists the commands that run without a window.\n",
               stderr);
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Korvane"));
  QApplication::setWindowIcon(
      QIcon::fromTheme(QStringLiteral("korvane"), QIcon(korvane::resourceFile(QStringLiteral("korvane.png")))));
  korvane::shell::installFontSubstitutes();
  korvane::shell::installQtTranslations(app);
  korvane::shell::QtMessages messages;
  korvane::link::QtSerialPort port;
  korvane::shell::MainWindow window(messages, port);
  messages.setOwner(&window);
  window.show();
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return runWindow(argc, argv);

  const char* command = argv[1];
  if (std::strcmp(command, "--version") == 0) {
    std::printf("korvane %s\n", KORVANE_VERSION);
    return 0;
  }
  if (std::strcmp(command, "--help") == 0 || std::strcmp(command, "-h") == 0 || std::strcmp(command, "help") == 0) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Korvane"));
  QStringList arguments = QCoreApplication::arguments().mid(2);
  if (std::strcmp(command, "download") == 0) return korvane::app::runDownloadCommand(arguments);
  if (std::strcmp(command, "convert") == 0) return korvane::app::runConvertCommand(arguments);
  if (std::strcmp(command, "upload") == 0) return korvane::app::runUploadCommand(arguments);
  if (std::strcmp(command, "db") == 0) return korvane::app::runDbCommand(arguments);
  if (std::strcmp(command, "analyse") == 0) return korvane::app::runAnalyseCommand(arguments);
  if (std::strcmp(command, "deform") == 0) return korvane::app::runDeformCommand(arguments);

  std::fprintf(stderr, "korvane: unknown subcommand '%s'\n\n%s", command, kUsage);
  return 2;
}
