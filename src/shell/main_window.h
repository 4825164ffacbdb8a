#pragma once
// Korvane's Main window: the instrument series, the port settings, the download and upload
// commands, the menus and the text workspace.

#include <QMainWindow>
#include <memory>

#include "common/messages.h"
#include "common/qt_poll_timer.h"
#include "convert/conversion.h"
#include "link/download_transfer.h"
#include "link/port_connection.h"
#include "link/raw_capture.h"
#include "link/upload_transfer.h"
#include "shell/services.h"
#include "shell/twips.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMovie;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace korvane::shell {

class ModalShow;
class WorkbenchLauncher;
class Workspace;
class WorkspaceCommands;

// The services a window uses; those left empty are the real desktop's.
struct WindowServices {
  FileDialogs* fileDialogs = nullptr;
  Printing* printing = nullptr;
  SystemInformation* systemInformation = nullptr;
  ModalShow* modalShow = nullptr;
};

// Start-up size of the workspace: the screen less 860 twips wide, less the settings frame
// (3015) and 1600 twips high.
QSize workspaceSizeTwips(const ScreenMetrics& screen);

class MainWindow : public QMainWindow, private link::DownloadSurface, private link::UploadSurface {
  Q_OBJECT

 public:
  // `screen` defaults to the primary screen.
  MainWindow(Messages& messages, link::SerialPort& port, const ScreenMetrics* screen = nullptr,
             WindowServices services = {});
  ~MainWindow() override;

  // Handlers of the window's controls.
  void chooseSeries();       // Combo1 click
  void connectPort();        // cConection
  void disconnectPort();     // cConectionClose
  void startDownload();      // cDownload
  void downloadTick();       // TimerDownload
  void interruptDownload();  // cDownloadBreak
  void saveRawDownload();    // mnuSaveRaw: the raw bytes of the last download, saved elsewhere
  void startUpload();        // cUpload
  void uploadTick();         // TimerUPload
  void interruptUpload();    // cUploadBreak
  void openFileForUpload();  // cUploadOpenFile
  void showAbout();          // mnuAbout
  void showWorkbench();      // mnuLVNet
  void importIntoDatabase(); // MnuLvDataMdb
  // A command of the "資料轉換" menu: converts the workspace text.
  void runConversion(const convert::ConversionCommand& command);

  Workspace& workspace() { return *workspace_; }
  WorkspaceCommands& workspaceCommands() { return *workspaceCommands_; }
  WorkbenchLauncher& workbench() { return *workbench_; }
  PollTimer& downloadTimer() { return downloadTimer_; }
  PollTimer& uploadTimer() { return uploadTimer_; }
  const link::DownloadTransfer& download() const { return download_; }
  const link::UploadTransfer& upload() const { return upload_; }
  int unitDivisor() const { return unitDivisor_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // DownloadSurface
  QString seriesText() const override;
  link::PortListTexts portLists() const override;
  void setWorkspaceText(const QString& text) override;
  void setAnimationPlaying(bool playing) override;
  void setDownloadBreakEnabled(bool enabled) override;
  void showDownloadProgress(qint64 bytesReceived) override;
  Messages& messages() override { return messages_; }
  // UploadSurface
  QString workspaceText() const override;
  link::UploadOption uploadOption() const override;
  void setUploadBreakEnabled(bool enabled) override;
  void showUploadProgress(int sent, int remaining) override;
  QString programFolder() const override;
  void yieldToEvents() override;

  void buildControls();
  void buildMenus();
  void startUp();
  void showConnection(bool open);
  void setFontSize(int points, QAction* entry);
  void setFontName(const QString& family, QAction* entry);

  Messages& messages_;
  ScreenMetrics screen_;
  std::unique_ptr<FileDialogs> ownFileDialogs_;
  std::unique_ptr<Printing> ownPrinting_;
  std::unique_ptr<SystemInformation> ownSystemInformation_;
  WindowServices services_;
  link::PortConnection connection_;
  QtPollTimer downloadTimer_;
  QtPollTimer uploadTimer_;
  link::DownloadTransfer download_;
  link::UploadTransfer upload_;
  // The raw bytes of the running (or last) download, kept in the program folder.
  std::unique_ptr<link::RawCapture> rawCapture_;
  CommonDialog rawDialog_;
  int unitDivisor_ = 0;

  // Frame "1.儀器型號"
  QComboBox* combo1_ = nullptr;
  QLabel* animation1_ = nullptr;
  QMovie* clip_ = nullptr;
  QLabel* imageLogo_ = nullptr;
  // Frame "2.傳輸參數設定"
  QComboBox* comboPort_ = nullptr;
  QComboBox* comboBaudRate_ = nullptr;
  QComboBox* comboParity_ = nullptr;
  QComboBox* comboStopBit_ = nullptr;
  QLineEdit* textProtoCal_ = nullptr;
  QLabel* imageConection_ = nullptr;
  QLabel* labelAtetion_ = nullptr;
  QPushButton* cConection_ = nullptr;
  QPushButton* cConectionClose_ = nullptr;
  // Frame "3-1.檔案下載"
  QPushButton* cDownload_ = nullptr;
  QPushButton* cDownloadBreak_ = nullptr;
  // Frame "3-2.檔案上傳"
  QRadioButton* ssOptionX_ = nullptr;
  QRadioButton* ssOptionY_ = nullptr;
  QRadioButton* ssOptionL14_ = nullptr;
  QRadioButton* ssOptionCode_ = nullptr;
  QPushButton* cUpload_ = nullptr;
  QPushButton* cUploadBreak_ = nullptr;
  QPushButton* cUploadOpenFile_ = nullptr;
  // Workspace
  QPlainTextEdit* text1_ = nullptr;
  std::unique_ptr<Workspace> workspace_;
  std::unique_ptr<WorkspaceCommands> workspaceCommands_;
  std::unique_ptr<WorkbenchLauncher> workbench_;
  // Font menu entries
  QList<QAction*> sizeEntries_;
  QList<QAction*> fontNameEntries_;
};

}  // namespace korvane::shell
