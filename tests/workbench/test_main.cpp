// The workbench tests run on the offscreen platform with one application object; the database
// and the engine's files go to a temporary program folder (KORVANE_HOME).
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "shell/fonts.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir home;
  qputenv("KORVANE_HOME", home.path().toLocal8Bit());
  QApplication app(argc, argv);
  korvane::shell::installFontSubstitutes();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
