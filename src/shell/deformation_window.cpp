#include "shell/deformation_window.h"

#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "common/failure.h"
#include "common/program_folder.h"
#include "shell/analysis_words.h"
#include "deformation_csv.h"
#include "output_file.h"
#include "shell/deformation_options_panel.h"
#include "shell/deformation_tabs.h"

namespace korvane::shell {
namespace {

enum EpochColumn { kDateColumn, kSourceColumn };

// The progress of a run appears once it has taken this long.
constexpr int kProgressDelayMs = 300;

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");
const QString kDatabasePrefix = QStringLiteral("db:");

QString stageWords(const QString& stage) {
  if (stage == QStringLiteral("reading")) return QStringLiteral("讀取各期資料");
  if (stage == QStringLiteral("adjusting the epochs")) return QStringLiteral("各期平差");
  if (stage == QStringLiteral("epochs adjusted")) return QStringLiteral("各期平差完成");
  if (stage == QStringLiteral("comparing the epochs")) return QStringLiteral("比較各期、搜尋穩定點");
  if (stage == QStringLiteral("kinematic adjustment")) return QStringLiteral("速度平差");
  return stageName(stage);
}

}  // namespace

DeformationWindow::DeformationWindow(Messages& messages, FileDialogs& fileDialogs, Printing& printing,
                                     std::unique_ptr<DeformationRunner> runner)
    : QWidget(nullptr, Qt::Window),
      messages_(messages),
      fileDialogs_(fileDialogs),
      printing_(printing),
      runner_(runner ? std::move(runner) : std::make_unique<ThreadedDeformationRunner>()) {
  setObjectName(QStringLiteral("Deformation"));
  setWindowTitle(kDeformationWindowTitle);
  // Closing the Main window ends Korvane even while this window is open.
  setAttribute(Qt::WA_QuitOnClose, false);

  epochList_ = new QTableWidget(0, 2, this);
  epochList_->setObjectName(QStringLiteral("EpochList"));
  epochList_->setHorizontalHeaderLabels({QStringLiteral("日期 (YYYY-MM-DD)"), QStringLiteral("來源")});
  epochList_->setSelectionBehavior(QAbstractItemView::SelectRows);
  epochList_->setSelectionMode(QAbstractItemView::SingleSelection);
  epochList_->horizontalHeader()->setStretchLastSection(true);
  epochList_->setToolTip(QStringLiteral("各期依日期先後排列；雙擊日期可修改"));
  auto button = [this](const char* name, const QString& caption) {
    auto* command = new QPushButton(caption, this);
    command->setObjectName(QString::fromLatin1(name));
    command->setAutoDefault(false);
    return command;
  };
  QPushButton* addFile = button("AddEpochFile", QStringLiteral("加入檔案..."));
  addCurrent_ = button("AddCurrentDatabase", QStringLiteral("加入目前資料庫"));
  remove_ = button("RemoveEpoch", QStringLiteral("移除"));
  up_ = button("MoveEpochUp", QStringLiteral("上移"));
  down_ = button("MoveEpochDown", QStringLiteral("下移"));
  options_ = new DeformationOptionsPanel(this);
  run_ = button("RunDeformation", QStringLiteral("執行"));

  tabs_ = new DeformationTabs(this);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("DeformationStatus"));
  status_->setWordWrap(true);
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("DeformationProgress"));
  progress_->setRange(0, 1000);
  progress_->setVisible(false);
  cancel_ = button("CancelDeformation", QStringLiteral("取消"));
  cancel_->setVisible(false);
  export_ = button("ExportDeformation", QStringLiteral("匯出..."));
  print_ = button("PrintDeformation", QStringLiteral("列印"));
  QPushButton* printerSetUp = button("DeformationPrinterSetUp", QStringLiteral("列表機設定..."));
  QPushButton* close = button("CloseDeformation", QStringLiteral("關閉"));

  auto* listButtons = new QVBoxLayout;
  for (QPushButton* b : {addFile, addCurrent_, remove_, up_, down_}) listButtons->addWidget(b);
  listButtons->addStretch(1);
  auto* epochsPane = new QWidget(this);
  auto* epochsRow = new QHBoxLayout(epochsPane);
  epochsRow->setContentsMargins(0, 0, 0, 0);
  epochsRow->addWidget(epochList_, 1);
  epochsRow->addLayout(listButtons);
  auto* split = new QSplitter(Qt::Vertical, this);
  split->addWidget(epochsPane);
  split->addWidget(tabs_);
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 3);
  auto* optionRow = new QHBoxLayout;
  optionRow->addWidget(options_, 1);
  optionRow->addWidget(run_);
  auto* bottomRow = new QHBoxLayout;
  bottomRow->addWidget(status_, 1);
  bottomRow->addWidget(progress_);
  bottomRow->addWidget(cancel_);
  bottomRow->addSpacing(12);
  bottomRow->addWidget(export_);
  bottomRow->addWidget(printerSetUp);
  bottomRow->addWidget(print_);
  bottomRow->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(optionRow);
  layout->addWidget(split, 1);
  layout->addLayout(bottomRow);

  progressDelay_ = new QTimer(this);
  progressDelay_->setSingleShot(true);
  progressDelay_->setInterval(kProgressDelayMs);
  connect(progressDelay_, &QTimer::timeout, this, [this] {
    if (!isRunning()) return;
    progress_->setVisible(true);
    cancel_->setVisible(true);
  });
  connect(addFile, &QPushButton::clicked, this, [this] { addFiles(); });
  connect(addCurrent_, &QPushButton::clicked, this, [this] { addCurrentDatabase(); });
  connect(remove_, &QPushButton::clicked, this, [this] { removeEpoch(); });
  connect(up_, &QPushButton::clicked, this, [this] { moveEpoch(-1); });
  connect(down_, &QPushButton::clicked, this, [this] { moveEpoch(+1); });
  connect(run_, &QPushButton::clicked, this, [this] { run(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { cancel(); });
  connect(export_, &QPushButton::clicked, this, [this] { exportResults(); });
  connect(print_, &QPushButton::clicked, this, [this] { print(); });
  connect(printerSetUp, &QPushButton::clicked, this, [this] { printing_.setUp(this); });
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  connect(epochList_, &QTableWidget::currentCellChanged, this, [this] { updateControls(); });

  QSize size(1180, 800);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) size = size.boundedTo(screen->availableSize() * 9 / 10);
  resize(size);
  updateControls();
}

