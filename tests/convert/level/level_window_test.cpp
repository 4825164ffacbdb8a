// The "電子水準儀" menu entries of the Main window run the DL-100C conversions.

#include <gtest/gtest.h>

#include <QAction>
#include <QDesktopServices>
#include <QStandardPaths>
#include <QUrl>

#include "dl100c_data.h"
#include "fakes/recording_messages.h"
#include "fakes/scripted_port.h"
#include "shell/main_window.h"
#include "shell/workspace.h"
#include "workbook_reader.h"

using namespace korvane::testing::dl100c;
using korvane::shell::MainWindow;
using korvane::shell::ScreenMetrics;
using korvane::testing::RecordingMessages;
using korvane::testing::ScriptedPort;

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

const ScreenMetrics kScreen{15360, 11520, 96.0, 96.0};

struct Window {
  RecordingMessages messages;
  ScriptedPort port;
  MainWindow window{messages, port, &kScreen};

  void trigger(const char* menuName) {
    QAction* action = window.findChild<QAction*>(QString::fromLatin1(menuName));
    ASSERT_TRUE(action) << menuName;
    ASSERT_TRUE(action->isEnabled()) << menuName;
    action->trigger();
  }
};

const QString kDownload = kHeader + lineStart("JOB1", "BM1", "+02543210") + sight("g", "BM1", "+00145230", "+0025340") +
                          sight("j", "TP1", "+00132100", "+0024980") + kEnd;

}  // namespace

TEST(LevelMenu, DataTransferReplacesTheWorkspaceWithTheReport) {
  Window w;
  w.window.workspace().setText(kDownload);
  w.trigger("mnuLvDataTran");
  EXPECT_EQ(w.window.workspace().text(),
            "  JOB:JOB1     起始點:BM1               已知高程:25.43210\r\n"
            "\r\n"
            "點  號     距   離          標   尺   讀   數        高  程\r\n"
            "\r\n"
            "        後 視   前 視     後 視   間 視   前 視\r\n"
            "\r\n"
            "BM1    25.340            1.45230\r\n"
            "TP1              24.980                   1.32100     \r\n");
  EXPECT_TRUE(w.messages.shown.empty());
}

TEST(LevelMenu, DataTransferFailureShowsErrorBoxAndLeavesTheWorkspace) {
  for (const QString& text : {QString(), kHeader + lineStart("JOB1", "BM1", "+02543210"),
                              kHeader + QStringLiteral("c,00,JOB2,    BM12,02444555,\r\n") + kEnd}) {
    Window w;
    w.window.workspace().setText(text);
    w.trigger("mnuLvDataTran");
    EXPECT_EQ(w.window.workspace().text(), text);
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].kind, "critical");
    EXPECT_EQ(w.messages.shown[0].title, "錯誤");
    EXPECT_FALSE(w.messages.shown[0].text.isEmpty());
  }
}

TEST(LevelMenu, OnlyTheEndOfDataLineEmptiesTheWorkspace) {
  Window w;
  w.window.workspace().setText(kEnd);
  w.trigger("mnuLvDataTran");
  EXPECT_EQ(w.window.workspace().text(), "");
}

TEST(LevelMenu, DataToExcelOpensANewWorkbookAndKeepsTheWorkspace) {
  DocumentOpener opener;
  Window w;
  w.window.workspace().setText(kDownload);
  w.trigger("mnuLvDataExcel");
  EXPECT_EQ(w.window.workspace().text(), kDownload);
  ASSERT_EQ(opener.opened.size(), 1);
  EXPECT_TRUE(opener.opened[0].startsWith(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)));
  ASSERT_EQ(w.messages.shown.size(), 1u);
  EXPECT_EQ(w.messages.shown[0].kind, "information");
  EXPECT_EQ(w.messages.shown[0].title, "訊息");
  EXPECT_EQ(w.messages.shown[0].text, "轉換完成");
  const korvane::testing::WorkbookContents contents = korvane::testing::readWorkbook(opener.opened[0]);
  EXPECT_EQ(contents.sheets, QStringList{"DL100水準報表"});
  EXPECT_EQ(contents.row(6), (QStringList{"1:TP1", "3:#24.98", "7:#1.321"}));
}

TEST(LevelMenu, DataToExcelFailureShowsErrorBox) {
  DocumentOpener opener;
  Window w;
  const QString text = kHeader + lineStart("JOB1", "BM1", "+02543210");
  w.window.workspace().setText(text);
  w.trigger("mnuLvDataExcel");
  EXPECT_EQ(w.window.workspace().text(), text);
  ASSERT_EQ(w.messages.shown.size(), 1u);
  EXPECT_EQ(w.messages.shown[0].kind, "critical");
  EXPECT_EQ(w.messages.shown[0].title, "Error");
  ASSERT_EQ(opener.opened.size(), 1);  // the sheet as far as it got
  EXPECT_EQ(korvane::testing::readWorkbook(opener.opened[0]).row(1),
            (QStringList{"2:JOB:JOB1", "4:起始點:BM1", "6:已知高程:25.43210"}));
}

#include "level_window_test.moc"
