// The workbench form `level_net` through the Main window's menu entries: the database it opens,
// the clear commands, the grids, the engine input file commands and "平差".

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "common/program_folder.h"
#include "fakes/recording_messages.h"
#include "fakes/scripted_port.h"
#include "shell/engine_console.h"
#include "shell/main_window.h"
#include "shell/workbench_window.h"
#include "shell/workspace.h"
#include "workbench/level_import.h"
#include "window_support.h"
#include "workbench_test_support.h"

using namespace korvane::shell;
using namespace korvane::testing::workbench;
using namespace korvane::testing::workbench::dl100c;
using korvane::testing::RecordingMessages;
using korvane::testing::ScriptedPort;

namespace {

const ScreenMetrics kScreen{15360, 11520, 96.0, 96.0};

// The Main window with its own program folder.
struct Window {
  QTemporaryDir home;
  RecordingMessages messages;
  ScriptedPort port;
  ScriptedDialogs dialogs;
  ScriptedModal modal;
  std::unique_ptr<MainWindow> window;

  Window() {
    qputenv("KORVANE_HOME", home.path().toLocal8Bit());
    WindowServices services;
    services.fileDialogs = &dialogs;
    services.modalShow = &modal;
    window = std::make_unique<MainWindow>(messages, port, &kScreen, services);
  }

  QString database() const { return home.filePath("Lnet.mdb"); }
  void trigger(const char* name) {
    QAction* action = window->findChild<QAction*>(QString::fromLatin1(name));
    ASSERT_TRUE(action && action->isEnabled()) << name;
    action->trigger();
  }
  void import(const QString& download) {
    window->workspace().setText(download);
    trigger("MnuLvDataMdb");
  }
  QStringList dat() {
    korvane::workbench::Connection connection(database());
    return tableRows(connection, "dat");
  }
  QStringList cood() {
    korvane::workbench::Connection connection(database());
    return tableRows(connection, "cood");
  }
};

QPushButton* button(WorkbenchWindow& w, const char* name) { return w.findChild<QPushButton*>(name); }
QTableView* grid(WorkbenchWindow& w, const char* name) { return w.findChild<QTableView*>(name); }

// What a grid shows: its rows (without the new-row line), cells joined by "|".
QStringList shown(QTableView* view) {
  QStringList rows;
  QAbstractItemModel* model = view->model();
  for (int row = 0; row + 1 < model->rowCount(); ++row) {
    QStringList cells;
    for (int column = 0; column < model->columnCount(); ++column) cells << model->index(row, column).data().toString();
    rows << cells.join(u'|');
  }
  return rows;
}

const QString kLine = kHeader + lineStart("BM1") + sectionEnd("v", "TP1", "+00013130", "+0050320") +
                      sectionEnd("w", "BM2", "-00111785", "+0059990") + kEnd;

}  // namespace

TEST(WorkbenchWindow, OpensModallyWithItsControlsOnADatabaseCreatedWhenMissing) {
  Window w;
  w.modal.steps = [&](WorkbenchWindow& form) {
    EXPECT_EQ(form.objectName(), "level_net");
    EXPECT_EQ(form.windowTitle(), "水準網平差");
    EXPECT_EQ(form.parentWidget(), w.window.get());
    QStringList captions;
    for (const char* name : {"SSCommand1", "SSCommand2", "SSCommand3", "SSCommand4", "SSCommand5", "SSCommand6"}) {
      captions << button(form, name)->text();
    }
    EXPECT_EQ(captions, QStringList({"結束", "平差資料清除", "已知點資料清除", "平差檔建立", "平差", "資料讀入"}));
    EXPECT_EQ(grid(form, "DataGrid1")->model()->headerData(4, Qt::Horizontal).toString(), "等級(N√K)");
    // ADO_ExecuteSelectSQL: the form's connection when none is given; a failure in a plain box,
    // the grid still bound to the recordset that stayed closed.
    korvane::workbench::Connection* connection = nullptr;
    EXPECT_FALSE(form.ADO_ExecuteSelectSQL(form.observations(), "select * from nowhere", connection));
    EXPECT_EQ(connection, form.connection());
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].kind, "plain");
    EXPECT_EQ(grid(form, "DataGrid1")->model()->rowCount(), 0);
    button(form, "SSCommand1")->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
  };
  w.trigger("mnuLVNet");
  EXPECT_EQ(w.modal.shown, 1);
  EXPECT_TRUE(QFileInfo(w.database()).isFile());
}

