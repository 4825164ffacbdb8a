#include "shell/network_analysis_window.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <filesystem>
#include <new>
#include <system_error>

#include "common/failure.h"
#include "common/program_folder.h"
#include "csv_writer.h"
#include "html_writer.h"
#include "json_writer.h"
#include "output_file.h"
#include "shell/analysis_options_panel.h"
#include "shell/analysis_summary.h"
#include "shell/analysis_tabs.h"
#include "shell/analysis_words.h"

namespace korvane::shell {
namespace {

enum Page { kTablesPage, kProblemPage, kWaitingPage };

std::filesystem::path filePath(const QString& path) { return std::filesystem::path(path.toStdU16String()); }

// A project name as a file name: without the characters a file name cannot hold.
QString fileNameOf(QString title) {
  static const QString kForbidden = QStringLiteral("\\/:*?\"<>|");
  for (QChar& c : title) {
    if (kForbidden.contains(c) || c.unicode() < 0x20) c = u'_';
  }
  title = title.trimmed();
  return title.isEmpty() ? kAnalysisWindowTitle : title;
}

struct ExportFiles {
  QString json;
  QString csvFolder;
  QString html;
};

ExportFiles exportFiles(const QString& chosen) {
  QString base = chosen;
  for (const QString& suffix : {QStringLiteral(".json"), QStringLiteral(".html"), QStringLiteral("_csv")}) {
    if (base.endsWith(suffix, Qt::CaseInsensitive)) {
      base.chop(suffix.size());
      break;
    }
  }
  return {base + QStringLiteral(".json"), base + QStringLiteral("_csv"), base + QStringLiteral(".html")};
}

}  // namespace

NetworkAnalysisWindow::NetworkAnalysisWindow(Messages& messages, FileDialogs& fileDialogs, Printing& printing,
                                             std::unique_ptr<workbench::NetworkAnalysisRunner> runner)
    : QWidget(nullptr, Qt::Window),
      messages_(messages),
      fileDialogs_(fileDialogs),
      printing_(printing),
      runner_(runner ? std::move(runner) : std::make_unique<workbench::ThreadedNetworkAnalysisRunner>()) {
  setObjectName(QStringLiteral("NetworkAnalysis"));
  setWindowTitle(kAnalysisWindowTitle);
  // Closing the Main window ends Korvane even while this window is open.
  setAttribute(Qt::WA_QuitOnClose, false);

  options_ = new AnalysisOptionsPanel(this);
  recompute_ = new QPushButton(QStringLiteral("重新計算"), this);
  recompute_->setObjectName(QStringLiteral("Recompute"));

  tabs_ = new AnalysisTabs(this);
  problem_ = new QLabel(this);
  problem_->setObjectName(QStringLiteral("AnalysisProblem"));
  problem_->setWordWrap(true);
  problem_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  problem_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  problem_->setStyleSheet(QStringLiteral("QLabel { background: %1; color: black; padding: 12px; }")
                              .arg(failBackground().name()));
  auto* problemScroll = new QScrollArea(this);
  problemScroll->setWidget(problem_);
  problemScroll->setWidgetResizable(true);
  pages_ = new QStackedWidget(this);
  pages_->insertWidget(kTablesPage, tabs_);
  pages_->insertWidget(kProblemPage, problemScroll);
  auto* waiting = new QLabel(QStringLiteral("正在分析平差資料庫的資料…"), this);
  waiting->setObjectName(QStringLiteral("AnalysisWaiting"));
  waiting->setAlignment(Qt::AlignCenter);
  pages_->insertWidget(kWaitingPage, waiting);

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("AnalysisStatus"));
  status_->setWordWrap(true);
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("AnalysisProgress"));
  progress_->setRange(0, 1000);
  progress_->setVisible(false);
  cancel_ = new QPushButton(QStringLiteral("取消"), this);
  cancel_->setObjectName(QStringLiteral("CancelAnalysis"));
  cancel_->setVisible(false);
  export_ = new QPushButton(QStringLiteral("匯出..."), this);
  export_->setObjectName(QStringLiteral("ExportAnalysis"));
  print_ = new QPushButton(QStringLiteral("列印"), this);
  print_->setObjectName(QStringLiteral("PrintAnalysis"));
  // The printer set-up of the Main window's menu, which the workbench in front of it hides.
  auto* printerSetUp = new QPushButton(QStringLiteral("列表機設定..."), this);
  printerSetUp->setObjectName(QStringLiteral("AnalysisPrinterSetUp"));
  auto* close = new QPushButton(QStringLiteral("關閉"), this);
  close->setObjectName(QStringLiteral("CloseAnalysis"));

  auto* optionRow = new QHBoxLayout;
  optionRow->addWidget(options_, 1);
  optionRow->addWidget(recompute_);
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
  layout->addWidget(pages_, 1);
  layout->addLayout(bottomRow);
  for (QPushButton* button : {recompute_, cancel_, export_, printerSetUp, print_, close}) button->setAutoDefault(false);

  progressDelay_ = new QTimer(this);
  progressDelay_->setSingleShot(true);
  progressDelay_->setInterval(kProgressDelayMs);
  connect(progressDelay_, &QTimer::timeout, this, [this] {
    if (!isRunning()) return;
    progress_->setVisible(true);
    cancel_->setVisible(true);
  });
  connect(recompute_, &QPushButton::clicked, this, [this] { recompute(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { cancel(); });
  connect(export_, &QPushButton::clicked, this, [this] { exportResults(); });
  connect(print_, &QPushButton::clicked, this, [this] { print(); });
  connect(printerSetUp, &QPushButton::clicked, this, [this] { printing_.setUp(this); });
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  tabs_->onSelectionText = [this](const QString& text) { status_->setText(text); };

  QSize size(1180, 760);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) size = size.boundedTo(screen->availableSize() * 9 / 10);
  resize(size);
  updateControls();
}

