#include "shell/workbench_window.h"

#include <QAction>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "common/failure.h"
#include "common/program_folder.h"
#include "shell/engine_console.h"
#include "shell/deformation_window.h"
#include "shell/network_analysis_window.h"
#include "shell/report_window.h"
#include "workbench/engine_file.h"
#include "workbench/engine_run.h"
#include "workbench/level_import.h"

namespace korvane::shell {
namespace {

QGroupBox* frame(const QString& caption, const char* name, QWidget* parent) {
  auto* box = new QGroupBox(caption, parent);
  box->setObjectName(QString::fromLatin1(name));
  return box;
}

QTableView* grid(const char* name, const QString& caption, QGroupBox* owner) {
  auto* title = new QLabel(caption, owner);
  title->setObjectName(QString::fromLatin1(name) + QStringLiteral("Caption"));
  title->setAlignment(Qt::AlignCenter);
  title->setStyleSheet(QStringLiteral("QLabel { background: palette(dark); color: palette(bright-text); padding: 2px; }"));
  auto* view = new QTableView(owner);
  view->setObjectName(QString::fromLatin1(name));
  view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                        QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
  view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
  auto* layout = new QVBoxLayout(owner);
  layout->setSpacing(0);
  layout->addWidget(title);
  layout->addWidget(view, 1);
  return view;
}

// The Delete key of a grid deletes its selected rows, as the grid's record selectors do.
class DeleteKey : public QObject {
 public:
  DeleteKey(QObject* parent, std::function<void()> deleteRows) : QObject(parent), deleteRows_(std::move(deleteRows)) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
      deleteRows_();
      return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> deleteRows_;
};

}  // namespace

WorkbenchWindow::WorkbenchWindow(QWidget* owner, WorkbenchServices services)
    : QDialog(owner), services_(std::move(services)) {
  if (services_.enginePath.isEmpty()) services_.enginePath = workbench::enginePath();
  buildControls();
  load();
}

WorkbenchWindow::~WorkbenchWindow() {
  // Unloading the form closes its connection; the grids let go of their recordsets first.
  dataGrid1_->setModel(nullptr);
  dataGrid2_->setModel(nullptr);
  observations_.close();
  knownPoints_.close();
  connection_.reset();
}

void WorkbenchWindow::buildControls() {
  setObjectName(QStringLiteral("level_net"));
  setWindowTitle(QStringLiteral("水準網平差"));

  auto* ssFrame1 = frame(QStringLiteral("計劃名稱"), "SSFrame1", this);
  text1_ = new QLineEdit(ssFrame1);
  text1_->setObjectName(QStringLiteral("Text1"));
  (new QHBoxLayout(ssFrame1))->addWidget(text1_);
  // The project name is kept with the tables, as it is typed or read in.
  connect(text1_, &QLineEdit::textChanged, this, [this](const QString& name) {
    if (!connection_ || loading_) return;
    if (const auto failure = attempt([&] { connection_->storeProjectName(name); })) {
      services_.messages.critical(kTitleErrorZh, *failure);
    }
  });

  auto* frame1 = frame(QStringLiteral("平差資料"), "Frame1", this);
  dataGrid1_ = grid("DataGrid1", QStringLiteral("起迄點高程差資料"), frame1);
  auto* frame2 = frame(QStringLiteral("已知點資料"), "Frame2", this);
  dataGrid2_ = grid("DataGrid2", QStringLiteral("已知點資料"), frame2);

  auto* frame3 = frame(QStringLiteral("命令列"), "Frame3", this);
  auto* commands = new QHBoxLayout(frame3);
  auto button = [&](const char* name, const QString& caption, void (WorkbenchWindow::*handler)()) {
    auto* command = new QPushButton(caption, frame3);
    command->setObjectName(QString::fromLatin1(name));
    command->setAutoDefault(false);
    command->setMinimumHeight(command->sizeHint().height() * 3 / 2);
    connect(command, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    commands->addWidget(command);
  };
  button("SSCommand6", QStringLiteral("資料讀入"), &WorkbenchWindow::readEngineFile);
  button("SSCommand4", QStringLiteral("平差檔建立"), &WorkbenchWindow::writeEngineFile);
  button("SSCommand5", QStringLiteral("平差"), &WorkbenchWindow::runEngine);
  button("SSCommand7", QStringLiteral("網形分析"), &WorkbenchWindow::analyseNetwork);
  button("SSCommand8", QStringLiteral("變形分析"), &WorkbenchWindow::analyseDeformation);
  button("SSCommand2", QStringLiteral("平差資料清除"), &WorkbenchWindow::clearObservations);
  button("SSCommand3", QStringLiteral("已知點資料清除"), &WorkbenchWindow::clearKnownPoints);
  button("SSCommand1", QStringLiteral("結束"), &WorkbenchWindow::closeWorkbench);

  auto* layout = new QGridLayout(this);
  layout->addWidget(ssFrame1, 0, 0, 1, 2);
  layout->addWidget(frame1, 1, 0);
  layout->addWidget(frame2, 1, 1);
  layout->addWidget(frame3, 2, 0, 1, 2);
  layout->setColumnStretch(0, 5);
  layout->setColumnStretch(1, 3);
  layout->setRowStretch(1, 1);
  resize(960, 600);

  for (QTableView* view : {dataGrid1_, dataGrid2_}) {
    auto* remove = new QAction(QStringLiteral("刪除選取的資料列 (Delete)"), view);
    connect(remove, &QAction::triggered, this, [this, view] { deleteSelectedRows(view); });
    view->addAction(remove);
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
    view->installEventFilter(new DeleteKey(view, [this, view] { deleteSelectedRows(view); }));
  }
  for (workbench::Recordset* recordset : {&observations_, &knownPoints_}) {
    recordset->onEditFailure = [this](const QString& description) {
      services_.messages.critical(kTitleErrorZh, description);
    };
  }
}

void WorkbenchWindow::load() {
  text1_->clear();
  try {
    connection_ = std::make_unique<workbench::Connection>(services_.databasePath);
  } catch (const Failure& failure) {
    services_.messages.critical(kTitleErrorZh, failure.description());
    return;
  }
  loading_ = true;
  if (const auto failure = attempt([&] { setProjectName(connection_->projectName()); })) {
    services_.messages.plain(*failure);
  }
  loading_ = false;
  workbench::Connection* connection = connection_.get();
  statement_ = workbench::kSelectObservations;
  ADO_ExecuteSelectSQL(observations_, statement_, connection);
  bind(dataGrid1_, observations_);
  statement_ = workbench::kSelectKnownPoints;
  ADO_ExecuteSelectSQL(knownPoints_, statement_, connection);
  bind(dataGrid2_, knownPoints_);
}

bool WorkbenchWindow::ADO_ExecuteSelectSQL(workbench::Recordset& recordset, const QString& statement,
                                           workbench::Connection*& connection) {
  if (!connection) connection = connection_.get();
  const auto failure = attempt([&] {
    if (!connection) throw Failure(QStringLiteral("平差資料庫沒有開啟"));
    if (recordset.isOpen()) recordset.close();
    recordset.open(statement, *connection);
  });
  if (failure) services_.messages.plain(*failure);
  return !failure;
}

void WorkbenchWindow::bind(QTableView* grid, workbench::Recordset& recordset) {
  grid->setModel(nullptr);
  grid->setModel(&recordset);
}

QString WorkbenchWindow::projectName() const { return text1_->text(); }
void WorkbenchWindow::setProjectName(const QString& name) { text1_->setText(name); }

void WorkbenchWindow::closeWorkbench() { done(QDialog::Accepted); }

void WorkbenchWindow::clearObservations() {
  clearTable(workbench::kDeleteObservations, workbench::kSelectObservations, observations_, dataGrid1_);
}

void WorkbenchWindow::clearKnownPoints() {
  clearTable(workbench::kDeleteKnownPoints, workbench::kSelectKnownPoints, knownPoints_, dataGrid2_);
}

void WorkbenchWindow::clearTable(const QString& deleteStatement, const QString& selectStatement,
                                 workbench::Recordset& recordset, QTableView* grid) {
  if (!services_.messages.askYesNo(kTitleWarning, kClearPrompt)) return;
  if (!connection_) return;
  statement_ = deleteStatement;
  if (const auto failure = attempt([&] { connection_->execute(statement_); })) {
    services_.messages.critical(kTitleErrorZh, *failure);
  }
  statement_ = selectStatement;
  workbench::Connection* connection = connection_.get();
  ADO_ExecuteSelectSQL(recordset, statement_, connection);
  bind(grid, recordset);
}

void WorkbenchWindow::deleteSelectedRows(QTableView* grid) {
  auto* recordset = static_cast<workbench::Recordset*>(grid->model());
  if (!recordset || !grid->selectionModel()) return;
  QList<int> rows;
  for (const QModelIndex& index : grid->selectionModel()->selectedRows()) {
    if (index.row() < recordset->recordCount()) rows << index.row();
  }
  std::sort(rows.begin(), rows.end(), std::greater<int>());
  for (int row : rows) {
    if (!recordset->removeRows(row, 1)) break;
  }
}

QString WorkbenchWindow::engineFolder() const {
  if (services_.session.engineFile.isEmpty()) return writableFolder();
  return QFileInfo(services_.session.engineFile).absolutePath();
}

QString WorkbenchWindow::dialogFolder() const {
  if (services_.session.engineFile.isEmpty()) return documentsFolder();
  return QFileInfo(services_.session.engineFile).absolutePath();
}

void WorkbenchWindow::writeEngineFile() {
  CommonDialog& dialog = services_.session.commonDialog1;
  dialog.filter = workbench::kEngineFileFilter;
  dialog.initialFolder = dialogFolder();
  dialog.defaultSuffix = workbench::kEngineFileSuffix;
  // Cancelling the dialog writes nothing.
  const bool chosen = services_.fileDialogs.showSave(dialog, this);
  dialog.defaultSuffix.clear();
  if (!chosen || dialog.fileName.isEmpty()) return;
  // A name typed without a suffix gets ".dat", so that "資料讀入" lists the file.
  dialog.fileName = workbench::withEngineFileSuffix(dialog.fileName);
  const QString path = dialog.fileName;
  const auto failure =
      attempt([&] { workbench::writeEngineFile(path, projectName(), observations_, knownPoints_); });
  if (failure) {
    services_.messages.critical(kTitleErrorZh, *failure);
  } else {
    services_.session.engineFile = path;
  }
}

void WorkbenchWindow::readEngineFile() {
  CommonDialog& dialog = services_.session.commonDialog1;
  dialog.filter = workbench::kEngineFileFilter;
  dialog.initialFolder = dialogFolder();
  // Cancelling the dialog reads nothing.
  if (!services_.fileDialogs.showOpen(dialog, this) || dialog.fileName.isEmpty()) return;
  const QString path = dialog.fileName;
  QString project = projectName();
  const auto failure = attempt([&] { workbench::readEngineFile(path, project, observations_, knownPoints_); });
  setProjectName(project);
  if (failure) {
    services_.messages.critical(kTitleErrorZh, *failure);
  } else {
    services_.session.engineFile = path;
  }
}

void WorkbenchWindow::runEngine() {
  const QString answer =
      services_.session.engineFile.isEmpty() ? QString() : QFileInfo(services_.session.engineFile).fileName();
  services_.engineConsole.run(services_.enginePath, engineFolder(), answer);
}

void WorkbenchWindow::analyseNetwork() {
  if (services_.analysisWindow) services_.analysisWindow->analyse(services_.databasePath, projectName());
}

void WorkbenchWindow::analyseDeformation() {
  if (services_.deformationWindow) services_.deformationWindow->open(services_.databasePath);
}

WorkbenchLauncher::WorkbenchLauncher(QWidget* owner, Messages& messages, FileDialogs& fileDialogs, Printing& printing,
                                     ModalShow* modalShow)
    : owner_(owner),
      messages_(messages),
      fileDialogs_(fileDialogs),
      modalShow_(modalShow),
      engineConsole_(std::make_unique<EngineConsoleWindow>()),
      reportWindow_(std::make_unique<ReportWindow>(messages, fileDialogs, printing)),
      analysisWindow_(std::make_unique<NetworkAnalysisWindow>(messages, fileDialogs, printing)),
      deformationWindow_(std::make_unique<DeformationWindow>(messages, fileDialogs, printing)) {
  engineConsole_->onOpenReport = [this](const QString& path) { return reportWindow_->showFile(path); };
}

WorkbenchLauncher::~WorkbenchLauncher() = default;

void WorkbenchLauncher::showWorkbench() {
  WorkbenchWindow window(owner_, {messages_, fileDialogs_, *engineConsole_, session_, workbench::defaultDatabasePath(),
                                  workbench::enginePath(), analysisWindow_.get(), deformationWindow_.get()});
  if (!window.isLoaded()) return;
  if (modalShow_) {
    modalShow_->showModal(window);
    return;
  }
  // Modal over the Main window only: the engine's console beside it stays usable.
  window.setWindowModality(Qt::WindowModal);
  window.exec();
}

void WorkbenchLauncher::importLevelData(const QString& workspaceText, int unitDivisor) {
  int rows = 0;
  QStringList warnings;
  const auto failure = attempt([&] {
    rows = workbench::importLevelData(workspaceText, unitDivisor, workbench::defaultDatabasePath(), &warnings);
  });
  if (failure) {
    messages_.critical(kTitleErrorZh, *failure);
    return;
  }
  if (rows == 0) {
    messages_.exclamation(kTitleMessage, workbench::kNoSections);
    return;
  }
  // Lines whose instrument values disagree with ours are imported as computed, and named.
  if (!warnings.isEmpty()) messages_.exclamation(kTitleMessage, warnings.join(u'\n'));
  showWorkbench();
}

}  // namespace korvane::shell
