#include "shell/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>
#include <QGuiApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMovie>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>

#include "common/failure.h"
#include "common/program_folder.h"
#include "link/series.h"
#include "shell/about_box.h"
#include "shell/engine_console.h"
#include "shell/qt_services.h"
#include "shell/workbench_window.h"
#include "shell/workspace.h"
#include "shell/workspace_commands.h"

namespace korvane::shell {
namespace {

constexpr int kTimerDesignIntervalMs = 300;
constexpr int kSettingFrameHeightTwips = 3015;
constexpr int kWorkspaceTopTwips = 3360;

}  // namespace

ScreenMetrics primaryScreenMetrics() {
  ScreenMetrics metrics;
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    metrics.dpiX = screen->logicalDotsPerInchX();
    metrics.dpiY = screen->logicalDotsPerInchY();
    metrics.widthTwips = static_cast<int>(std::lround(screen->geometry().width() * kTwipsPerInch / metrics.dpiX));
    metrics.heightTwips = static_cast<int>(std::lround(screen->geometry().height() * kTwipsPerInch / metrics.dpiY));
  }
  return metrics;
}

QSize workspaceSizeTwips(const ScreenMetrics& screen) {
  return QSize(screen.widthTwips - 860, screen.heightTwips - kSettingFrameHeightTwips - 1600);
}

MainWindow::MainWindow(Messages& messages, link::SerialPort& port, const ScreenMetrics* screen,
                       WindowServices services)
    : messages_(messages),
      screen_(screen ? *screen : primaryScreenMetrics()),
      services_(services),
      connection_(port, [this](bool open) { showConnection(open); }),
      downloadTimer_(kTimerDesignIntervalMs, [this] { downloadTick(); }),
      uploadTimer_(kTimerDesignIntervalMs, [this] { uploadTick(); }),
      download_(connection_, downloadTimer_, *this),
      upload_(connection_, uploadTimer_, *this) {
  setObjectName(QStringLiteral("Korvane"));
  setWindowTitle(QStringLiteral("Korvane"));
  if (!services_.fileDialogs) services_.fileDialogs = (ownFileDialogs_ = std::make_unique<QtFileDialogs>()).get();
  if (!services_.printing) services_.printing = (ownPrinting_ = std::make_unique<QtPrinting>()).get();
  if (!services_.systemInformation) {
    services_.systemInformation = (ownSystemInformation_ = std::make_unique<QtSystemInformation>()).get();
  }
  buildControls();
  // The caption names the file the workspace text is, or the program when it is no file's.
  connect(workspace_.get(), &Workspace::documentChanged, this, [this](const QString& fileName) {
    setWindowTitle(fileName.isEmpty() ? QStringLiteral("Korvane") : fileName);
  });
  workspaceCommands_ = std::make_unique<WorkspaceCommands>(this, *workspace_, messages_, *services_.fileDialogs,
                                                           *services_.printing);
  workbench_ = std::make_unique<WorkbenchLauncher>(this, messages_, *services_.fileDialogs, *services_.printing,
                                                   services_.modalShow);
  buildMenus();
  startUp();
}

MainWindow::~MainWindow() = default;

