#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/program_folder.h"

using namespace korvane;

TEST(ProgramFolder, KorvaneHomeWinsAndIsCreated) {
  QTemporaryDir folder;
  const QString home = folder.filePath("nested/home");
  qputenv("KORVANE_HOME", home.toUtf8());
  EXPECT_EQ(writableFolder(), QDir(home).absolutePath());
  EXPECT_TRUE(QDir(home).exists());
  EXPECT_EQ(writableFile("Lnet.mdb"), QDir(home).filePath("Lnet.mdb"));
  qunsetenv("KORVANE_HOME");
}

TEST(ProgramFolder, WritableExecutableFolderComesNext) {
  qunsetenv("KORVANE_HOME");
  EXPECT_EQ(writableFolder(), QCoreApplication::applicationDirPath());
}

TEST(ProgramFolder, ResourcesAreFoundBesideTheExecutableOrNotAtAll) {
  // The build copies the icons and the clip beside the programs.
  EXPECT_EQ(resourceFile("recycle.ico"), QDir(QCoreApplication::applicationDirPath()).filePath("recycle.ico"));
  EXPECT_FALSE(resourceFile("Send.gif").isEmpty());
  EXPECT_TRUE(resourceFile("no-such-picture.png").isEmpty());
}
