// The "電子水準儀" menu entries of the Main window run the DL-100C conversions.

#include <gtest/gtest.h>

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QStandardPaths>
#include <QUrl>

#include "dl100c_data.h"
#include "level_lines_data.h"
#include "fakes/recording_messages.h"
#include "fakes/scripted_port.h"
#include "shell/main_window.h"
#include "shell/workspace.h"
#include "workbook_reader.h"

using namespace korvane::testing::dl100c;

// Stands for the desktop's default application: remembers the files it was asked to open.
class DocumentOpener : public QObject {
  Q_OBJECT
 public:
  DocumentOpener() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
  ~DocumentOpener() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
  QStringList opened;
 public slots:
  void open(const QUrl& url) { opened << url.toLocalFile(); }
};

namespace {

const korvane::shell::ScreenMetrics kScreen{15360, 11520, 96.0, 96.0};

struct Window {
  korvane::testing::RecordingMessages messages;
  korvane::testing::ScriptedPort port;
  korvane::shell::MainWindow window{messages, port, &kScreen};

  QString run(const char* menuName, const QString& text) {
    window.workspace().setText(text);
    QAction* action = window.findChild<QAction*>(QString::fromLatin1(menuName));
    EXPECT_TRUE(action && action->isEnabled()) << menuName;
    if (action) action->trigger();
    return window.workspace().text();
  }
};

const QString kDownload = kHeader + lineStart("JOB1", "BM1", "+02543210") + sight("j", "TP1", "+00132100", "+0024980") + kEnd;

}  // namespace

TEST(LevelMenu, DataTransferReplacesTheWorkspaceWithTheReport) {
  Window w;
  EXPECT_EQ(w.run("mnuLvDataTran", kDownload),
            "  JOB:JOB1     起始點:BM1               已知高程:25.43210\r\n\r\n"
            "點  號     距   離          標   尺   讀   數        高  程\r\n\r\n"
            "        後 視   前 視     後 視   間 視   前 視\r\n\r\n"
            "TP1              24.980                   1.32100     \r\n");
  EXPECT_TRUE(w.messages.shown.empty());
}

TEST(LevelMenu, WithoutLevellingRecordsBothEntriesKeepTheWorkspaceAndSaySo) {
  DocumentOpener opener;
  for (const QString& text : {kEnd, kHeader + QStringLiteral("B,01,BM1,\r\nt,00,\r\n") + kEnd}) {
    for (const char* entry : {"mnuLvDataTran", "mnuLvDataExcel"}) {
      Window w;
      EXPECT_EQ(w.run(entry, text), text) << entry;
      ASSERT_EQ(w.messages.shown.size(), 1u) << entry;
      EXPECT_EQ(w.messages.shown[0].kind, "exclamation");
      EXPECT_EQ(w.messages.shown[0].title, "訊息");
      EXPECT_TRUE(w.messages.shown[0].text.startsWith("資料中找不到 DL-100C 的水準記錄")) << w.messages.shown[0].text.toStdString();
    }
  }
  EXPECT_TRUE(opener.opened.isEmpty());
}

TEST(LevelMenu, DataTransferFailureShowsErrorBoxAndLeavesTheWorkspace) {
  for (const QString& text : {QString(), kHeader + lineStart("JOB1", "BM1", "+02543210"),
                              kHeader + QStringLiteral("c,00,JOB2,    BM12,02444555,\r\n") + kEnd}) {
    Window w;
    EXPECT_EQ(w.run("mnuLvDataTran", text), text);
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].kind, "critical");
    EXPECT_EQ(w.messages.shown[0].title, "錯誤");
  }
}

// A number no report can show: the command's error box names the line and the field, the
// workspace stays, and no workbook is made.
TEST(LevelMenu, NumbersNoReportCanShowStopBothCommands) {
  DocumentOpener opener;
  Window w;
  const QString text = kHeader + lineStart("JOB1", "BM1", "+02543210") + sight("j", "TP1", "+1e999", "+0024980") + kEnd;
  for (const auto& [menu, title] : {std::pair{"mnuLvDataTran", "錯誤"}, std::pair{"mnuLvDataExcel", "錯誤"}}) {
    w.messages.shown.clear();
    EXPECT_EQ(w.run(menu, text), text);
    ASSERT_EQ(w.messages.shown.size(), 1u) << menu;
    EXPECT_EQ(w.messages.shown[0].kind, "critical");
    EXPECT_EQ(w.messages.shown[0].title, title);
    EXPECT_TRUE(w.messages.shown[0].text.contains("第 3 行的f1 標尺讀數")) << w.messages.shown[0].text.toStdString();
  }
  EXPECT_TRUE(opener.opened.isEmpty());
}

TEST(LevelMenu, DataToExcelOpensANewWorkbookAndKeepsTheWorkspace) {
  DocumentOpener opener;
  Window w;
  EXPECT_EQ(w.run("mnuLvDataExcel", kDownload), kDownload);
  ASSERT_EQ(opener.opened.size(), 1);
  EXPECT_TRUE(opener.opened[0].startsWith(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)));
  // The desktop's word that it opened the workbook is not taken for it: the path is shown.
  EXPECT_EQ(w.messages.texts(), QStringList{"轉換完成\n活頁簿存於：" + QDir::toNativeSeparators(opener.opened[0])});
  EXPECT_EQ(korvane::testing::readWorkbook(opener.opened[0]).row(5), (QStringList{"1:TP1", "3:#24.98", "7:#1.321"}));

  const QString broken = kHeader + lineStart("JOB1", "BM1", "+02543210");
  EXPECT_EQ(w.run("mnuLvDataExcel", broken), broken);
  ASSERT_EQ(w.messages.shown.size(), 2u);
  EXPECT_EQ(w.messages.shown[1].kind, "critical");
  EXPECT_EQ(w.messages.shown[1].title, "錯誤");
  ASSERT_EQ(opener.opened.size(), 2);  // the sheet as far as it got
  EXPECT_EQ(korvane::testing::readWorkbook(opener.opened[1]).row(1).size(), 3);
}

// "Leica GSI/DiNi M5 水準線": the lines report into the workspace; other text stays and is named.
TEST(LevelMenu, LevellingLinesEntryReportsGsiAndRefusesOtherText) {
  using namespace korvane::testing::levels;
  Window w;
  const QString gsi = QString::fromLatin1(gsiFile({{2, 100, {{"A", "B", {1.5, 1.5}, {1.3, 1.3}, 15, 15}}, {}}}));
  const QString report = w.run("mnuLvLines", gsi);
  EXPECT_TRUE(report.startsWith(QStringLiteral("水準線報表：工作區"))) << report.toStdString();
  EXPECT_TRUE(report.contains(QStringLiteral("BFFB"))) << report.toStdString();
  EXPECT_TRUE(w.messages.shown.empty());

  for (const QString& text : {kDownload, QStringLiteral("110001+00000001 81..00+00005387 82..00-00000992\r\n")}) {
    w.messages.shown.clear();
    EXPECT_EQ(w.run("mnuLvLines", text), text);
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_TRUE(w.messages.shown[0].text.contains(QStringLiteral("GSI"))) << w.messages.shown[0].text.toStdString();
  }
}

#include "level_window_test.moc"
