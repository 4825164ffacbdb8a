// The engine's console window with an engine the test plays: the prompt, the typed answer, the
// engine's lines, the end and the offer of a new "level.out".

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

TEST(EngineConsole, PromptAnswerEndAndTheOfferOfANewReportOnly) {
  QTemporaryDir folder;
  const QString program = folder.filePath("tarnex");  // the played engine needs a program file
  writeBytes(program, "#!/bin/sh\n");
  QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  auto* engine = new PlayedEngine;
  EngineConsoleWindow window{std::unique_ptr<korvane::workbench::EngineProcess>(engine)};
  QStringList opened;
  window.onOpenReport = [&](const QString& path) { return opened << path, true; };
  auto* input = window.findChild<QLineEdit*>("ConsoleInput");
  auto* openReport = window.findChild<QPushButton*>("OpenReport");

  writeBytes(folder.filePath("level.out"), "old report");
  QFile old(folder.filePath("level.out"));
  ASSERT_TRUE(old.open(QIODevice::ReadWrite));
  old.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
  old.close();
  window.run(program, folder.path(), "job.dat");
  ASSERT_EQ(engine->started, QStringList{program + u'@' + folder.path()});
  EXPECT_EQ(input->text(), "job.dat");
  // The prompt arrives in two pieces that split a Big5 character; CR LF ends a line.
  const QByteArray prompt = korvane::text::encodeCp950(u"\r\n       資料檔名稱(input file name): ").bytes;
  engine->say(prompt.left(15));
  engine->say(prompt.mid(15));
  input->clear();
  input->insert("水準");  // typed through an input method
  QTest::keyClicks(input, ".dat");
  QTest::keyClick(input, Qt::Key_Return);
  EXPECT_EQ(engine->input, korvane::text::encodeCp950(u"水準.dat\n").bytes);
  EXPECT_TRUE(window.text().contains("資料檔名稱(input file name): 水準.dat\n")) << window.text().toStdString();
  EXPECT_FALSE(window.text().contains(u'\r'));

  // The report of an earlier run is not offered when the engine writes none.
  engine->end(1);
  EXPECT_FALSE(openReport->isEnabled());
  EXPECT_FALSE(input->isEnabled());

  window.run(program, folder.path(), QString());
  engine->say("normal end O.K\n");
  writeBytes(folder.filePath("level.out"), "report");
  engine->end(0);
  EXPECT_TRUE(window.text().contains("normal end O.K\n\n平差程式已結束（結束碼 0）。"));
  ASSERT_TRUE(openReport->isEnabled());
  openReport->click();
  EXPECT_EQ(opened, QStringList{folder.filePath("level.out")});

  // Closing the window stops an engine still waiting for its answer.
  window.run(program, folder.path(), QString());
  window.close();
  EXPECT_TRUE(engine->killed);
}