TEST(WorkbenchWindow, FailuresOfTheDatabaseAndOfTheImportAreReportedAndShowNoWorkbench) {
  Window w;
  w.import(kHeader + lineStart("BM1") + sectionEnd("v", "TP1", "+00013130", "+0050320"));  // no End-of-data line
  // All or nothing: the section before the failure is not added, and the message says so.
  EXPECT_TRUE(w.dat().isEmpty());
  ASSERT_EQ(w.messages.shown.size(), 1u);
  EXPECT_TRUE(w.messages.shown[0].text.endsWith("平差資料庫沒有加入任何資料。")) << w.messages.shown[0].text.toStdString();
  QFile::remove(w.database());
  writeBytes(w.database(), QByteArray(4096, 'x'));
  w.trigger("mnuLVNet");
  EXPECT_EQ(w.modal.shown, 0);
  ASSERT_EQ(w.messages.shown.size(), 2u);
  for (const auto& message : w.messages.shown) {
    EXPECT_EQ(message.kind, "critical");
    EXPECT_EQ(message.title, "錯誤");
  }
  EXPECT_TRUE(w.messages.shown[1].text.contains(w.database())) << w.messages.shown[1].text.toStdString();
}

TEST(WorkbenchWindow, AnImportWithoutSectionsSaysSoAndShowsNoWorkbench) {
  Window w;
  const QString noSection = kHeader + lineStart("BM1") + kEnd;
  w.import(noSection);
  EXPECT_EQ(w.modal.shown, 0);
  ASSERT_EQ(w.messages.shown.size(), 1u);
  EXPECT_EQ(w.messages.shown[0].kind, "exclamation");
  EXPECT_EQ(w.messages.shown[0].title, "訊息");
  EXPECT_EQ(w.messages.shown[0].text, korvane::workbench::kNoSections);
  EXPECT_TRUE(w.dat().isEmpty());
  EXPECT_EQ(w.window->workspace().text(), noSection);
}

TEST(WorkbenchWindow, ClearAsksAndOnNoLeavesTheTableOnYesClearsOnlyItsOwnTable) {
  Window w;
  w.modal.steps = [&](WorkbenchWindow& form) {
    form.knownPoints().addNew({"BM1", 10.0, 0.0});
    w.messages.yesNoAnswer = false;
    button(form, "SSCommand2")->click();
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].kind, "yesNo");
    EXPECT_EQ(w.messages.shown[0].title, "警告");
    EXPECT_EQ(w.messages.shown[0].text, "確定清除所有資料");
    EXPECT_EQ(shown(grid(form, "DataGrid1")).size(), 2);
    w.messages.yesNoAnswer = true;
    button(form, "SSCommand2")->click();
    EXPECT_TRUE(shown(grid(form, "DataGrid1")).isEmpty());
    EXPECT_EQ(shown(grid(form, "DataGrid2")), QStringList{"BM1|10|0"});
  };
  w.import(kLine);
  EXPECT_TRUE(w.dat().isEmpty());
  EXPECT_EQ(w.cood(), QStringList{"BM1|10|0"});
  w.modal.steps = [&](WorkbenchWindow& form) { button(form, "SSCommand3")->click(); };
  w.trigger("mnuLVNet");
  EXPECT_TRUE(w.cood().isEmpty());
}

// The project name read in is kept with the database: the next opening shows it, and a title
// that would end the file's first list is refused when the file is built.
TEST(WorkbenchWindow, GridsShowTheRowsOfTheImportAndOfAnEarlierReadInAndItsProjectName) {
  Window w;
  const QString file = w.home.filePath("known.dat");
  writeBytes(file, "Job 7\r\n-99\r\nBM1        25.4321   0\r\nBM2        24.3\r\n-99\r\n");
  w.modal.steps = [&](WorkbenchWindow& form) {
    EXPECT_EQ(shown(grid(form, "DataGrid1")), QStringList({"BM1|TP1|0.1313|0.05032|0", "TP1|BM2|-1.11785|0.05999|0"}));
    w.dialogs.nextName = file;
    button(form, "SSCommand6")->click();
    EXPECT_EQ(form.findChild<QLineEdit*>("Text1")->text(), "Job 7");
    EXPECT_EQ(shown(grid(form, "DataGrid2")), QStringList({"BM1|25.4321|0", "BM2|24.3|"}));
  };
  w.import(kLine);
  ASSERT_EQ(w.modal.shown, 1);
  EXPECT_TRUE(w.messages.shown.empty()) << w.messages.texts().join("; ").toStdString();
  w.modal.steps = [&](WorkbenchWindow& form) {
    EXPECT_EQ(form.findChild<QLineEdit*>("Text1")->text(), "Job 7");
    EXPECT_EQ(shown(grid(form, "DataGrid1")).size(), 2);
    EXPECT_EQ(shown(grid(form, "DataGrid2")).size(), 2);
    form.findChild<QLineEdit*>("Text1")->setText("-99");
    w.dialogs.nextName = w.home.filePath("out.dat");
    button(form, "SSCommand4")->click();
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_TRUE(w.messages.shown[0].text.contains("計劃名稱不能是「-99」")) << w.messages.shown[0].text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(w.home.filePath("out.dat")));
  };
  w.trigger("mnuLVNet");
  korvane::workbench::Connection connection(w.database());
  EXPECT_EQ(connection.projectName(), "-99");
}

