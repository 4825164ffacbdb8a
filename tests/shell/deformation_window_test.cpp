// The deformation window with a runner the test plays and a monitoring result filled by hand:
// the list of epochs, the request a run gets, the tabs the result fills (the moving benchmarks
// marked and sortable, the chart following the selection), a failure in a message box that
// loses no epoch, cancel, a date the monitoring cannot read, and the export.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>
#include <QPdfWriter>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <optional>

#include "fakes/recording_messages.h"
#include "shell/deformation_pictures.h"
#include "shell/deformation_tabs.h"
#include "shell/deformation_window.h"
#include "shell/result_table_model.h"

using namespace korvane;
using namespace korvane::shell;
using korvane::deformation::VelocityClass;

namespace {

class AnsweringDialogs : public FileDialogs {
 public:
  bool showOpen(CommonDialog& dialog, QWidget*) override { return answer(dialog); }
  bool showSave(CommonDialog& dialog, QWidget*) override { return answer(dialog); }
  QString nextName;

 private:
  bool answer(CommonDialog& dialog) {
    if (nextName.isEmpty()) return false;
    dialog.fileName = nextName;
    nextName.clear();
    return true;
  }
};

// Prints on a PDF file of the test's and counts the jobs.
class PdfPrinter : public Printing {
 public:
  void setUp(QWidget*) override {}
  void print(const QString&, const QFont&) override {}
  void printPages(const std::function<void(QPagedPaintDevice& pages)>& paint) override {
    QPdfWriter pdf(path);
    paint(pdf);
    ++jobs;
  }
  QString path;
  int jobs = 0;
};

// Ends a run when the test says so, or at once with `outcome` when one is set.
class PlayedRunner : public DeformationRunner {
 public:
  struct State {
    std::vector<DeformationRequest> requests;
    std::optional<DeformationOutcome> outcome;
    Handlers handlers;
    bool running = false;
    bool cancelled = false;
  };
  explicit PlayedRunner(std::shared_ptr<State> state) : state_(std::move(state)) {}

  bool start(const DeformationRequest& request, Handlers handlers) override {
    if (state_->running) return false;
    state_->requests.push_back(request);
    state_->handlers = std::move(handlers);
    state_->running = true;
    if (state_->outcome) end(*state_->outcome);
    return true;
  }
  void cancel() override {
    if (!state_->running) return;
    state_->cancelled = true;
    end({});
  }
  bool isRunning() const override { return state_->running; }

