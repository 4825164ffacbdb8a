// The network analysis window on a small network with a planted error: the loops through the
// bad section fail their tolerance and say so in colour and in words, the bad observation is
// flagged, and the picture picks it (and a benchmark) for the tables. The options change what
// a recomputation finds; a network that cannot be analysed is shown with its points, not as
// empty tables.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QWheelEvent>
#include <cmath>

#include "analysis_window_support.h"
#include "shell/analysis_options_panel.h"
#include "shell/analysis_summary.h"
#include "shell/analysis_words.h"

using namespace korvane::shell;
using namespace korvane::testing::workbench;

namespace {

bool runsAlong(const QString& route, const QString& a, const QString& b) {
  return route.contains(a + " → " + b) || route.contains(b + " → " + a);
}

double distanceToSegment(QPointF p, QPointF a, QPointF b) {
  const QPointF ab = b - a;
  const double t = std::clamp(QPointF::dotProduct(p - a, ab) / QPointF::dotProduct(ab, ab), 0.0, 1.0);
  const QPointF q = a + t * ab;
  return std::hypot(p.x() - q.x(), p.y() - q.y());
}

// A place on the observation's line as far as can be from every other line and point, so that
// a click there can mean nothing else.
QPointF clearPlaceOn(const NetworkDrawing& drawing, const korvane::analysis::AnalysisResult& result, int observation) {
  const QPointF a = *drawing.placeOfPoint(result.observations[observation].from);
  const QPointF b = *drawing.placeOfPoint(result.observations[observation].to);
  QPointF best = (a + b) / 2;
  double bestClearance = -1;
  for (double t = 0.2; t <= 0.8; t += 0.02) {
    const QPointF p = a + t * (b - a);
    double clearance = 1e9;
    for (const auto& line : drawing.graph().lines) {
      const QPointF la = *drawing.placeOfPoint(drawing.graph().points[line.a]);
      const QPointF lb = *drawing.placeOfPoint(drawing.graph().points[line.b]);
      if ((la == a && lb == b) || (la == b && lb == a)) continue;
      clearance = std::min(clearance, distanceToSegment(p, la, lb));
    }
    if (clearance > bestClearance) {
      bestClearance = clearance;
      best = p;
    }
  }
  return best;
}

int pointNamed(const korvane::analysis::AnalysisResult& result, const std::string& name) {
  for (int i = 0; i < int(result.points.size()); ++i) {
    if (result.points[i].name == name) return i;
  }
  return -1;
}

}  // namespace

