#include "common/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace korvane {
namespace {

QString runningExecutableFolder() {
  if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
  return QDir::currentPath();
}

bool isWritableFolder(const QString& folder) {
  QFileInfo info(folder);
  return info.isDir() && info.isWritable();
}

QString installedShareFolder(const QString& executableFolder) {
  return QDir(executableFolder).filePath(QStringLiteral("../share/korvane"));
}

bool isInstalled(const QString& executableFolder) { return QFileInfo(installedShareFolder(executableFolder)).isDir(); }

}  // namespace

QString writableFolder() { return writableFolderFor(runningExecutableFolder()); }

QString documentsFolder() {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
  return QDir::homePath();
}

QString writableFolderFor(const QString& executableFolder) {
  const QString home = qEnvironmentVariable("KORVANE_HOME");
  if (!home.isEmpty()) {
    QDir().mkpath(home);
    return QDir(home).absolutePath();
  }
  if (!isInstalled(executableFolder) && isWritableFolder(executableFolder)) return executableFolder;
  QString perUser = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  if (perUser.isEmpty()) perUser = QDir::homePath() + QStringLiteral("/.korvane");
  QDir().mkpath(perUser);
  return perUser;
}

QString writableFile(const QString& fileName) {
  return QDir(writableFolder()).filePath(fileName);
}

QString resourceFile(const QString& fileName) { return resourceFileFor(runningExecutableFolder(), fileName); }

QString resourceFileFor(const QString& executableFolder, const QString& fileName) {
  const QStringList candidates = {
      QDir(executableFolder).filePath(fileName),
      QDir(installedShareFolder(executableFolder)).filePath(fileName),
      QStringLiteral(KORVANE_INSTALLED_SHARE "/") + fileName,
  };
  for (const QString& path : candidates) {
    if (QFileInfo(path).isFile()) return QDir::cleanPath(path);
  }
  return {};
}

}  // namespace korvane