 private:
  void end(DeformationOutcome outcome) {
    QTimer::singleShot(0, [state = state_, outcome] {
      state->running = false;
      if (state->handlers.finished) state->handlers.finished(outcome);
    });
  }
  std::shared_ptr<State> state_;
};

analysis::ObservationResult section(int from, int to) {
  analysis::ObservationResult o;
  o.from = from;
  o.to = to;
  return o;
}

deformation::DisplacementRow displacement(int benchmark, double mm, bool significant, bool stable) {
  deformation::DisplacementRow row;
  row.benchmark = benchmark;
  row.displacementMm = mm;
  row.sigmaMm = 0.8;
  row.significant = significant;
  row.stable = stable;
  return row;
}

deformation::VelocityRow velocity(int benchmark, double mmPerYear, VelocityClass kind) {
  deformation::VelocityRow row;
  row.benchmark = benchmark;
  row.epochs = {0, 1, 2};
  row.heightM = 100.0 + benchmark;
  row.velocityMmPerYear = mmPerYear;
  row.sigmaMmPerYear = 0.5;
  row.kind = kind;
  row.stable = kind == VelocityClass::Reference;
  return row;
}

// Three yearly epochs of a ring BM1 - BM2 - P1 - P2; P1 sinks 12 mm a year, P2 45 mm (beyond
// the limit of 30).
std::shared_ptr<const deformation::DeformationResult> threeEpochs() {
  auto r = std::make_shared<deformation::DeformationResult>();
  r->benchmarks = {"BM1", "BM2", "P1", "P2"};
  const double sink[] = {0.0, 0.0, -0.012, -0.045};
  for (int e = 0; e < 3; ++e) {
    deformation::EpochResult epoch;
    epoch.date = QStringLiteral("%1-03-01").arg(2021 + e).toStdString();
    epoch.source = "epoch" + std::to_string(e) + ".gkf";
    epoch.observations = 4;
    epoch.benchmarks = 4;
    epoch.sigma0 = 0.9 + 0.1 * e;
    for (int b = 0; b < 4; ++b) {
      analysis::PointResult point;
      point.name = r->benchmarks[b];
      epoch.analysis.points.push_back(point);
      epoch.heights.push_back(100.0 + b + sink[b] * e);
      epoch.heightSigmas.push_back(0.5);
    }
    epoch.analysis.observations = {section(0, 1), section(1, 2), section(2, 3), section(3, 0)};
    epoch.analysis.global.verdict = analysis::GlobalVerdict::Passes;
    r->epochs.push_back(epoch);
  }
  for (const auto& [from, to] : {std::pair{0, 1}, {1, 2}, {0, 2}}) {
    deformation::EpochComparison c;
    c.from = from;
    c.to = to;
    c.stableSet = {0, 1};
    const int years = to - from;
    c.displacements = {displacement(0, 0.1, false, true), displacement(1, -0.1, false, true),
                       displacement(2, -12.0 * years, true, false), displacement(3, -45.0 * years, true, false)};
    r->comparisons.push_back(c);
  }
  r->velocities = {velocity(0, 0.1, VelocityClass::Reference), velocity(1, -0.1, VelocityClass::Reference),
                   velocity(2, -12.0, VelocityClass::Moving), velocity(3, -45.0, VelocityClass::BeyondLimit)};
  return r;
}

DeformationOutcome done(std::shared_ptr<const deformation::DeformationResult> result) {
  DeformationOutcome outcome;
  outcome.kind = DeformationOutcome::Kind::Done;
  outcome.result = std::move(result);
  return outcome;
}

struct DeformationWindowTest : ::testing::Test {
  korvane::testing::RecordingMessages messages;
  AnsweringDialogs dialogs;
  PdfPrinter printer;
  std::shared_ptr<PlayedRunner::State> runner = std::make_shared<PlayedRunner::State>();
  DeformationWindow window{messages, dialogs, printer, std::make_unique<PlayedRunner>(runner)};
  QTemporaryDir folder;

  template <typename T>
  T* find(const char* name) {
    T* widget = window.findChild<T*>(QString::fromLatin1(name));
    if (!widget) ADD_FAILURE() << "no control " << name;
    return widget;
  }
  QTableWidget* list() { return find<QTableWidget>("EpochList"); }
  void click(const char* button) { find<QPushButton>(button)->click(); }
  void addThreeEpochs() {
    for (int e = 0; e < 3; ++e) window.addEpoch(QStringLiteral("%1-03-01").arg(2021 + e), QStringLiteral("epoch%1.gkf").arg(e));
  }
  void runToTheEnd() {
    click("RunDeformation");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isRunning(); }, 5000));
  }
  // The benchmark names of a table's rows, in the view's order.
  QStringList names(QTableView* view) {
    QStringList list;
    for (int row = 0; row < view->model()->rowCount(); ++row) list << view->model()->index(row, 0).data().toString();
    return list;
  }
};

TEST_F(DeformationWindowTest, TheButtonsFillTheListOfEpochs) {
  const QString file = folder.filePath(QStringLiteral("2021.gkf"));
  dialogs.nextName = file;
  click("AddEpochFile");
  EXPECT_FALSE(find<QPushButton>("AddCurrentDatabase")->isEnabled());  // no database yet
  window.setCurrentDatabase(folder.filePath(QStringLiteral("Lnet.mdb")));
  list()->item(0, 0)->setText(QStringLiteral("2021-03-01"));
  click("AddCurrentDatabase");
  ASSERT_EQ(window.epochs().size(), 2u);
  EXPECT_EQ(window.epochs()[0].source, file);
  EXPECT_EQ(window.epochs()[1].source, QStringLiteral("db:") + folder.filePath(QStringLiteral("Lnet.mdb")));
  EXPECT_EQ(window.epochs()[1].date, QStringLiteral("2022-03-01"));  // a year after the last

  click("MoveEpochUp");  // the database, current, goes first
  EXPECT_EQ(window.epochs()[0].date, QStringLiteral("2022-03-01"));
  EXPECT_EQ(window.epochs()[1].source, file);
  click("RemoveEpoch");  // the moved row is still current
  ASSERT_EQ(window.epochs().size(), 1u);
  EXPECT_EQ(window.epochs()[0].source, file);
}

