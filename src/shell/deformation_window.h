#pragma once
// "變形分析": subsidence monitoring over many epochs of levelling, in a window of its own beside
// the network analysis. The surveyor lists the epochs (a date and a source each: a file, or the
// workbench's database), sets the options and runs (執行); the window shows each epoch's checks,
// the displacements of the comparisons, the benchmarks' velocities and their pictures, writes
// the tables as CSV files (匯出) and prints the current tab (列印).
//
// A top-level window like the network analysis window: the modal workbench does not block it.
// The run goes on away from the window's thread with its progress and a cancel button; a run
// that fails says why in a message box and the list of epochs stays as it was.

#include <QWidget>
#include <memory>
#include <vector>

#include "common/messages.h"
#include "shell/deformation_columns.h"
#include "shell/deformation_run.h"
#include "shell/services.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;

namespace korvane::shell {

class DeformationOptionsPanel;
class DeformationTabs;

inline const QString kEpochFileFilter = QStringLiteral(
    "水準資料 (*.gkf *.xml *.dat *.gsi *.m5 *.txt)|*.gkf;*.xml;*.dat;*.gsi;*.m5;*.txt|AllFile(*.*)|*.*");
inline const QString kDeformationExportFilter = QStringLiteral("CSV 資料夾 (*.csv)|*.csv|AllFile(*.*)|*.*");

class DeformationWindow : public QWidget {
 public:
  // Without a runner of its own the window runs each monitoring on a thread of its own.
  DeformationWindow(Messages& messages, FileDialogs& fileDialogs, Printing& printing,
                    std::unique_ptr<DeformationRunner> runner = nullptr);
  ~DeformationWindow() override;

  // The workbench's "變形分析": shows the window in front, with its database as the current one.
  void open(const QString& databasePath);
  // The database "加入目前資料庫" adds (as db:PATH); empty: none.
  void setCurrentDatabase(const QString& databasePath);

  // The list of epochs.
  void addEpoch(const QString& date, const QString& source);
  void addFiles();            // "加入檔案...": the files chosen in the open dialog
  void addCurrentDatabase();  // "加入目前資料庫"
  void removeEpoch();         // "移除": the current row
  void moveEpoch(int delta);  // "上移" (-1), "下移" (+1)
  std::vector<EpochEntry> epochs() const;

  void run();     // "執行"
  void cancel();  // "取消"
  // "匯出": asks for a name NAME.csv and writes the folder NAME_csv (epochs.csv,
  // displacements.csv, velocities.csv).
  void exportResults();
  void print();  // "列印": the current tab

  bool isRunning() const;
  SharedDeformation result() const { return result_; }
  QString statusText() const;
  DeformationTabs& tabs() { return *tabs_; }
  DeformationOptionsPanel& optionsPanel() { return *options_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void progressed(const QString& stage, double done);
  void finished(const DeformationOutcome& outcome);
  void updateControls();
  QString nextDate() const;

  Messages& messages_;
  FileDialogs& fileDialogs_;
  Printing& printing_;
  std::unique_ptr<DeformationRunner> runner_;
  QString currentDatabase_;
  SharedDeformation result_;
  CommonDialog addDialog_;
  CommonDialog exportDialog_;

  QTableWidget* epochList_ = nullptr;
  QPushButton* addCurrent_ = nullptr;
  QPushButton* remove_ = nullptr;
  QPushButton* up_ = nullptr;
  QPushButton* down_ = nullptr;
  DeformationOptionsPanel* options_ = nullptr;
  QPushButton* run_ = nullptr;
  DeformationTabs* tabs_ = nullptr;
  QLabel* status_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* export_ = nullptr;
  QPushButton* print_ = nullptr;
  QTimer* progressDelay_ = nullptr;
};

}  // namespace korvane::shell