// "資料讀入" of a file that fails on its last line: the error box names the line, and the grids,
// the tables and the project name stay as they were.
TEST(WorkbenchWindow, AReadInThatFailsChangesNothing) {
  Window w;
  const QString file = w.home.filePath("known.dat");
  writeBytes(file, "Job 7\r\nA         B          1.5\r\n-99\r\nBM1        25.4321   0\r\nBM2        1e999\r\n-99\r\n");
  w.modal.steps = [&](WorkbenchWindow& form) {
    form.findChild<QLineEdit*>("Text1")->setText("Earlier");
    w.dialogs.nextName = file;
    button(form, "SSCommand6")->click();
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].title, "錯誤");
    EXPECT_TRUE(w.messages.shown[0].text.contains("第 5 行第 11-20 欄")) << w.messages.shown[0].text.toStdString();
    EXPECT_TRUE(w.messages.shown[0].text.endsWith("資料庫沒有加入任何資料。")) << w.messages.shown[0].text.toStdString();
    EXPECT_EQ(form.findChild<QLineEdit*>("Text1")->text(), "Earlier");
    EXPECT_EQ(shown(grid(form, "DataGrid1")), QStringList({"BM1|TP1|0.1313|0.05032|0", "TP1|BM2|-1.11785|0.05999|0"}));
    EXPECT_TRUE(shown(grid(form, "DataGrid2")).isEmpty());
  };
  w.import(kLine);
  ASSERT_EQ(w.modal.shown, 1);
  EXPECT_EQ(w.dat().size(), 2);
  EXPECT_TRUE(w.cood().isEmpty());
}

TEST(WorkbenchWindow, CancellingTheFileDialogWritesNothingReadsNothingAndSaysNothing) {
  Window w;
  const QString file = w.home.filePath("job.dat");
  w.modal.steps = [&](WorkbenchWindow& form) {
    w.dialogs.nextName = file;
    button(form, "SSCommand4")->click();  // empty dat
    EXPECT_EQ(w.dialogs.offered.initialFolder, korvane::documentsFolder());  // not the hidden data folder
    ASSERT_EQ(w.messages.texts(), QStringList{"平差資料錯誤"});
    EXPECT_EQ(w.messages.shown[0].title, "錯誤");
    // The dialog remembers the file; the original then wrote or read it again.
    form.observations().addNew({"A", "B", 1.0, 1.0, 0.0});
    form.knownPoints().addNew({"A", 1.0, 0.0});
    w.dialogs.cancel = true;
    button(form, "SSCommand4")->click();
    button(form, "SSCommand6")->click();
    EXPECT_EQ(fileBytes(file), QByteArray());
    EXPECT_EQ(form.observations().recordCount(), 1);
    EXPECT_EQ(w.messages.shown.size(), 1u);
  };
  w.trigger("mnuLVNet");
}

TEST(WorkbenchWindow, BuildingTheFileAddsDatToANameWithoutSuffixSoReadInFindsIt) {
  Window w;
  QTemporaryDir jobs;
  w.modal.steps = [&](WorkbenchWindow& form) {
    form.observations().addNew({"A", "B", 1.0, 1.0, 0.0});
    form.knownPoints().addNew({"A", 1.0, 0.0});
    w.dialogs.nextName = jobs.filePath("job1");
    button(form, "SSCommand4")->click();
    EXPECT_TRUE(QFileInfo(jobs.filePath("job1.dat")).isFile());
    EXPECT_FALSE(QFileInfo::exists(jobs.filePath("job1")));
    // "資料讀入" offers the file just written.
    button(form, "SSCommand6")->click();
    EXPECT_EQ(form.observations().recordCount(), 2);
  };
  w.trigger("mnuLVNet");
  EXPECT_TRUE(w.messages.shown.empty()) << w.messages.texts().join("; ").toStdString();
  EXPECT_EQ(w.window->workbench().session().engineFile, jobs.filePath("job1.dat"));
}

TEST(WorkbenchWindow, AdjustWithoutTheEngineSaysSoOnTheConsoleInTheFolderOfTheLastFile) {
  Window w;
  QTemporaryDir jobs;
  w.modal.steps = [&](WorkbenchWindow& form) {
    form.observations().addNew({"A", "B", 1.0, 1.0, 0.0});
    form.knownPoints().addNew({"A", 1.0, 0.0});
    w.dialogs.nextName = jobs.filePath("job.dat");
    button(form, "SSCommand4")->click();
  };
  w.trigger("mnuLVNet");
  EngineConsoleWindow& console = w.window->workbench().engineConsole();
  QTemporaryDir nowhere;
  WorkbenchWindow form(w.window.get(), {w.messages, w.dialogs, console, w.window->workbench().session(),
                                        w.database(), nowhere.filePath("tarnex")});
  button(form, "SSCommand5")->click();
  EXPECT_TRUE(console.isVisible());
  EXPECT_TRUE(console.text().contains("找不到平差程式 tarnex：" + nowhere.filePath("tarnex"))) << console.text().toStdString();
  EXPECT_FALSE(console.findChild<QLineEdit*>("ConsoleInput")->isEnabled());
  EXPECT_EQ(console.console().workingFolder(), jobs.path());
  console.close();
}
