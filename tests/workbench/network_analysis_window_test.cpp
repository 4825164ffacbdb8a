// The network analysis window on a small network with a planted error: the loops through the
// bad section fail their tolerance and say so in colour and in words, the bad observation is
// flagged, and the picture picks it (and a benchmark) for the tables. The options change what
// a recomputation finds; a network that cannot be analysed is shown with its points, not as
// empty tables. In a large network the most likely gross error leads the table and the picture,
// and every text of the window is Chinese.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFont>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
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

  // 觀測: only the planted one is flagged; it stands first, as the most likely gross error, and
  // the others follow in the order of the data.
  QTableView* observations = f.table("ObservationsTable");
  ASSERT_EQ(observations->model()->rowCount(), 11);
  for (int row = 0; row < 11; ++row) {
    const bool planted = row == 0;
    EXPECT_EQ(cell(observations, row, "判定").startsWith("✘"), planted) << row;
    EXPECT_EQ(cell(observations, row, "判定") == "✔", !planted) << row;
    EXPECT_EQ(cell(observations, row, "資料列").toInt(), planted ? 5 : row < 5 ? row : row + 1) << row;
  }
  EXPECT_EQ(cell(observations, 0, "判定"), "✘ w τ：最可能的粗差");
  EXPECT_TRUE(cellRole(observations, 0, "起點", Qt::FontRole).value<QFont>().bold());
  EXPECT_TRUE(cellRole(observations, 0, "w", Qt::ToolTipRole).toString().startsWith("最可能的粗差"));
  EXPECT_FALSE(cellRole(observations, 1, "起點", Qt::FontRole).isValid());
  EXPECT_TRUE(f.find<QLabel>("GlobalTest")->text().contains("✘ 最可能的粗差：觀測 C → D（第 5 列），|w| = 7.83 > 3.29"))
      << f.find<QLabel>("GlobalTest")->text().toStdString();

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
         QTableView* observations = f.table("ObservationsTable");
         EXPECT_EQ(cell(observations, kPlantedObservation, "判定"), "✘ 移除（第 1 步）");
         EXPECT_EQ(cell(observations, kPlantedObservation, "資料列"), "5");  // nothing flagged: the data's order
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
  // The first click on a statistic's header puts its largest magnitude first; one on 資料列 the
  // data's order.
  QHeaderView* header = observations->horizontalHeader();
  auto clickHeader = [&](const char* caption) {
    const int column = columnOf(*observations->model(), caption);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2));
  };
  clickHeader("資料列");
  EXPECT_EQ(cell(observations, 0, "資料列"), "1");
  EXPECT_EQ(cell(observations, 4, "資料列"), "5");
  clickHeader("w");
  EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
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
      {"no known point", kPlantedRows, {}, {"這個網形無法平差", "沒有已知點", "相關點號（7 點）", "BM1, A, B", "勾選「自由網」"}},
      {"a known point in no part with observations", kPlantedRows, {{"Z9", 5.0, 0.0}},
       {"這個網形無法平差", "相關點號", "勾選「自由網」"}},
      {"a distance of 0", zeroDistance, kPlantedKnown, {"平差資料庫的資料有誤", "資料表 dat 第 3 列", "距離 0 km 無法定權"}},
      {"no observation at all", {}, kPlantedKnown, {"平差資料庫的資料有誤", "沒有可平差的觀測"}},
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

