#pragma once
// The adjustment workbench `level_net` ("水準網平差"): the levelled height differences (`dat`) and
// the known points (`cood`) of Lnet.mdb in two editable grids, the project name, and the
// commands: close, clear either table, write the engine input file, run tarnex, read a file in,
// and the network analysis of the tables. Shown modally over the Main window; the engine's
// console, the report window and the analysis windows stay usable beside it.

#include <QDialog>
#include <functional>
#include <memory>

#include "common/messages.h"
#include "shell/services.h"
#include "workbench/lnet_database.h"
#include "workbench/recordset.h"

class QLineEdit;
class QTableView;

namespace korvane::shell {

class DeformationWindow;
class EngineConsoleWindow;
class NetworkAnalysisWindow;
class ReportWindow;

// What outlives one showing of the workbench: its file dialog and the engine input file last
// written or read, whose folder tarnex runs in.
struct WorkbenchSession {
  CommonDialog commonDialog1;
  QString engineFile;
};

struct WorkbenchServices {
  Messages& messages;
  FileDialogs& fileDialogs;
  EngineConsoleWindow& engineConsole;
  WorkbenchSession& session;
  QString databasePath = workbench::defaultDatabasePath();
  QString enginePath;  // empty: tarnex beside Korvane
  // Where "網形分析" shows the analysis; none: the button does nothing.
  NetworkAnalysisWindow* analysisWindow = nullptr;
  // Where "變形分析" lists the epochs; none: the button does nothing.
  DeformationWindow* deformationWindow = nullptr;
};

inline const QString kClearPrompt = QStringLiteral("確定清除所有資料");
inline const QString kTitleWarning = QStringLiteral("警告");

class WorkbenchWindow : public QDialog {
  Q_OBJECT

 public:
  // Loads the form: opens Lnet.mdb (creating it when missing) and both recordsets. A database
  // that cannot be opened is reported; the form is then not loaded and is not to be shown.
  WorkbenchWindow(QWidget* owner, WorkbenchServices services);
  ~WorkbenchWindow() override;

  bool isLoaded() const { return connection_ != nullptr; }

  // Handlers of the buttons.
  void closeWorkbench();     // SSCommand1 "結束"
  void clearObservations();  // SSCommand2 "平差資料清除"
  void clearKnownPoints();   // SSCommand3 "已知點資料清除"
  void writeEngineFile();    // SSCommand4 "平差檔建立"
  void runEngine();          // SSCommand5 "平差"
  void readEngineFile();     // SSCommand6 "資料讀入"
  void analyseNetwork();     // SSCommand7 "網形分析": the tables in the network analysis window
  void analyseDeformation();  // SSCommand8 "變形分析": the monitoring window, the database as its current one

  // (Re)opens the recordset on the statement through the connection (the form's when none is
  // given, which is then stored into `connection`). A failure is shown in a plain box with its
  // description; the result is false.
  bool ADO_ExecuteSelectSQL(workbench::Recordset& recordset, const QString& statement,
                            workbench::Connection*& connection);

  workbench::Recordset& observations() { return observations_; }
  workbench::Recordset& knownPoints() { return knownPoints_; }
  workbench::Connection* connection() { return connection_.get(); }
  QString projectName() const;
  void setProjectName(const QString& name);

 private:
  void buildControls();
  void load();
  void clearTable(const QString& deleteStatement, const QString& selectStatement, workbench::Recordset& recordset,
                  QTableView* grid);
  void bind(QTableView* grid, workbench::Recordset& recordset);
  void deleteSelectedRows(QTableView* grid);
  QString engineFolder() const;
  // Where the engine file dialogs start: the folder of the last engine file, else the documents.
  QString dialogFolder() const;

  WorkbenchServices services_;
  std::unique_ptr<workbench::Connection> connection_;
  workbench::Recordset observations_;
  workbench::Recordset knownPoints_;
  QString statement_;
  QTableView* dataGrid1_ = nullptr;
  QTableView* dataGrid2_ = nullptr;
  QLineEdit* text1_ = nullptr;
  bool loading_ = false;  // the stored project name is being shown, not typed
};

// How the Main window shows a modal window: on the desktop it runs until it is closed; a test
// acts on it instead.
class ModalShow {
 public:
  virtual ~ModalShow() = default;
  virtual void showModal(QDialog& window) = 0;
};

// The Main window's side of the workbench: the menu entries "水準網平差" and "資料->平差資料庫",
// the engine's console, the window of its report and what outlives one showing.
class WorkbenchLauncher {
 public:
  // `modalShow` may be null.
  WorkbenchLauncher(QWidget* owner, Messages& messages, FileDialogs& fileDialogs, Printing& printing,
                    ModalShow* modalShow);
  ~WorkbenchLauncher();

  // mnuLVNet: shows the workbench modally.
  void showWorkbench();
  // MnuLvDataMdb: appends the sections of the DL-100C text in the workspace to `dat`, then shows
  // the workbench. A failure is shown in a "錯誤" box (the rows appended before stay), a text
  // without any section in a "訊息" box; the workbench is then not shown.
  void importLevelData(const QString& workspaceText, int unitDivisor);

  EngineConsoleWindow& engineConsole() { return *engineConsole_; }
  ReportWindow& reportWindow() { return *reportWindow_; }
  NetworkAnalysisWindow& analysisWindow() { return *analysisWindow_; }
  DeformationWindow& deformationWindow() { return *deformationWindow_; }
  WorkbenchSession& session() { return session_; }

 private:
  QWidget* owner_;
  Messages& messages_;
  FileDialogs& fileDialogs_;
  ModalShow* modalShow_;
  WorkbenchSession session_;
  std::unique_ptr<EngineConsoleWindow> engineConsole_;
  std::unique_ptr<ReportWindow> reportWindow_;
  std::unique_ptr<NetworkAnalysisWindow> analysisWindow_;
  std::unique_ptr<DeformationWindow> deformationWindow_;
};

}  // namespace korvane::shell