NetworkAnalysisWindow::~NetworkAnalysisWindow() {
  // A run still going is stopped and waited for before the window goes.
  runner_->cancel();
  runner_.reset();
}

void NetworkAnalysisWindow::analyse(const QString& databasePath, const QString& title) {
  request_.databasePath = databasePath;
  request_.title = title;
  setWindowTitle(kAnalysisWindowTitle + QStringLiteral(" - ") +
                 (title.trimmed().isEmpty() ? QFileInfo(databasePath).fileName() : title.trimmed()));
  show();
  raise();
  activateWindow();
  start();
}

void NetworkAnalysisWindow::recompute() {
  if (request_.databasePath.isEmpty()) return;
  start();
}

void NetworkAnalysisWindow::start() {
  request_.options = options_->options();
  if (runner_->isRunning()) {
    pending_ = true;
    runner_->cancel();
    return;
  }
  pending_ = false;
  const bool started = runner_->start(
      request_, {[this](const QString& stage, double done) { progressed(stage, done); },
                 [this](const workbench::NetworkAnalysisOutcome& outcome) { finished(outcome); }});
  if (!started) return;
  progress_->setValue(0);
  status_->setText(QStringLiteral("分析中…"));
  // The last result stays in view until the new one replaces it.
  if (!result_) pages_->setCurrentIndex(kWaitingPage);
  progressDelay_->start();
  updateControls();
}

void NetworkAnalysisWindow::cancel() {
  pending_ = false;
  runner_->cancel();
  status_->setText(QStringLiteral("取消中…"));
}

bool NetworkAnalysisWindow::isRunning() const { return runner_->isRunning(); }

void NetworkAnalysisWindow::progressed(const QString& stage, double done) {
  progress_->setValue(int(done * 1000.0));
  status_->setText(QStringLiteral("分析中：%1…").arg(stageName(stage)));
}

