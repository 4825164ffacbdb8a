#include "common/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace korvane {
namespace {

QString executableFolder() {
  if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
  return QDir::currentPath();
}

bool isWritableFolder(const QString& folder) {
  QFileInfo info(folder);
  return info.isDir() && info.isWritable();
}

}  // namespace

QString writableFolder() {
  const QString home = qEnvironmentVariable("KORVANE_HOME");
  if (!home.isEmpty()) {
    QDir().mkpath(home);
    return QDir(home).absolutePath();
  }
  const QString beside = executableFolder();
  if (isWritableFolder(beside)) return beside;
  QString perUser = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  if (perUser.isEmpty()) perUser = QDir::homePath() + QStringLiteral("/.korvane");
  QDir().mkpath(perUser);
  return perUser;
}

QString writableFile(const QString& fileName) {
  return QDir(writableFolder()).filePath(fileName);
}

QString resourceFile(const QString& fileName) {
  const QString exe = executableFolder();
  const QStringList candidates = {
      QDir(exe).filePath(fileName),
      QDir(exe).filePath(QStringLiteral("../share/korvane/") + fileName),
      QStringLiteral(KORVANE_INSTALLED_SHARE "/") + fileName,
  };
  for (const QString& path : candidates) {
    if (QFileInfo(path).isFile()) return QDir::cleanPath(path);
  }
  return {};
}

}  // namespace korvane
