// The DL-100C conversion tests: one application object on the offscreen platform, and a home,
// documents and program folder of their own, so that no workbook lands in a real folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  QTemporaryDir home;
  if (!home.isValid()) return 2;
  const QByteArray homePath = QFile::encodeName(home.path());
  qputenv("HOME", homePath);
  qputenv("XDG_CONFIG_HOME", homePath + "/.config");
  qputenv("XDG_DATA_HOME", homePath + "/.local/share");
  qputenv("XDG_DOCUMENTS_DIR", homePath + "/Documents");
  qputenv("KORVANE_HOME", homePath + "/korvane");
  qputenv("XDG_RUNTIME_DIR", homePath + "/runtime");
  QDir(home.path()).mkpath(QStringLiteral("korvane"));
  QDir(home.path()).mkpath(QStringLiteral("runtime"));
  QFile::setPermissions(home.filePath(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