TEST(NetworkAnalysisWindow, ThePlantedErrorFailsItsLoopsIsFlaggedAndIsPickedFromThePicture) {
  AnalysisWindowFixture f;
  writeRows(f.database, kPlantedRows, kPlantedKnown);
  f.window->show();
  f.analyse();
  ASSERT_TRUE(f.window->result()) << f.window->problemText().toStdString();
  EXPECT_EQ(f.window->windowTitle(), "網形分析 - 示範網");
  EXPECT_TRUE(f.window->statusText().contains("✘ 1 個觀測檢定未過")) << f.window->statusText().toStdString();

  // 檢核: every loop or line through C-D fails, every other passes, by symbol, word and colour.
  QTableView* closures = f.table("ClosuresTable");
  ASSERT_EQ(closures->model()->rowCount(), 6);  // five loops and the line between the benchmarks
  int failing = 0;
  for (int row = 0; row < closures->model()->rowCount(); ++row) {
    const QString route = cell(closures, row, "路線");
    const bool fails = runsAlong(route, "C", "D");
    failing += fails;
    EXPECT_EQ(cell(closures, row, "判定"), fails ? "✘ 超限" : "✔ 合格") << route.toStdString();
    EXPECT_EQ(cellRole(closures, row, "判定", Qt::ForegroundRole).value<QBrush>().color(),
              fails ? failColour() : passColour());
    EXPECT_EQ(cellRole(closures, row, "路線", Qt::BackgroundRole).isValid(), fails) << route.toStdString();
    const double misclosure = cell(closures, row, "閉合差 (mm)").toDouble();
    EXPECT_EQ(std::abs(misclosure) > cell(closures, row, "限值 k√K (mm)").toDouble(), fails) << route.toStdString();
  }
  EXPECT_EQ(failing, 3);

  // 觀測: only the planted one is flagged.
  QTableView* observations = f.table("ObservationsTable");
  ASSERT_EQ(observations->model()->rowCount(), 11);
  for (int row = 0; row < 11; ++row) {
    const bool planted = row == kPlantedObservation;
    EXPECT_EQ(cell(observations, row, "判定").startsWith("✘"), planted) << row;
    EXPECT_EQ(cell(observations, row, "判定") == "✔", !planted) << row;
  }
  EXPECT_EQ(cell(observations, kPlantedObservation, "判定"), "✘ w τ");

  // 網形圖: the planted line drawn as flagged; a click on it selects its row.
  AnalysisTabs& tabs = f.window->tabs();
  tabs.setCurrentIndex(AnalysisTabs::Picture);
  NetworkPicture& picture = tabs.picture();
  ASSERT_TRUE(QTest::qWaitFor([&] { return picture.isLaidOut(); }, kRunWaitMs)) << picture.statusText().toStdString();
  const NetworkDrawing& drawing = *picture.drawing();
  const auto& result = *f.window->result();
  EXPECT_EQ(drawing.stateOfObservation(kPlantedObservation), LineState::Flagged);
  EXPECT_EQ(drawing.stateOfObservation(10), LineState::FailingClosure);  // D-E, in a failing loop
  EXPECT_EQ(drawing.stateOfObservation(0), LineState::Normal);           // BM1-A, in a passing one
  NetworkPictureView& view = picture.view();
  QTest::mouseClick(&view, Qt::LeftButton, {}, view.toCanvas(clearPlaceOn(drawing, result, kPlantedObservation)).toPoint());
  EXPECT_EQ(tabs.selectedObservation(), kPlantedObservation);
  const int current = observations->currentIndex().row();
  EXPECT_EQ(cell(observations, current, "起點"), "C");
  EXPECT_EQ(cell(observations, current, "終點"), "D");
  EXPECT_TRUE(f.window->statusText().startsWith("觀測 C → D（第 5 列）")) << f.window->statusText().toStdString();

  // A click on a benchmark selects its row in 成果.
  const int bm1 = pointNamed(result, "BM1");
  QTest::mouseClick(&view, Qt::LeftButton, {}, view.toCanvas(*drawing.placeOfPoint(bm1)).toPoint());
  EXPECT_EQ(tabs.selectedPoint(), bm1);
  QTableView* points = f.table("PointsTable");
  EXPECT_EQ(cell(points, points->currentIndex().row(), "點號"), "BM1");
  EXPECT_EQ(cell(points, points->currentIndex().row(), "種類"), "已知點（固定）");

  // Known points are filled triangles, new points white circles.
  const QImage image = view.grab().toImage();
  auto shade = [&](const char* name) {
    return qGray(image.pixel(view.toCanvas(*drawing.placeOfPoint(pointNamed(result, name))).toPoint()));
  };
  EXPECT_LT(shade("BM2"), 80);
  EXPECT_GT(shade("E"), 200);
  EXPECT_TRUE(picture.findChild<QWidget*>("PictureLegend") != nullptr);
}