DeformationWindow::~DeformationWindow() {
  // A run still going is stopped and waited for before the window goes.
  runner_->cancel();
  runner_.reset();
}

void DeformationWindow::open(const QString& databasePath) {
  setCurrentDatabase(databasePath);
  show();
  raise();
  activateWindow();
}

void DeformationWindow::setCurrentDatabase(const QString& databasePath) {
  currentDatabase_ = databasePath;
  addCurrent_->setToolTip(databasePath.isEmpty() ? QString() : kDatabasePrefix + databasePath);
  updateControls();
}

QString DeformationWindow::nextDate() const {
  // A year after the last epoch: the usual interval of a monitoring, for the surveyor to correct.
  for (int row = epochList_->rowCount() - 1; row >= 0; --row) {
    const QDate last = QDate::fromString(epochList_->item(row, kDateColumn)->text().trimmed(), kDateFormat);
    if (last.isValid()) return last.addYears(1).toString(kDateFormat);
  }
  return QDate::currentDate().toString(kDateFormat);
}

void DeformationWindow::addEpoch(const QString& date, const QString& source) {
  const int row = epochList_->rowCount();
  epochList_->insertRow(row);
  epochList_->setItem(row, kDateColumn, new QTableWidgetItem(date));
  auto* sourceItem = new QTableWidgetItem(source);
  sourceItem->setFlags(sourceItem->flags() & ~Qt::ItemIsEditable);
  sourceItem->setToolTip(source);
  epochList_->setItem(row, kSourceColumn, sourceItem);
  epochList_->setCurrentCell(row, kDateColumn);
  epochList_->resizeColumnToContents(kDateColumn);
  updateControls();
}

