// The engine's console window with an engine the test plays: the prompt, the typed answer, the
// engine's lines, the end and the offer of "level.out".

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "shell/engine_console.h"
#include "text/cp950.h"
#include "window_support.h"
#include "workbench_test_support.h"

using namespace korvane::shell;
using namespace korvane::testing::workbench;

namespace {

struct Console {
  PlayedEngine* engine = new PlayedEngine;
  EngineConsoleWindow window{std::unique_ptr<korvane::workbench::EngineProcess>(engine)};
  QStringList opened;
  QTemporaryDir folder;

  Console() {
    window.onOpenReport = [this](const QString& path) {
      opened << path;
      return true;
    };
  }
  QLineEdit* input() { return window.findChild<QLineEdit*>("ConsoleInput"); }
  QPushButton* openReport() { return window.findChild<QPushButton*>("OpenReport"); }
};

QByteArray cp950(const QString& text) { return korvane::text::encodeCp950(text).bytes; }

}  // namespace

TEST(EngineConsole, ShowsThePromptSendsTheTypedAnswerAndOffersTheNewReport) {
  Console c;
  // A played engine needs a program file that exists.
  const QString program = c.folder.filePath("tarnex");
  writeBytes(program, "#!/bin/sh\n");
  QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  c.window.run(program, c.folder.path(), "job.dat");
  ASSERT_EQ(c.engine->started, QStringList{program + u'@' + c.folder.path()});
  EXPECT_EQ(c.input()->text(), "job.dat");
  EXPECT_TRUE(c.input()->isEnabled());
  EXPECT_FALSE(c.openReport()->isEnabled());

  // The prompt arrives in two pieces that split a Big5 character; CR LF ends a line.
  const QByteArray prompt = cp950("\r\n              資料檔名稱(input file name): ");
  c.engine->say(prompt.left(20));
  c.engine->say(prompt.mid(20));
  QTest::keyClicks(c.input(), "x");  // typing replaces the offered name
  QTest::keyClick(c.input(), Qt::Key_Backspace);
  c.input()->insert("水準");  // typed through an input method
  QTest::keyClicks(c.input(), ".dat");
  QTest::keyClick(c.input(), Qt::Key_Return);
  EXPECT_EQ(c.engine->input, cp950("水準.dat\n"));
  EXPECT_TRUE(c.input()->text().isEmpty());
  EXPECT_TRUE(c.window.text().contains("資料檔名稱(input file name): 水準.dat\n")) << c.window.text().toStdString();
  EXPECT_FALSE(c.window.text().contains(u'\r'));

  c.engine->say("normal end O.K\n");
  writeBytes(c.folder.filePath("level.out"), "report");
  c.engine->end(0);
  EXPECT_FALSE(c.input()->isEnabled());
  EXPECT_TRUE(c.window.text().contains("normal end O.K\n"));
  EXPECT_TRUE(c.window.text().contains("結束碼 0"));
  ASSERT_TRUE(c.openReport()->isEnabled());
  c.openReport()->click();
  EXPECT_EQ(c.opened, QStringList{c.folder.filePath("level.out")});
}

TEST(EngineConsole, AReportLeftFromAnEarlierRunIsNotOfferedAndClosingStopsTheEngine) {
  Console c;
  const QString program = c.folder.filePath("tarnex");
  writeBytes(program, "#!/bin/sh\n");
  QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  writeBytes(c.folder.filePath("level.out"), "old report");
  QFile old(c.folder.filePath("level.out"));
  ASSERT_TRUE(old.open(QIODevice::ReadWrite));
  ASSERT_TRUE(old.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
  old.close();
  c.window.run(program, c.folder.path(), QString());
  c.engine->say(" file not exist, please reenter =?\n");
  c.engine->end(1);
  EXPECT_FALSE(c.openReport()->isEnabled());
  EXPECT_TRUE(c.window.text().contains("沒有寫出新的 level.out"));

  // Run again; the window is closed while the engine waits for its answer.
  c.window.run(program, c.folder.path(), QString());
  EXPECT_EQ(c.engine->started.size(), 2);
  c.window.run(program, c.folder.path(), QString());  // still running: not started twice
  EXPECT_EQ(c.engine->started.size(), 2);
  c.window.close();
  EXPECT_TRUE(c.engine->killed);
  EXPECT_FALSE(c.window.console().isRunning());
}