// Each option of the panel reaches the analysis that "重新計算" runs, and changes what it finds.
TEST(NetworkAnalysisWindow, RecomputeTakesTheOptionsOfThePanel) {
  struct Case {
    const char* what;
    std::function<void(AnalysisWindowFixture&)> set;
    std::function<void(AnalysisWindowFixture&)> check;
  };
  const std::vector<Case> cases = {
      {"class second-I: k = 6 mm",
       [](AnalysisWindowFixture& f) { f.find<QComboBox>("ToleranceClass")->setCurrentIndex(2); },
       [](AnalysisWindowFixture& f) {
         EXPECT_EQ(f.window->result()->options.toleranceClass, "second-I");
         EXPECT_EQ(f.window->result()->options.toleranceK, 6.0);
         QTableView* closures = f.table("ClosuresTable");
         EXPECT_EQ(cell(closures, 0, "限值 k√K (mm)"), QString::number(6.0 * std::sqrt(cell(closures, 0, "長度 K (km)").toDouble()), 'f', 2));
         EXPECT_TRUE(f.find<QLabel>("CheckText")->text().contains("二等一級水準"));
       }},
      {"k given directly: 40 mm lets every loop pass",
       [](AnalysisWindowFixture& f) {
         f.find<QComboBox>("ToleranceClass")->setCurrentText("自訂 k");
         f.find<QDoubleSpinBox>("ToleranceK")->setValue(40.0);
       },
       [](AnalysisWindowFixture& f) {
         EXPECT_EQ(f.window->result()->options.toleranceClass, "");
         QTableView* closures = f.table("ClosuresTable");
         for (int row = 0; row < closures->model()->rowCount(); ++row) EXPECT_EQ(cell(closures, row, "判定"), "✔ 合格");
       }},
      {"alpha 1 %", [](AnalysisWindowFixture& f) { f.find<QDoubleSpinBox>("Alpha")->setValue(1.0); },
       [](AnalysisWindowFixture& f) {
         EXPECT_DOUBLE_EQ(f.window->result()->options.alpha, 0.01);
         EXPECT_TRUE(f.find<QLabel>("GlobalTest")->text().contains("α = 1 %"));
       }},
      {"a-priori sigma0 (not used under grade weighting, but passed on)",
       [](AnalysisWindowFixture& f) {
         f.find<QCheckBox>("Sigma0Given")->setChecked(true);
         f.find<QDoubleSpinBox>("Sigma0")->setValue(2.5);
       },
       [](AnalysisWindowFixture& f) { EXPECT_EQ(f.window->result()->options.sigma0, 2.5); }},
      {"snooping by the B-method until the global test passes: said so, the planted one still goes",
       [](AnalysisWindowFixture& f) {
         f.find<QCheckBox>("Snoop")->setChecked(true);
         f.find<QComboBox>("Alpha0Rule")->setCurrentIndex(1);
         f.find<QCheckBox>("SnoopToGlobalTest")->setChecked(true);
       },
       [](AnalysisWindowFixture& f) {
         const auto& options = f.window->result()->options;
         EXPECT_EQ(options.alpha0Rule, korvane::analysis::LocalLevelRule::BMethod);
         EXPECT_EQ(options.snoopStop, korvane::analysis::SnoopStop::GlobalTestPasses);
         const QString text = f.find<QLabel>("TestLevels")->text();
         EXPECT_TRUE(text.contains("由 B 法自整體檢定 α = 5 % 導出")) << text.toStdString();
         EXPECT_TRUE(text.contains("資料探測（依 w，到整體檢定通過為止）：依序移除 1 個")) << text.toStdString();
         EXPECT_EQ(f.window->result()->snooping.at(0).removed.index, kPlantedObservation);
       }},
      {"snooping removes the planted observation, in step 1",
       [](AnalysisWindowFixture& f) { f.find<QCheckBox>("Snoop")->setChecked(true); },
       [](AnalysisWindowFixture& f) {
         QTableView* steps = f.table("SnoopingTable");
         EXPECT_FALSE(steps->isHidden());
         ASSERT_EQ(steps->model()->rowCount(), 1);
         EXPECT_EQ(cell(steps, 0, "移除"), "觀測 C → D（第 5 列）");
         EXPECT_EQ(cell(f.table("ObservationsTable"), kPlantedObservation, "判定"), "✘ 移除（第 1 步）");
         // Its readmission is refused: the magnitude of its statistic beyond the critical value.
         const QString readmission = cell(steps, 0, "再納入檢定");
         EXPECT_TRUE(readmission.startsWith("✘ 維持移除：|t| = ")) << readmission.toStdString();
         const QStringList figures = readmission.section("= ", 1).split(" > ");
         ASSERT_EQ(figures.size(), 2) << readmission.toStdString();
         EXPECT_GT(figures[0].toDouble(), figures[1].toDouble());
         NetworkPicture& picture = f.window->tabs().picture();
         ASSERT_TRUE(QTest::qWaitFor([&] { return picture.isLaidOut(); }, kRunWaitMs));
         EXPECT_EQ(picture.drawing()->stateOfObservation(kPlantedObservation), LineState::Removed);
       }},
      {"free network: each benchmark compared with the observations",
       [](AnalysisWindowFixture& f) { f.find<QCheckBox>("FreeNetwork")->setChecked(true); },
       [](AnalysisWindowFixture& f) {
         EXPECT_TRUE(f.window->result()->options.freeNetwork);
         QTableView* points = f.table("PointsTable");
         EXPECT_EQ(cell(points, 0, "種類"), "已知點（比較）");
         EXPECT_NE(cell(points, 0, "與已知高程差 (mm)"), kNoValue);
       }},
      {"free network on one datum point: it keeps its given height",
       [](AnalysisWindowFixture& f) {
         f.find<QCheckBox>("FreeNetwork")->setChecked(true);
         f.find<QLineEdit>("DatumPoints")->setText(" BM2 ");
       },
       [](AnalysisWindowFixture& f) {
         EXPECT_EQ(f.window->result()->options.datumPoints, std::vector<std::string>{"BM2"});
         const QString offset = cell(f.table("PointsTable"), 1, "與已知高程差 (mm)");
         EXPECT_NEAR(offset.toDouble(), 0.0, 0.005) << offset.toStdString();
         EXPECT_NE(offset, kNoValue);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AnalysisWindowFixture f;
    writeRows(f.database, kPlantedRows, kPlantedKnown);
    f.analyse();
    EXPECT_TRUE(f.table("SnoopingTable")->isHidden());
    c.set(f);
    f.find<QPushButton>("Recompute")->click();
    f.waitForTheRun();
    ASSERT_TRUE(f.window->result()) << f.window->problemText().toStdString();
    c.check(f);
  }
}

// The observations sort by the magnitude of a test and can be cut down to those that fail; a
// row picked in the picture is shown even while the list leaves it out.
TEST(NetworkAnalysisWindow, ObservationsSortByMagnitudeAndListOnlyThoseThatFail) {
  AnalysisWindowFixture f;
  writeRows(f.database, kPlantedRows, kPlantedKnown);
  f.analyse();
  QTableView* observations = f.table("ObservationsTable");
  const int w = columnOf(*observations->model(), "w");
  observations->sortByColumn(w, Qt::DescendingOrder);
  EXPECT_EQ(cell(observations, 0, "起點") + cell(observations, 0, "終點"), "CD");  // w = -7.83: largest magnitude
  for (int row = 1; row < observations->model()->rowCount(); ++row) {
    EXPECT_GE(std::abs(cell(observations, row - 1, "w").toDouble()), std::abs(cell(observations, row, "w").toDouble()));
  }
  // The row numbers of the data stay with their rows.
  EXPECT_EQ(observations->model()->headerData(0, Qt::Vertical).toInt(), kPlantedObservation + 1);

  f.find<QCheckBox>("ObservationsTableOnlyFailing")->setChecked(true);
  ASSERT_EQ(observations->model()->rowCount(), 1);
  EXPECT_EQ(cell(observations, 0, "資料列"), "5");
  f.window->tabs().selectObservation(0);
  EXPECT_FALSE(f.find<QCheckBox>("ObservationsTableOnlyFailing")->isChecked());
  EXPECT_EQ(f.window->tabs().selectedObservation(), 0);

  f.find<QCheckBox>("ClosuresTableOnlyFailing")->setChecked(true);
  EXPECT_EQ(f.table("ClosuresTable")->model()->rowCount(), 3);
}

// What cannot be analysed is said in place of the tables, with the rows or points involved;
// export and print have nothing to work on then. A part without a known point is a finding of
// the checks, not a failure.
TEST(NetworkAnalysisWindow, ATestThatCouldNotBeMadeIsNeverShownAsPassed) {
  // Distance weighting without an a-priori σ₀ and one degree of freedom: no w, no τ. The line
  // between the benchmarks fails its tolerance by a 20 mm blunder, and no observation is "✔".
  AnalysisWindowFixture f;
  writeRows(f.database, {{"A", "P1", 0.320, 1.0, 0.0}, {"P1", "P2", 0.400, 2.0, 0.0}, {"P2", "B", 0.303, 1.0, 0.0}},
            {{"A", 100.0, 0.0}, {"B", 101.0, 0.0}});
  f.analyse();
  ASSERT_TRUE(f.window->result()) << f.window->problemText().toStdString();
  const QString status = f.window->statusText();
  EXPECT_TRUE(status.contains("觀測檢定 — 無法檢定（沒有先驗 σ₀ 不能算 w，自由度 1 不足以算 τ）")) << status.toStdString();
  EXPECT_FALSE(status.contains("全部通過")) << status.toStdString();
  f.find<QCheckBox>("ObservationsTableOnlyFailing")->setChecked(false);
  QTableView* observations = f.table("ObservationsTable");
  ASSERT_EQ(observations->model()->rowCount(), 3);
  for (int row = 0; row < 3; ++row) EXPECT_EQ(cell(observations, row, "判定"), "— 無法檢定") << row;
}

TEST(NetworkAnalysisWindow, ANetworkThatCannotBeAnalysedIsShownWithItsNames) {
  struct Case {
    const char* what;
    std::vector<DatRow> dat;
    std::vector<CoodRow> cood;
    QStringList said;
  };
  std::vector<DatRow> zeroDistance = kPlantedRows;
  zeroDistance[2].distance = 0.0;
  const std::vector<Case> cases = {
      {"no known point", kPlantedRows, {}, {"這個網形無法平差", "no known point", "相關點號（7 點）", "BM1, A, B", "勾選「自由網」"}},
      {"a known point in no part with observations", kPlantedRows, {{"Z9", 5.0, 0.0}},
       {"這個網形無法平差", "相關點號", "勾選「自由網」"}},
      {"a distance of 0", zeroDistance, kPlantedKnown, {"平差資料庫的資料有誤", "table dat, row 3", "距離"}},
      {"no observation at all", {}, kPlantedKnown, {"平差資料庫的資料有誤", "no observation"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AnalysisWindowFixture f;
    writeRows(f.database, c.dat, c.cood);
    f.analyse();
    EXPECT_FALSE(f.window->result());
    const QString problem = f.window->problemText();
    for (const QString& words : c.said) EXPECT_TRUE(problem.contains(words)) << problem.toStdString();
    EXPECT_FALSE(f.window->tabs().isVisibleTo(f.window.get()));
    EXPECT_FALSE(f.find<QPushButton>("ExportAnalysis")->isEnabled());
    EXPECT_FALSE(f.find<QPushButton>("PrintAnalysis")->isEnabled());
    EXPECT_TRUE(f.messages.shown.empty());
  }

  // Without known points, the free network can be analysed: the tables come back.
  AnalysisWindowFixture f;
  writeRows(f.database, kPlantedRows, {});
  f.analyse();
  ASSERT_FALSE(f.window->problemText().isEmpty());
  f.find<QCheckBox>("FreeNetwork")->setChecked(true);
  f.recompute();
  ASSERT_TRUE(f.window->result());
  EXPECT_TRUE(f.window->problemText().isEmpty());
  EXPECT_EQ(f.table("PointsTable")->model()->rowCount(), 7);

  // A second part without a known point: marked in the checks, its heights undetermined.
  AnalysisWindowFixture parts;
  std::vector<DatRow> twoParts = kPlantedRows;
  twoParts.push_back({"X1", "X2", 0.1, 0.5, 0.003});
  writeRows(parts.database, twoParts, kPlantedKnown);
  parts.analyse();
  ASSERT_TRUE(parts.window->result()) << parts.window->problemText().toStdString();
  QTableView* partTable = parts.table("PartsTable");
  ASSERT_EQ(partTable->model()->rowCount(), 2);
  EXPECT_EQ(cell(partTable, 0, "高程基準"), "✔ 有已知點");
  EXPECT_EQ(cell(partTable, 1, "高程基準"), "✘ 無已知點：X1, X2");
  QTableView* points = parts.table("PointsTable");
  EXPECT_EQ(cell(points, 7, "點號"), "X1");
  EXPECT_EQ(cell(points, 7, "判定"), "✘ 無高程基準");
}

// The picture zooms (buttons, wheel at the cursor) and pans (drag) without picking anything;
// names are written once the picture is large enough; 全圖 brings back the whole network.
TEST(NetworkAnalysisWindow, ThePictureZoomsAndPansWithoutPickingAnything) {
  AnalysisWindowFixture f;
  writeRows(f.database, kPlantedRows, kPlantedKnown);
  f.window->show();
  f.analyse();
  f.window->tabs().setCurrentIndex(AnalysisTabs::Picture);
  NetworkPicture& picture = f.window->tabs().picture();
  ASSERT_TRUE(QTest::qWaitFor([&] { return picture.isLaidOut(); }, kRunWaitMs));
  NetworkPictureView& view = picture.view();
  const QPointF bm1 = *picture.drawing()->placeOfPoint(pointNamed(*f.window->result(), "BM1"));
  const QPointF centre(view.width() / 2.0, view.height() / 2.0);
  const QPointF fitted = view.toCanvas(bm1);
  const double fittedScale = view.scale();
  auto near = [](QPointF a, QPointF b) { return std::hypot(a.x() - b.x(), a.y() - b.y()) < 0.5; };

  f.find<QPushButton>("ZoomIn")->click();
  EXPECT_DOUBLE_EQ(view.scale(), fittedScale * 1.5);
  EXPECT_TRUE(near(view.toCanvas(bm1) - centre, (fitted - centre) * 1.5));

  // The wheel zooms about the cursor: what is under it stays there.
  const QPointF cursor = view.toCanvas(bm1);
  QWheelEvent wheel(cursor, view.mapToGlobal(cursor), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(&view, &wheel);
  EXPECT_DOUBLE_EQ(view.scale(), fittedScale * 1.5 * 1.25 * 1.25);
  EXPECT_TRUE(near(view.toCanvas(bm1), cursor));

  // A drag moves the picture by as much as the mouse and selects nothing.
  const QPointF before = view.toCanvas(bm1);
  auto send = [&](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, view.mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
  };
  const QPointF start = before;  // starting on a point: a drag, still no pick
  send(QEvent::MouseButtonPress, start, Qt::LeftButton);
  send(QEvent::MouseMove, start + QPointF(20, 10), Qt::LeftButton);
  send(QEvent::MouseMove, start + QPointF(40, 25), Qt::LeftButton);
  send(QEvent::MouseButtonRelease, start + QPointF(40, 25), Qt::NoButton);
  EXPECT_TRUE(near(view.toCanvas(bm1), before + QPointF(40, 25)));
  EXPECT_EQ(f.window->tabs().selectedPoint(), -1);
  EXPECT_EQ(f.window->tabs().selectedObservation(), -1);

  EXPECT_TRUE(view.namesShown());
  for (int i = 0; i < 8; ++i) f.find<QPushButton>("ZoomOut")->click();
  EXPECT_FALSE(view.namesShown());
  f.find<QPushButton>("FitAll")->click();
  EXPECT_DOUBLE_EQ(view.scale(), fittedScale);
  EXPECT_TRUE(near(view.toCanvas(bm1), fitted));
}

// The notes say why level.out may differ in the last digits only when a distance has a fraction
// of a metre, which tarnex's work file rounds away.
TEST(NetworkAnalysisWindow, TheNotesNameTheWholeMetresOfTarnexOnlyWhenADistanceHasAFraction) {
  for (const auto& [distance, noted] : {std::pair{0.050, false}, std::pair{1.234, false}, std::pair{0.0505, true}}) {
    korvane::analysis::AnalysisResult result;
    result.observations.resize(2);
    result.observations[0].distance = 0.1;
    result.observations[1].distance = distance;
    EXPECT_EQ(checkLines(result).contains(kWholeMetreNote), noted) << distance;
  }
}