void DeformationWindow::addFiles() {
  if (addDialog_.initialFolder.isEmpty()) addDialog_.initialFolder = documentsFolder();
  addDialog_.filter = kEpochFileFilter;
  addDialog_.defaultSuffix.clear();
  if (!fileDialogs_.showOpen(addDialog_, this) || addDialog_.fileName.isEmpty()) return;
  const QFileInfo chosen(addDialog_.fileName);
  addDialog_.initialFolder = chosen.absolutePath();
  addEpoch(nextDate(), chosen.absoluteFilePath());
}

void DeformationWindow::addCurrentDatabase() {
  if (currentDatabase_.isEmpty()) return;
  addEpoch(nextDate(), kDatabasePrefix + QFileInfo(currentDatabase_).absoluteFilePath());
}

void DeformationWindow::removeEpoch() {
  const int row = epochList_->currentRow();
  if (row < 0) return;
  epochList_->removeRow(row);
  updateControls();
}

void DeformationWindow::moveEpoch(int delta) {
  const int row = epochList_->currentRow();
  const int to = row + delta;
  if (row < 0 || to < 0 || to >= epochList_->rowCount()) return;
  for (int column : {kDateColumn, kSourceColumn}) {
    QTableWidgetItem* moving = epochList_->takeItem(row, column);
    epochList_->setItem(row, column, epochList_->takeItem(to, column));
    epochList_->setItem(to, column, moving);
  }
  epochList_->setCurrentCell(to, epochList_->currentColumn() < 0 ? kDateColumn : epochList_->currentColumn());
  updateControls();
}

std::vector<EpochEntry> DeformationWindow::epochs() const {
  std::vector<EpochEntry> list;
  for (int row = 0; row < epochList_->rowCount(); ++row) {
    list.push_back({epochList_->item(row, kDateColumn)->text().trimmed(), epochList_->item(row, kSourceColumn)->text()});
  }
  return list;
}

void DeformationWindow::run() {
  if (runner_->isRunning()) return;
  DeformationRequest request;
  request.epochs = epochs();
  request.options = options_->options();
  // A date the monitoring cannot read is named here, with its row; their order is its own check.
  for (int i = 0; i < int(request.epochs.size()); ++i) {
    if (!QDate::fromString(request.epochs[i].date, kDateFormat).isValid()) {
      messages_.critical(kTitleErrorZh, QStringLiteral("第 %1 期的日期「%2」不是 YYYY-MM-DD 形式的日期（來源 %3）")
                                            .arg(i + 1)
                                            .arg(request.epochs[i].date, request.epochs[i].source));
      epochList_->setCurrentCell(i, kDateColumn);
      return;
    }
  }
  const bool started = runner_->start(request, {[this](const QString& stage, double done) { progressed(stage, done); },
                                                [this](const DeformationOutcome& outcome) { finished(outcome); }});
  if (!started) return;
  progress_->setValue(0);
  status_->setText(QStringLiteral("分析中…"));
  progressDelay_->start();
  updateControls();
}

void DeformationWindow::cancel() {
  runner_->cancel();
  status_->setText(QStringLiteral("取消中…"));
}

bool DeformationWindow::isRunning() const { return runner_->isRunning(); }

void DeformationWindow::progressed(const QString& stage, double done) {
  progress_->setValue(int(done * 1000.0));
  status_->setText(QStringLiteral("分析中：%1…").arg(stageWords(stage)));
}

