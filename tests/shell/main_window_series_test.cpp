#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "shell/window_under_test.h"

using namespace korvane::shell;

namespace {

using Window = korvane::testing::WindowUnderTest<>;

}  // namespace

TEST(SeriesChoice, TotalStationEnablesDownloadAndUpload) {
  Window w;
  w.find<QComboBox>("ComboParity")->setCurrentText("7bit/Even");
  w.find<QRadioButton>("SSOptionY")->setChecked(true);
  w.choose("GTS-210/220/310/Gpt1000/2000系列");
  EXPECT_TRUE(w.enabled("cDownload"));
  EXPECT_TRUE(w.enabled("cUpload"));
  EXPECT_FALSE(w.enabled("cDownloadBreak"));
  EXPECT_FALSE(w.enabled("cUploadBreak"));
  EXPECT_EQ(w.find<QComboBox>("ComboParity")->currentText(), "8bit/None");
  EXPECT_TRUE(w.find<QRadioButton>("SSOptionX")->isChecked());
  EXPECT_FALSE(w.find<QLabel>("LabelAtetion")->isHidden());
  EXPECT_FALSE(w.find<QLabel>("ImageLogo")->isHidden());
  EXPECT_FALSE(w.find<QLabel>("Animation1")->isHidden());
  EXPECT_TRUE(w.find<QRadioButton>("SSOptionCode")->isHidden());
  EXPECT_TRUE(w.find<QPushButton>("cConection")->isHidden());
  EXPECT_TRUE(w.messages.shown.empty());
}

TEST(SeriesChoice, LevelClosesAnOpenPortPresetsItsFramingAndLeavesUploadOff) {
  Window w;
  w.choose("GTS-600/700/800系列");
  w.find<QComboBox>("ComboStopBit")->setCurrentText("2");
  w.find<QPushButton>("cConection")->click();
  ASSERT_TRUE(w.port.isOpen());
  EXPECT_EQ(w.icon(), "recycle2.ico");

  w.choose("DL-100C系列");
  EXPECT_FALSE(w.port.isOpen());
  EXPECT_EQ(w.icon(), "recycle.ico");
  EXPECT_EQ(w.find<QComboBox>("ComboParity")->currentText(), "7bit/None");
  EXPECT_EQ(w.find<QComboBox>("ComboStopBit")->currentText(), "1");
  EXPECT_TRUE(w.enabled("cDownload"));
  EXPECT_FALSE(w.enabled("cUpload"));
  EXPECT_FALSE(w.enabled("cUploadOpenFile"));
}

TEST(SeriesChoice, ChoosingTwiceEndsAsChoosingOnce) {
  Window once;
  once.choose("DL-100C系列");
  Window twice;
  twice.choose("DL-100C系列");
  twice.choose("DL-100C系列");
  for (const char* name : {"cDownload", "cDownloadBreak", "cUpload", "cUploadBreak", "cConection", "cUploadOpenFile",
                           "cConectionClose"}) {
    EXPECT_EQ(once.enabled(name), twice.enabled(name)) << name;
  }
  EXPECT_EQ(once.find<QComboBox>("ComboParity")->currentText(), twice.find<QComboBox>("ComboParity")->currentText());
}

TEST(Connection, ConnectAndDisconnect) {
  Window w;
  w.choose("GTS-600/700/800系列");
  w.find<QComboBox>("ComboPort")->setCurrentText("COM2");
  w.find<QComboBox>("ComboBaudRate")->setCurrentText("4800");
  w.find<QComboBox>("ComboParity")->setCurrentText("7bit/Even");
  w.find<QComboBox>("ComboStopBit")->setCurrentText("2");
  w.window.connectPort();
  EXPECT_TRUE(w.port.isOpen());
  EXPECT_EQ(w.port.openedSettings, "4800,E,7,2");
  EXPECT_TRUE(w.find<QLabel>("LabelAtetion")->isHidden());
  EXPECT_TRUE(w.enabled("cConectionClose"));

  w.window.disconnectPort();
  EXPECT_FALSE(w.port.isOpen());
  EXPECT_EQ(w.icon(), "recycle.ico");
  EXPECT_FALSE(w.enabled("cDownload"));
  EXPECT_FALSE(w.enabled("cConectionClose"));
  EXPECT_TRUE(w.enabled("cConection"));
  EXPECT_FALSE(w.find<QLabel>("LabelAtetion")->isHidden());
}

TEST(Connection, PortThatCannotOpenIsReported) {
  Window w;
  w.choose("GTS-600/700/800系列");
  w.port.openError = "無法開啟連接埠 /dev/ttyS0：Permission denied";
  w.window.connectPort();
  ASSERT_EQ(w.messages.shown.size(), 1u);
  EXPECT_EQ(w.messages.shown[0].kind, "critical");
  EXPECT_EQ(w.messages.shown[0].title, "錯誤");
  EXPECT_EQ(w.icon(), "recycle.ico");
}

TEST(Connection, ClosingTheWindowDuringATransferClosesThePort) {
  Window w;
  w.choose("GTS-600/700/800系列");
  w.window.startDownload();
  ASSERT_TRUE(w.port.isOpen());
  ASSERT_TRUE(w.window.downloadTimer().isEnabled());
  w.window.close();
  EXPECT_FALSE(w.port.isOpen());
  EXPECT_FALSE(w.window.downloadTimer().isEnabled());
}