TEST_F(DeformationWindowTest, ARunFillsTheTabsMarksTheMovingBenchmarksAndChartsTheSelection) {
  addThreeEpochs();
  runner->outcome = done(threeEpochs());
  runToTheEnd();
  ASSERT_EQ(runner->requests.size(), 1u);
  const DeformationRequest& request = runner->requests[0];
  ASSERT_EQ(request.epochs.size(), 3u);
  EXPECT_EQ(request.epochs[2].source, QStringLiteral("epoch2.gkf"));
  EXPECT_EQ(request.options.rateLimitMm, 30.0);
  EXPECT_DOUBLE_EQ(request.options.alpha, 0.05);
  ASSERT_TRUE(window.result());
  EXPECT_TRUE(window.statusText().contains(QStringLiteral("2 點移動"))) << window.statusText().toStdString();

  EXPECT_EQ(find<QTableView>("EpochChecksTable")->model()->rowCount(), 3);
  // 位移: first against last at first, all three comparisons on demand.
  auto* comparisons = find<QComboBox>("ComparisonChoice");
  EXPECT_EQ(comparisons->count(), 4);
  QTableView* displacements = find<QTableView>("DisplacementsTable");
  EXPECT_EQ(displacements->model()->rowCount(), 4);
  EXPECT_EQ(displacements->model()->index(3, 3).data().toString(), QStringLiteral("-90.00"));
  comparisons->setCurrentIndex(0);
  EXPECT_EQ(displacements->model()->rowCount(), 12);

  // 速度: the moving and the too fast rows tinted, the others not; sorted by velocity.
  QTableView* velocities = find<QTableView>("VelocitiesTable");
  ASSERT_EQ(velocities->model()->rowCount(), 4);
  for (int row = 0; row < 4; ++row) {
    EXPECT_EQ(velocities->model()->index(row, 0).data(Qt::BackgroundRole).isValid(), row >= 2) << row;
  }
  velocities->sortByColumn(3, Qt::AscendingOrder);
  EXPECT_EQ(names(velocities), QStringList({"P2", "P1", "BM2", "BM1"}));

  // 圖: the moving ones until rows are chosen, then one line per chosen benchmark.
  DeformationTabs& tabs = window.tabs();
  EXPECT_EQ(tabs.chartedBenchmarks(), (std::vector<int>{2, 3}));
  EXPECT_EQ(tabs.chart().seriesCount(), 2);
  QItemSelectionModel* selection = velocities->selectionModel();
  selection->clearSelection();
  for (int row : {0, 3}) {  // P2 and BM1
    selection->select(velocities->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  EXPECT_EQ(tabs.chartedBenchmarks(), (std::vector<int>{0, 3}));
  EXPECT_EQ(tabs.chart().seriesCount(), 2);
  selection->select(velocities->model()->index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  EXPECT_EQ(tabs.chart().seriesCount(), 3);
  EXPECT_EQ(tabs.map().places().size(), 4u);
}

TEST_F(DeformationWindowTest, AFailedRunShowsItsMessageAndKeepsTheEpochs) {
  addThreeEpochs();
  DeformationOutcome failed;
  failed.kind = DeformationOutcome::Kind::Failed;
  failed.problem = QStringLiteral("epoch 2 (2020-01-01) is not later than epoch 1 (2021-03-01)");
  runner->outcome = failed;
  runToTheEnd();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].kind, QStringLiteral("critical"));
  EXPECT_EQ(messages.shown[0].title, kTitleErrorZh);
  EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("無法進行變形分析")));
  EXPECT_TRUE(messages.shown[0].text.contains(failed.problem));
  EXPECT_EQ(window.epochs().size(), 3u);
  EXPECT_FALSE(window.result());
  EXPECT_FALSE(find<QPushButton>("ExportDeformation")->isEnabled());
}