// A 50 mm error in a grid of 400 points flags a group of observations around it. The planted
// one leads the 觀測 tab as the most likely gross error, the other flagged ones follow by
// descending |w|, then the rest in the data's order. In the picture the flagged lines widen with
// |w|, the planted one widest and on top of them, and the loops beyond tolerance are drawn above
// every line, so that they stay in view.
TEST(NetworkAnalysisWindow, APlantedErrorInALargeNetworkLeadsTheTableAndThePicture) {
  constexpr int kSide = 20;
  auto name = [](int r, int c) { return QStringLiteral("P%1-%2").arg(r).arg(c); };
  auto height = [](int r, int c) { return 100.0 + 0.013 * r + 0.007 * c; };
  std::vector<DatRow> dat;
  int planted = -1;
  for (int r = 0; r < kSide; ++r) {
    for (int c = 0; c < kSide; ++c) {
      const double noise = 0.0002 * ((r * 7 + c * 3) % 5 - 2);  // up to 0.4 mm
      if (c + 1 < kSide) {
        if (r == 10 && c == 10) planted = int(dat.size());
        dat.push_back({name(r, c), name(r, c + 1), height(r, c + 1) - height(r, c) + noise + (r == 10 && c == 10 ? 0.05 : 0.0),
                       0.5, 0.003});
      }
      if (r + 1 < kSide) dat.push_back({name(r, c), name(r + 1, c), height(r + 1, c) - height(r, c) - noise, 0.5, 0.003});
    }
  }
  AnalysisWindowFixture f;
  writeRows(f.database, dat, {{name(0, 0), height(0, 0), 0.0}, {name(19, 19), height(19, 19), 0.0}});
  f.analyse();
  ASSERT_TRUE(f.window->result()) << f.window->problemText().toStdString();
  const auto& result = *f.window->result();
  int flagged = 0;
  for (const auto& o : result.observations) flagged += observationFails(o);
  ASSERT_GE(flagged, 3);

  QTableView* observations = f.table("ObservationsTable");
  EXPECT_EQ(cell(observations, 0, "資料列").toInt(), planted + 1);
  EXPECT_TRUE(cell(observations, 0, "判定").endsWith("最可能的粗差"));
  for (int row = 1; row < observations->model()->rowCount(); ++row) {
    SCOPED_TRACE(row);
    const bool fails = cell(observations, row, "判定").startsWith("✘");
    EXPECT_EQ(fails, row < flagged);
    EXPECT_FALSE(cell(observations, row, "判定").contains("最可能的粗差"));
    if (row < flagged) {
      EXPECT_GE(std::abs(cell(observations, row - 1, "w").toDouble()), std::abs(cell(observations, row, "w").toDouble()));
    } else if (row > flagged) {
      EXPECT_LT(cell(observations, row - 1, "資料列").toInt(), cell(observations, row, "資料列").toInt());
    }
  }
  EXPECT_TRUE(f.window->statusText().contains("最可能的粗差 P10-10 → P10-11")) << f.window->statusText().toStdString();

  NetworkPicture& picture = f.window->tabs().picture();
  ASSERT_TRUE(QTest::qWaitFor([&] { return picture.isLaidOut(); }, kRunWaitMs)) << picture.statusText().toStdString();
  const NetworkDrawing& drawing = *picture.drawing();
  const std::vector<LineStroke> strokes = drawing.strokes(1.0);
  // The largest |w| of each line's observations.
  auto lineW = [&](int line) {
    double largest = 0.0;
    for (int o : drawing.graph().lines[line].observations) largest = std::max(largest, std::abs(result.observations[o].test.w.value_or(0.0)));
    return largest;
  };
  int lastFlagged = -1, firstClosure = int(strokes.size()), closuresOverFlagged = 0;
  std::vector<int> flaggedLines;
  for (int i = 0; i < int(strokes.size()); ++i) {
    if (strokes[i].state == LineState::Flagged) {
      lastFlagged = i;
      flaggedLines.push_back(strokes[i].line);
    }
    if (strokes[i].state == LineState::FailingClosure) {
      firstClosure = std::min(firstClosure, i);
      closuresOverFlagged += std::count(flaggedLines.begin(), flaggedLines.end(), strokes[i].line) > 0;
    }
  }
  ASSERT_GE(int(flaggedLines.size()), 2);
  EXPECT_LT(lastFlagged, firstClosure) << "a loop beyond tolerance drawn under a flagged line";
  EXPECT_GT(closuresOverFlagged, 0);
  EXPECT_EQ(strokes[lastFlagged].line, drawing.mostLikelyLine());
  EXPECT_EQ(drawing.graph().lines[drawing.mostLikelyLine()].observations, std::vector<int>{planted});
  for (const LineStroke& a : strokes) {
    for (const LineStroke& b : strokes) {
      if (a.state != LineState::Flagged || b.state != LineState::Flagged || a.line == b.line) continue;
      if (b.line == drawing.mostLikelyLine()) {
        EXPECT_GT(b.pen.widthF(), a.pen.widthF());
      }
      if (lineW(a.line) < lineW(b.line)) {
        EXPECT_LE(a.pen.widthF(), b.pen.widthF()) << lineW(a.line) << " " << lineW(b.line);
      }
    }
  }
  for (const LineStroke& s : strokes) {
    if (s.state == LineState::Normal) {
      EXPECT_LT(s.pen.widthF(), strokes[lastFlagged].pen.widthF());
    }
  }
}

