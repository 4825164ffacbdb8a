#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// An installed layout: PREFIX/bin holds the programs, PREFIX/share/korvane the pictures.
struct InstalledLayout {
  QTemporaryDir root;
  QString bin = root.filePath("usr/bin");
  QString share = root.filePath("usr/share/korvane");
  QString dataHome = root.filePath("home/.local/share");
  QByteArray savedDataHome = qgetenv("XDG_DATA_HOME");

  InstalledLayout() {
    QDir().mkpath(bin);
    QDir().mkpath(share);
    QFile logo(QDir(share).filePath("logo.jpg"));
    logo.open(QIODevice::WriteOnly);
    qputenv("XDG_DATA_HOME", dataHome.toUtf8());
    qunsetenv("KORVANE_HOME");
  }
  ~InstalledLayout() {
    if (savedDataHome.isEmpty()) qunsetenv("XDG_DATA_HOME");
    else qputenv("XDG_DATA_HOME", savedDataHome);
  }
};

TEST(ProgramFolder, InstalledKorvaneWritesToThePerUserFolderEvenWhenItsBinFolderIsWritable) {
  InstalledLayout installed;
  ASSERT_TRUE(QFileInfo(installed.bin).isWritable());  // as for root, or a prefix in the home folder
  const QString written = writableFolderFor(installed.bin);
  EXPECT_TRUE(written.startsWith(installed.dataHome)) << written.toStdString();
  EXPECT_TRUE(QDir(written).exists());
  EXPECT_TRUE(QDir(installed.bin).isEmpty());

  const QString home = installed.root.filePath("chosen");
  qputenv("KORVANE_HOME", home.toUtf8());
  EXPECT_EQ(writableFolderFor(installed.bin), home);
  qunsetenv("KORVANE_HOME");

  QDir(installed.share).removeRecursively();  // a bare folder of programs is no installation
  EXPECT_EQ(writableFolderFor(installed.bin), installed.bin);
}

TEST(ProgramFolder, InstalledKorvaneFindsItsPicturesInShareKorvane) {
  InstalledLayout installed;
  EXPECT_EQ(resourceFileFor(installed.bin, "logo.jpg"), QDir(installed.share).filePath("logo.jpg"));
  EXPECT_TRUE(resourceFileFor(installed.bin, "no-such-picture.png").isEmpty());
}