void NetworkAnalysisWindow::finished(const workbench::NetworkAnalysisOutcome& outcome) {
  using Kind = workbench::NetworkAnalysisOutcome::Kind;
  progressDelay_->stop();
  progress_->setVisible(false);
  cancel_->setVisible(false);
  if (pending_) {
    start();
    return;
  }
  switch (outcome.kind) {
    case Kind::Done:
      result_ = outcome.result;
      tabs_->showResult(result_);
      pages_->setCurrentIndex(kTablesPage);
      status_->setText(outcomeLine(*result_));
      break;
    case Kind::Cancelled:
      if (result_) {
        status_->setText(QStringLiteral("分析已取消；顯示的是上一次的結果。"));
      } else {
        showProblem(describeProblem(outcome, request_.options));
        status_->setText(QStringLiteral("分析已取消。"));
      }
      break;
    case Kind::BadInput:
    case Kind::UnusableNetwork:
      showProblem(describeProblem(outcome, request_.options));
      status_->setText(QStringLiteral("無法分析。"));
      break;
  }
  updateControls();
}

void NetworkAnalysisWindow::showProblem(const QString& text) {
  result_.reset();
  tabs_->clear();
  problem_->setText(text);
  pages_->setCurrentIndex(kProblemPage);
}

QString NetworkAnalysisWindow::statusText() const { return status_->text(); }

QString NetworkAnalysisWindow::problemText() const {
  return pages_->currentIndex() == kProblemPage ? problem_->text() : QString();
}

void NetworkAnalysisWindow::updateControls() {
  recompute_->setEnabled(!request_.databasePath.isEmpty());
  export_->setEnabled(result_ != nullptr && !exporting_);
  print_->setEnabled(result_ != nullptr);
}

void NetworkAnalysisWindow::exportResults() {
  if (!result_ || exporting_) return;
  if (exportDialog_.fileName.isEmpty()) {
    exportDialog_.fileName = QDir(documentsFolder()).filePath(fileNameOf(request_.title) + QStringLiteral(".json"));
  }
  exportDialog_.filter = kAnalysisExportFilter;
  exportDialog_.defaultSuffix = QStringLiteral("json");
  if (!fileDialogs_.showSave(exportDialog_, this) || exportDialog_.fileName.isEmpty()) return;
  const ExportFiles files = exportFiles(exportDialog_.fileName);
  exporting_ = true;
  updateControls();
  status_->setText(QStringLiteral("匯出中…"));
  exportThread_.run([this, files, result = result_] {
    QString problem;
    try {
      analysis::writeOutputFile(filePath(files.json), [&](std::ostream& out) { analysis::writeJson(*result, out); });
      analysis::writeCsvFolder(*result, filePath(files.csvFolder));
      analysis::writeOutputFile(filePath(files.html), [&](std::ostream& out) { analysis::writeHtml(*result, out); });
    } catch (const analysis::OutputFileFailure& failure) {
      problem = writeFailureText(failure);
    } catch (const std::bad_alloc&) {
      problem = QStringLiteral("記憶體不足");
    } catch (const std::exception&) {
      problem = QStringLiteral("未預期的錯誤");
    }
    exportThread_.post([this, files, problem] {
      exporting_ = false;
      updateControls();
      if (!problem.isEmpty()) {
        status_->setText(QStringLiteral("匯出失敗。"));
        messages_.critical(kTitleErrorZh, QStringLiteral("無法匯出網形分析的結果：") + problem);
        return;
      }
      status_->setText(QStringLiteral("已匯出 %1").arg(QFileInfo(files.json).completeBaseName()));
      messages_.information(kTitleMessage, QStringLiteral("網形分析的結果已寫成：\n%1\n%2（points.csv、observations.csv、loops.csv）\n%3")
                                               .arg(files.json, files.csvFolder, files.html));
    });
  });
}

void NetworkAnalysisWindow::print() {
  if (!result_) return;
  const QString title = windowTitle();
  const auto failure = attempt([&] {
    printing_.printPages([&](QPagedPaintDevice& pages) { tabs_->printCurrent(pages, title); });
  });
  if (failure) messages_.critical(kTitleErrorZh, *failure);
}

void NetworkAnalysisWindow::closeEvent(QCloseEvent* event) {
  // Nobody waits for a run of a closed window.
  pending_ = false;
  runner_->cancel();
  event->accept();
}

}  // namespace korvane::shell
