// What the network analysis window writes: "匯出" the library's JSON, CSV folder and HTML,
// which read back with the figures the window shows; "列印" the current tab, the picture too.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTextStream>
#include <nlohmann/json.hpp>

#include "analysis_window_support.h"
#include "common/program_folder.h"

using namespace korvane::shell;
using namespace korvane::testing::workbench;

namespace {

QStringList csvLines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {"<missing " + path + ">"};
  QString text = QString::fromUtf8(file.readAll());
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  QStringList lines = text.split('\n', Qt::SkipEmptyParts);
  for (QString& line : lines) line.remove('\r');
  return lines;
}

QString pdfText(const QString& pdf) {
  QProcess pdftotext;
  pdftotext.start("pdftotext", {pdf, "-"});
  if (!pdftotext.waitForFinished(30000)) return "<pdftotext failed>";
  return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

}  // namespace

TEST(NetworkAnalysisExport, WritesTheJsonTheCsvFolderAndTheHtmlWithTheFiguresOfTheWindow) {
  AnalysisWindowFixture f;
  writeRows(f.database, kPlantedRows, kPlantedKnown);
  f.analyse();
  ASSERT_TRUE(f.window->result());
  // The name is offered in the documents folder (not the hidden one of the database), after the
  // project; the dialog offers the three results, and any of their names stands for all three.
  f.dialogs.nextName.clear();
  f.dialogs.cancel = true;
  f.find<QPushButton>("ExportAnalysis")->click();
  EXPECT_FALSE(f.window->isExporting());
  EXPECT_EQ(f.dialogs.offered.fileName, QDir(korvane::documentsFolder()).filePath("示範網.json"));
  EXPECT_TRUE(f.dialogs.offered.filter.startsWith("JSON、HTML 與 CSV 資料夾 (*.json *.html)|"));
  f.dialogs.cancel = false;

  f.dialogs.nextName = f.file("結果.html");
  f.find<QPushButton>("ExportAnalysis")->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !f.window->isExporting(); }, kRunWaitMs));
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_EQ(f.messages.shown[0].kind, "information");
  EXPECT_TRUE(f.messages.shown[0].text.contains(f.file("結果.json"))) << f.messages.shown[0].text.toStdString();

  QFile jsonFile(f.file("結果.json"));
  ASSERT_TRUE(jsonFile.open(QIODevice::ReadOnly));
  const nlohmann::json json = nlohmann::json::parse(jsonFile.readAll().toStdString());
  EXPECT_EQ(json["title"], "示範網");
  ASSERT_EQ(json["observations"].size(), 11u);
  ASSERT_EQ(json["points"].size(), 7u);
  QTableView* observations = f.table("ObservationsTable");
  observations->sortByColumn(columnOf(*observations->model(), "資料列"), Qt::AscendingOrder);
  for (int row = 0; row < 11; ++row) {
    const nlohmann::json& o = json["observations"][row];
    EXPECT_EQ(o["w_fails"].get<bool>(), row == kPlantedObservation) << row;
    EXPECT_EQ(QString::number(o["w"].get<double>(), 'f', 2), cell(observations, row, "w")) << row;
    EXPECT_EQ(QString::fromStdString(o["from"].get<std::string>()), cell(observations, row, "起點"));
  }

  QTableView* points = f.table("PointsTable");
  const QStringList pointRows = csvLines(f.file("結果_csv/points.csv"));
  ASSERT_EQ(pointRows.size(), 8);
  const QStringList header = pointRows[0].split(',');
  for (int row = 0; row < 7; ++row) {
    const QStringList fields = pointRows[row + 1].split(',');
    EXPECT_EQ(fields[header.indexOf("name")], cell(points, row, "點號"));
    EXPECT_EQ(fields[header.indexOf("height_m")], cell(points, row, "平差高程 (m)"));
  }
  EXPECT_EQ(csvLines(f.file("結果_csv/observations.csv")).size(), 12);
  const QStringList loops = csvLines(f.file("結果_csv/loops.csv"));
  ASSERT_EQ(loops.size(), 7);
  EXPECT_EQ(loops.filter(",false").size(), 3);

  QFile html(f.file("結果.html"));
  ASSERT_TRUE(html.open(QIODevice::ReadOnly));
  const QString page = QString::fromUtf8(html.readAll());
  EXPECT_TRUE(page.contains("示範網"));
  EXPECT_TRUE(page.contains("&#10008;"));
  EXPECT_TRUE(page.contains("最可能的粗差：觀測 5（C &rarr; D）")) << page.toStdString();

  // A folder that cannot be made: said with the file's name; the window stays as it was.
  QFile blocker(f.file("blocker"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  f.dialogs.nextName = f.file("blocker/inside");
  f.find<QPushButton>("ExportAnalysis")->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !f.window->isExporting(); }, kRunWaitMs));
  ASSERT_EQ(f.messages.shown.size(), 2u);
  EXPECT_EQ(f.messages.shown[1].kind, "critical");
  EXPECT_TRUE(f.messages.shown[1].text.contains("blocker")) << f.messages.shown[1].text.toStdString();
  EXPECT_EQ(f.messages.shown[1].title, "錯誤");
  EXPECT_TRUE(f.messages.shown[1].text.contains("無法寫入")) << f.messages.shown[1].text.toStdString();
  EXPECT_TRUE(f.messages.shown[1].text.endsWith("：有同名的檔案擋住")) << f.messages.shown[1].text.toStdString();
  EXPECT_TRUE(f.find<QPushButton>("ExportAnalysis")->isEnabled());
}

TEST(NetworkAnalysisPrint, PrintsTheCurrentTabThePictureToo) {
  AnalysisWindowFixture f;
  writeRows(f.database, kPlantedRows, kPlantedKnown);
  f.window->show();
  f.analyse();
  ASSERT_TRUE(f.window->result());
  ASSERT_TRUE(QTest::qWaitFor([&] { return f.window->tabs().picture().isLaidOut(); }, kRunWaitMs));
  struct Case {
    AnalysisTabs::Tab tab;
    QStringList printed;
    QStringList notPrinted;
  };
  const std::vector<Case> cases = {
      {AnalysisTabs::Checks, {"網形分析 - 示範網 － 檢核", "閉合差檢核", "✘ 超限", "✔ 合格", "29.60"}, {"100.49763"}},
      {AnalysisTabs::Results, {"－ 成果", "整體檢定", "100.49763", "已知點（固定）"}, {"29.60"}},
      {AnalysisTabs::Observations, {"－ 觀測", "✘ w τ", "-18.34", "30.11"}, {"100.49763"}},
      {AnalysisTabs::Picture, {"－ 網形圖", "Graphviz", "BM1", "BM2", "檢定未過的觀測"}, {"-18.34"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.tab));
    const QString pdf = f.file("tab.pdf");
    QFile::remove(pdf);
    f.printing.printer().setOutputFormat(QPrinter::PdfFormat);
    f.printing.printer().setOutputFileName(pdf);
    f.window->tabs().setCurrentIndex(c.tab);
    f.find<QPushButton>("PrintAnalysis")->click();
    EXPECT_TRUE(f.messages.shown.empty()) << f.messages.texts().join("; ").toStdString();
    // (pdftotext loses some of the spaces between short words.)
    const QString text = pdfText(pdf).remove(' ');
    for (const QString& words : c.printed) {
      EXPECT_TRUE(text.contains(QString(words).remove(' '))) << words.toStdString() << "\n" << text.toStdString();
    }
    for (const QString& words : c.notPrinted) EXPECT_FALSE(text.contains(words)) << words.toStdString();
  }
}
