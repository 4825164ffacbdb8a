#pragma once
// "網形分析": the modern analysis of the workbench's levelling network in a window of its own.
// The workbench's button runs it on the tables dat and cood; the window shows the checks, the
// heights with the global test, the observations' tests and a picture of the network, offers
// the options of `korvane analyse` with "重新計算" (recompute), and writes the result files
// ("匯出") or prints the current tab ("列印").
//
// A top-level window, like the engine's console and the report window, so the modal workbench
// does not block it. The analysis runs away from the window's thread: a large network shows its
// progress and can be cancelled, and the window stays usable meanwhile. A network that cannot be
// analysed is shown as such, with the points involved, instead of the tables.

#include <QWidget>
#include <memory>

#include "common/background_thread.h"
#include "common/messages.h"
#include "shell/analysis_columns.h"
#include "shell/services.h"
#include "workbench/network_analysis_runner.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTimer;

namespace korvane::shell {

class AnalysisOptionsPanel;
class AnalysisTabs;

// One name for the three results: NAME.json, NAME.html and the folder NAME_csv.
inline const QString kAnalysisExportFilter =
    QStringLiteral("JSON、HTML 與 CSV 資料夾 (*.json *.html)|*.json;*.html|AllFile(*.*)|*.*");

// The progress of a run appears once it has taken this long; a small network shows its result
// before that.
inline constexpr int kProgressDelayMs = 300;

class NetworkAnalysisWindow : public QWidget {
 public:
  // Without a runner of its own the window runs each analysis on a thread of its own.
  NetworkAnalysisWindow(Messages& messages, FileDialogs& fileDialogs, Printing& printing,
                        std::unique_ptr<workbench::NetworkAnalysisRunner> runner = nullptr);
  ~NetworkAnalysisWindow() override;

  // The workbench's "網形分析": analyses the database's tables with the window's options and
  // shows the window in front. A run still going is cancelled and this one follows it.
  void analyse(const QString& databasePath, const QString& title);
  void recompute();  // "重新計算"
  void cancel();     // "取消"
  // "匯出": asks for a name NAME.json and writes NAME.json, the folder NAME_csv (points.csv,
  // observations.csv, loops.csv) and NAME.html, away from the window's thread.
  void exportResults();
  void print();  // "列印": the current tab, the picture too

  bool isRunning() const;
  bool isExporting() const { return exporting_; }
  SharedResult result() const { return result_; }
  QString statusText() const;
  // What the window shows in place of the tables when there is no result, or empty.
  QString problemText() const;
  AnalysisTabs& tabs() { return *tabs_; }
  AnalysisOptionsPanel& optionsPanel() { return *options_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void start();
  void progressed(const QString& stage, double done);
  void finished(const workbench::NetworkAnalysisOutcome& outcome);
  void showProblem(const QString& text);
  void updateControls();

  Messages& messages_;
  FileDialogs& fileDialogs_;
  Printing& printing_;
  std::unique_ptr<workbench::NetworkAnalysisRunner> runner_;
  workbench::NetworkAnalysisRequest request_;
  bool pending_ = false;  // a request waits for the cancelled run to end
  SharedResult result_;
  CommonDialog exportDialog_;
  bool exporting_ = false;

  AnalysisOptionsPanel* options_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  AnalysisTabs* tabs_ = nullptr;
  QLabel* problem_ = nullptr;
  QLabel* status_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* recompute_ = nullptr;
  QPushButton* export_ = nullptr;
  QPushButton* print_ = nullptr;
  QTimer* progressDelay_ = nullptr;
  BackgroundThread exportThread_;
};

}  // namespace korvane::shell