void MainWindow::startUp() {
  // The design size follows the screen so that the workspace fits below the frames.
  const QSize workspaceTwips = workspaceSizeTwips(screen_);
  const int widthTwips = std::max(11400, workspaceTwips.width() + 360);
  const int heightTwips = kWorkspaceTopTwips + std::max(0, workspaceTwips.height()) + 240;
  // Frames widened to fit their lists stay inside the window.
  int framesRight = 0;
  for (const QGroupBox* frame : centralWidget()->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) {
    framesRight = std::max(framesRight, frame->geometry().right() + 1);
  }
  // The status bar shows an upload's progress.
  resize(std::max(screen_.toPixelsX(widthTwips), framesRight + screen_.toPixelsX(120)),
         screen_.toPixelsY(heightTwips) + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());

  // 1. Centre on the screen.
  const int top = (screen_.toPixelsY(screen_.heightTwips) - height()) / 2;
  const int left = (screen_.toPixelsX(screen_.widthTwips) - width()) / 2;
  move(left, top);
  // 2. Font size 9, "9" checked alone.
  setFontSize(9, sizeEntries_.first());
  // 3. Empty workspace.
  workspace_->clear();
  // 4. Timers off.
  downloadTimer_.setEnabled(false);
  uploadTimer_.setEnabled(false);
  // 5. Connection indicator closed.
  showConnection(false);
  // 6. Workspace size.
  text1_->resize(screen_.toPixelsX(workspaceTwips.width()), screen_.toPixelsY(workspaceTwips.height()));
  // 7. Transfer buttons off until a series is chosen.
  for (QPushButton* button :
       {cDownload_, cDownloadBreak_, cUpload_, cUploadBreak_, cConection_, cUploadOpenFile_, cConectionClose_}) {
    button->setEnabled(false);
  }
  // 8. Upload option "Name,X,Y,Z,PCode".
  ssOptionX_->setChecked(true);
  // 9. Divisor of the DL-100C readings.
  unitDivisor_ = 10;
}

void MainWindow::showConnection(bool open) {
  const QString icon = open ? QStringLiteral("recycle2.ico") : QStringLiteral("recycle.ico");
  imageConection_->setPixmap(QPixmap(resourceFile(icon)));
  imageConection_->setProperty("iconFile", icon);
  imageConection_->repaint();
}

void MainWindow::setFontSize(int points, QAction* entry) {
  QFont font = text1_->font();
  font.setPointSize(points);
  text1_->setFont(font);
  for (QAction* action : sizeEntries_) action->setChecked(action == entry);
}

void MainWindow::setFontName(const QString& family, QAction* entry) {
  QFont font = text1_->font();
  font.setFamily(family);
  text1_->setFont(font);
  for (QAction* action : fontNameEntries_) action->setChecked(action == entry);
}

void MainWindow::chooseSeries() {
  const auto failure = attempt([&] {
    if (connection_.isOpen()) connection_.close();
    cDownload_->setEnabled(false);
    cDownloadBreak_->setEnabled(false);
    cUpload_->setEnabled(false);
    cUploadBreak_->setEnabled(false);
    cConection_->setEnabled(true);
    cUploadOpenFile_->setEnabled(true);
    cConectionClose_->setEnabled(false);
    labelAtetion_->show();
    imageLogo_->show();
    animation1_->show();
    cDownload_->setEnabled(true);
    cUpload_->setEnabled(true);
    cUploadOpenFile_->setEnabled(true);
    cConectionClose_->setEnabled(true);
    switch (link::seriesOf(combo1_->currentText())) {
      case link::Series::Gts600:
        comboParity_->setCurrentText(QStringLiteral("8bit/None"));
        break;
      case link::Series::Gts200:
        ssOptionCode_->hide();
        comboParity_->setCurrentText(QStringLiteral("8bit/None"));
        break;
      case link::Series::Dl100c:
        ssOptionCode_->hide();
        comboParity_->setCurrentText(QStringLiteral("7bit/None"));
        comboStopBit_->setCurrentText(QStringLiteral("1"));
        cUpload_->setEnabled(false);
        cUploadOpenFile_->setEnabled(false);
        break;
      case link::Series::Other:
        break;
    }
    ssOptionX_->setFocus();
    ssOptionX_->setChecked(true);
  });
  if (failure) messages_.critical(kTitleError, *failure);
}

void MainWindow::connectPort() {
  const auto failure = attempt([&] {
    connection_.configure(portLists());
    cDownload_->setEnabled(true);
    cUpload_->setEnabled(true);
    cUploadOpenFile_->setEnabled(true);
    cConectionClose_->setEnabled(true);
    labelAtetion_->hide();
  });
  if (failure) messages_.critical(kTitleError, *failure);
}