namespace {

// The words of two or more Latin letters in `text` other than units, the names of methods and
// programs, and the point names of the networks below.
QStringList englishWords(const QString& text) {
  static const QSet<QString> kAllowed = {"mm", "km", "MDB", "Baarda", "Pope", "Graphviz", "tarnex", "Pv", "BM"};
  static const QRegularExpression kWord(QStringLiteral("[A-Za-z]{2,}"));
  QStringList found;
  for (auto it = kWord.globalMatch(text); it.hasNext();) {
    const QString word = it.next().captured();
    if (!kAllowed.contains(word)) found << word;
  }
  return found;
}

// Every text the window shows: labels, buttons, choices, tabs, table headers and cells with their
// tooltips, the legend.
QStringList windowTexts(NetworkAnalysisWindow& window) {
  QStringList texts = {window.windowTitle(), window.statusText(), window.problemText(), legendText()};
  for (const QLabel* label : window.findChildren<QLabel*>()) texts << label->text() << label->toolTip();
  for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) texts << button->text() << button->toolTip();
  for (const QComboBox* box : window.findChildren<QComboBox*>()) {
    for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
    texts << box->toolTip();
  }
  for (const QDoubleSpinBox* box : window.findChildren<QDoubleSpinBox*>()) texts << box->suffix() << box->toolTip();
  for (const QLineEdit* edit : window.findChildren<QLineEdit*>()) texts << edit->placeholderText() << edit->toolTip();
  for (int i = 0; i < window.tabs().count(); ++i) texts << window.tabs().tabText(i);
  for (const QTableView* view : window.findChildren<QTableView*>()) {
    const QAbstractItemModel& model = *view->model();
    for (int column = 0; column < model.columnCount(); ++column) {
      texts << model.headerData(column, Qt::Horizontal).toString()
            << model.headerData(column, Qt::Horizontal, Qt::ToolTipRole).toString();
      for (int row = 0; row < model.rowCount(); ++row) {
        texts << model.index(row, column).data().toString() << model.index(row, column).data(Qt::ToolTipRole).toString();
      }
    }
  }
  return texts;
}

}  // namespace

// The window speaks Traditional Chinese only, the notes and verdicts of the analysis too: under
// distance weighting without an a-priori σ₀ the global test names the window's own control.
TEST(NetworkAnalysisWindow, EveryTextIsInChinese) {
  std::vector<DatRow> distanceRows = kPlantedRows;
  for (DatRow& row : distanceRows) row.grade = 0.0;
  struct Case {
    const char* what;
    std::vector<DatRow> dat;
    std::vector<CoodRow> cood;
    std::function<void(AnalysisWindowFixture&)> set;
  };
  const std::vector<Case> cases = {
      {"grade weighting, a planted error, snooping", kPlantedRows, kPlantedKnown,
       [](AnalysisWindowFixture& f) { f.find<QCheckBox>("Snoop")->setChecked(true); }},
      {"distance weighting without an a-priori σ₀, a weighted benchmark", distanceRows,
       {{"BM1", 100.0, 0.0}, {"BM2", 102.0, 0.005}}, [](AnalysisWindowFixture&) {}},
      {"a free network", kPlantedRows, kPlantedKnown,
       [](AnalysisWindowFixture& f) { f.find<QCheckBox>("FreeNetwork")->setChecked(true); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AnalysisWindowFixture f;
    writeRows(f.database, c.dat, c.cood);
    c.set(f);
    f.analyse();
    ASSERT_TRUE(f.window->result()) << f.window->problemText().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.window->tabs().picture().isLaidOut(); }, kRunWaitMs));
    ASSERT_FALSE(f.window->result()->notes.empty() && f.window->result()->global.reason.empty() &&
                 f.window->result()->snooping.empty());
    for (const QString& text : windowTexts(*f.window)) {
      EXPECT_TRUE(englishWords(text).isEmpty()) << text.toStdString();
    }
  }
  AnalysisWindowFixture f;
  writeRows(f.database, distanceRows, kPlantedKnown);
  f.analyse();
  ASSERT_TRUE(f.window->result());
  EXPECT_TRUE(f.find<QLabel>("GlobalTest")->text().contains("整體檢定：無法檢定（沒有先驗 σ₀：距離定權須給定先驗 σ₀"))
      << f.find<QLabel>("GlobalTest")->text().toStdString();
}