TEST_F(DeformationWindowTest, CancelEndsTheRunAndKeepsTheEpochs) {
  addThreeEpochs();
  click("RunDeformation");
  ASSERT_TRUE(window.isRunning());
  EXPECT_FALSE(find<QPushButton>("RunDeformation")->isEnabled());
  auto* cancel = find<QPushButton>("CancelDeformation");
  ASSERT_TRUE(QTest::qWaitFor([&] { return cancel->isVisibleTo(&window); }, 5000));
  cancel->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isRunning(); }, 5000));
  EXPECT_TRUE(runner->cancelled);
  EXPECT_EQ(window.statusText(), QStringLiteral("分析已取消。"));
  EXPECT_FALSE(cancel->isVisibleTo(&window));
  EXPECT_EQ(window.epochs().size(), 3u);
  EXPECT_TRUE(find<QPushButton>("RunDeformation")->isEnabled());
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DeformationWindowTest, ADateThatIsNoDateIsNamedAndNothingRuns) {
  window.addEpoch(QStringLiteral("2021-03-01"), QStringLiteral("a.gkf"));
  window.addEpoch(QStringLiteral("2022-02-30"), QStringLiteral("b.gkf"));
  click("RunDeformation");
  EXPECT_TRUE(runner->requests.empty());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("第 2 期的日期「2022-02-30」"))) << messages.shown[0].text.toStdString();
  EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("b.gkf")));
}

TEST_F(DeformationWindowTest, ExportWritesTheThreeTablesInFull) {
  addThreeEpochs();
  runner->outcome = done(threeEpochs());
  runToTheEnd();
  dialogs.nextName = folder.filePath(QStringLiteral("monitoring.csv"));
  click("ExportDeformation");
  const QDir written(folder.filePath(QStringLiteral("monitoring_csv")));
  const std::pair<const char*, int> files[] = {{"epochs.csv", 3}, {"displacements.csv", 12}, {"velocities.csv", 4}};
  for (const auto& [name, rows] : files) {
    QFile file(written.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    EXPECT_EQ(lines.size(), rows + 1) << name;  // and the header
  }
  QFile velocities(written.filePath(QStringLiteral("velocities.csv")));
  ASSERT_TRUE(velocities.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = velocities.readAll().split('\n');
  // The tables of korvane deform --csv (docs/deformation-results.md).
  EXPECT_TRUE(lines[0].startsWith("\xEF\xBB\xBF" "name,epochs,"));
  EXPECT_TRUE(lines[4].startsWith("P2,")) << lines[4].toStdString();
  EXPECT_TRUE(lines[4].contains(",-45.00,")) << lines[4].toStdString();
  EXPECT_TRUE(lines[4].contains(",beyond-limit,")) << lines[4].toStdString();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].kind, QStringLiteral("information"));
}

TEST_F(DeformationWindowTest, EveryTabPrints) {
  addThreeEpochs();
  runner->outcome = done(threeEpochs());
  runToTheEnd();
  for (int tab = 0; tab < window.tabs().count(); ++tab) {
    window.tabs().setCurrentIndex(tab);
    printer.path = folder.filePath(QStringLiteral("tab%1.pdf").arg(tab));
    click("PrintDeformation");
    EXPECT_GT(QFileInfo(printer.path).size(), 1000) << tab;
  }
  EXPECT_EQ(printer.jobs, 4);
  EXPECT_TRUE(messages.shown.empty());
}

TEST(BenchmarkLayout, IsTheSameEveryTimeAndFillsTheUnitSquare) {
  const auto result = threeEpochs();
  const std::vector<QPointF> places = layoutBenchmarks(*result);
  EXPECT_EQ(places, layoutBenchmarks(*result));
  ASSERT_EQ(places.size(), 4u);
  double low = 1.0, high = 0.0;
  for (const QPointF& p : places) {
    EXPECT_TRUE(p.x() >= 0.0 && p.x() <= 1.0 && p.y() >= 0.0 && p.y() <= 1.0);
    low = std::min({low, p.x(), p.y()});
    high = std::max({high, p.x(), p.y()});
  }
  EXPECT_NEAR(high - low, 1.0, 1e-9);  // the widest side spans the square
  for (int a = 0; a < 4; ++a) {
    for (int b = a + 1; b < 4; ++b) EXPECT_GT(std::hypot(places[a].x() - places[b].x(), places[a].y() - places[b].y()), 0.1);
  }
}

}  // namespace