void MainWindow::disconnectPort() {
  const auto failure = attempt([&] {
    connection_.close();
    for (QPushButton* button : {cDownload_, cDownloadBreak_, cUpload_, cUploadBreak_, cUploadOpenFile_, cConectionClose_}) {
      button->setEnabled(false);
    }
    cConection_->setEnabled(true);
    labelAtetion_->show();
  });
  if (failure) messages_.critical(kTitleError, *failure);
}

void MainWindow::startDownload() {
  // The program folder is looked up anew for every download, as for every file Korvane writes.
  rawCapture_ = std::make_unique<link::RawCapture>(writableFile(link::kLastDownloadRawFile));
  download_.setRawCapture(rawCapture_.get());
  download_.start();
}
void MainWindow::downloadTick() { download_.tick(); }
void MainWindow::interruptDownload() { download_.interrupt(); }

void MainWindow::startUpload() { upload_.start(); }
void MainWindow::uploadTick() { upload_.tick(); }
void MainWindow::interruptUpload() { upload_.interrupt(); }

void MainWindow::openFileForUpload() {
  const auto failure = attempt([&] { workspaceCommands_->openForUpload(); });
  if (failure) messages_.critical(kTitleError, *failure);
}

QString MainWindow::workspaceText() const { return workspace_->text(); }

link::UploadOption MainWindow::uploadOption() const {
  if (ssOptionY_->isChecked()) return link::UploadOption::NameYX;
  if (ssOptionL14_->isChecked()) return link::UploadOption::CadastralL14;
  return link::UploadOption::NameXY;
}

void MainWindow::setUploadBreakEnabled(bool enabled) { cUploadBreak_->setEnabled(enabled); }

void MainWindow::showUploadProgress(int sent, int remaining) {
  if (sent < 0) {
    statusBar()->clearMessage();
  } else {
    statusBar()->showMessage(QStringLiteral("上傳中：已傳送 %1 行，尚餘 %2 行").arg(sent).arg(remaining));
  }
}

QString MainWindow::programFolder() const { return writableFolder(); }

void MainWindow::yieldToEvents() { QCoreApplication::processEvents(); }

void MainWindow::showAbout() {
  AboutBox about(this, messages_, *services_.systemInformation);
  about.exec();
}

void MainWindow::showWorkbench() { workbench_->showWorkbench(); }

void MainWindow::importIntoDatabase() { workbench_->importLevelData(workspace_->text(), unitDivisor_); }

void MainWindow::runConversion(const convert::ConversionCommand& command) {
  convert::ConversionEnvironment environment{
      messages_, writableFolder(), unitDivisor_, [] { QCoreApplication::processEvents(); }, QString(),
      [](const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }};
  convert::ConversionOutcome outcome;
  const auto failure = attempt([&] { outcome = convert::runConversion(command, workspace_->text(), environment); });
  if (failure) {
    messages_.critical(kTitleError, *failure);
  } else if (!outcome.noRecords.isEmpty()) {
    messages_.exclamation(kTitleMessage, outcome.noRecords);
  } else if (outcome.text) {
    workspace_->setText(*outcome.text);
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  downloadTimer_.setEnabled(false);
  uploadTimer_.setEnabled(false);
  if (connection_.isOpen()) connection_.close();
  event->accept();
}

QString MainWindow::seriesText() const { return combo1_->currentText(); }

link::PortListTexts MainWindow::portLists() const {
  return {comboPort_->currentText(), comboBaudRate_->currentText(), comboParity_->currentText(),
          comboStopBit_->currentText()};
}

void MainWindow::setWorkspaceText(const QString& text) { workspace_->setText(text); }

void MainWindow::setAnimationPlaying(bool playing) {
  if (!clip_) return;
  if (playing) {
    clip_->start();
  } else {
    clip_->stop();
    clip_->jumpToFrame(0);
  }
}

void MainWindow::setDownloadBreakEnabled(bool enabled) { cDownloadBreak_->setEnabled(enabled); }

}  // namespace korvane::shell
