// GUI tests run on the offscreen platform with one application object.
#include <gtest/gtest.h>

#include <QApplication>

#include "shell/fonts.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  korvane::shell::installFontSubstitutes();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