void DeformationWindow::finished(const DeformationOutcome& outcome) {
  progressDelay_->stop();
  progress_->setVisible(false);
  cancel_->setVisible(false);
  switch (outcome.kind) {
    case DeformationOutcome::Kind::Done: {
      result_ = outcome.result;
      tabs_->showResult(result_);
      int moving = 0;
      for (const deformation::VelocityRow& v : result_->velocities) moving += velocityFlagged(v);
      status_->setText(QStringLiteral("%1 期、%2 個水準點；%3 %4 點移動或超過速率限值")
                           .arg(result_->epochs.size())
                           .arg(result_->benchmarks.size())
                           .arg(moving == 0 ? kPassSymbol : kFailSymbol)
                           .arg(moving));
      break;
    }
    case DeformationOutcome::Kind::Cancelled:
      status_->setText(result_ ? QStringLiteral("分析已取消；顯示的是上一次的結果。") : QStringLiteral("分析已取消。"));
      break;
    case DeformationOutcome::Kind::Failed:
      result_.reset();
      tabs_->clear();
      status_->setText(QStringLiteral("無法分析。"));
      messages_.critical(kTitleErrorZh, QStringLiteral("無法進行變形分析：\n") + outcome.problem);
      break;
  }
  updateControls();
}

QString DeformationWindow::statusText() const { return status_->text(); }

void DeformationWindow::updateControls() {
  const int row = epochList_->currentRow();
  const bool running = runner_ && runner_->isRunning();
  addCurrent_->setEnabled(!currentDatabase_.isEmpty());
  remove_->setEnabled(row >= 0);
  up_->setEnabled(row > 0);
  down_->setEnabled(row >= 0 && row + 1 < epochList_->rowCount());
  run_->setEnabled(!running && epochList_->rowCount() > 0);
  export_->setEnabled(result_ != nullptr);
  print_->setEnabled(result_ != nullptr);
}

void DeformationWindow::exportResults() {
  if (!result_) return;
  if (exportDialog_.fileName.isEmpty()) {
    exportDialog_.fileName = QDir(documentsFolder()).filePath(kDeformationWindowTitle + QStringLiteral(".csv"));
  }
  exportDialog_.filter = kDeformationExportFilter;
  exportDialog_.defaultSuffix = QStringLiteral("csv");
  if (!fileDialogs_.showSave(exportDialog_, this) || exportDialog_.fileName.isEmpty()) return;
  QString base = exportDialog_.fileName;
  for (const QString& suffix : {QStringLiteral(".csv"), QStringLiteral("_csv")}) {
    if (base.endsWith(suffix, Qt::CaseInsensitive)) {
      base.chop(suffix.size());
      break;
    }
  }
  const QString folder = base + QStringLiteral("_csv");
  const auto failure = attempt([&] {
    try {
      deformation::writeDeformationCsvFolder(*result_, std::filesystem::path(folder.toStdU16String()));
    } catch (const analysis::OutputFileFailure& failure) {
      throw Failure(writeFailureText(failure));
    }
  });
  if (failure) {
    status_->setText(QStringLiteral("匯出失敗。"));
    messages_.critical(kTitleErrorZh, QStringLiteral("無法匯出變形分析的結果：") + *failure);
    return;
  }
  status_->setText(QStringLiteral("已匯出 %1").arg(QFileInfo(folder).fileName()));
  messages_.information(kTitleMessage, QStringLiteral("變形分析的結果已寫成：\n%1（epochs.csv、displacements.csv、velocities.csv）")
                                           .arg(QDir::toNativeSeparators(folder)));
}

void DeformationWindow::print() {
  if (!result_) return;
  const QString title = windowTitle();
  const auto failure = attempt([&] {
    printing_.printPages([&](QPagedPaintDevice& pages) { tabs_->printCurrent(pages, title); });
  });
  if (failure) messages_.critical(kTitleErrorZh, *failure);
}

void DeformationWindow::closeEvent(QCloseEvent* event) {
  // Nobody waits for a run of a closed window.
  runner_->cancel();
  event->accept();
}

}  // namespace korvane::shell
