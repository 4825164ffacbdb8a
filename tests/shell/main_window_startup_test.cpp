#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QAbstractItemView>

#include "shell/window_under_test.h"
#include "shell/workspace.h"

using namespace korvane::shell;

namespace {

const ScreenMetrics& kScreen = korvane::testing::kTestScreen;
using Window = korvane::testing::WindowUnderTest<>;

QStringList captions(const QMenu* menu) {
  QStringList list;
  for (const QAction* action : menu->actions()) list << (action->isSeparator() ? QStringLiteral("-") : action->text());
  return list;
}

}  // namespace

TEST(MainWindowStartUp, WorkspaceSizeFollowsTheScreen) {
  const QSize twips = workspaceSizeTwips(kScreen);
  EXPECT_EQ(twips, QSize(14500, 6905));
  Window w;
  const QPlainTextEdit* text1 = w.find<QPlainTextEdit>("Text1");
  ASSERT_TRUE(text1);
  EXPECT_EQ(text1->size(), QSize(kScreen.toPixelsX(14500), kScreen.toPixelsY(6905)));
  EXPECT_EQ(text1->pos(), QPoint(kScreen.toPixelsX(120), kScreen.toPixelsY(3360)));
  // Centred on the screen.
  EXPECT_NEAR(w.window.x() * 2 + w.window.width(), 1024, 1);
  EXPECT_NEAR(w.window.y() * 2 + w.window.height(), 768, 1);
}

TEST(MainWindowStartUp, TransferButtonsOffNoSeriesOptionXSelected) {
  Window w;
  EXPECT_EQ(w.window.windowTitle(), "Korvane");
  for (const char* name : {"cDownload", "cDownloadBreak", "cUpload", "cUploadBreak", "cConection", "cUploadOpenFile",
                           "cConectionClose"}) {
    EXPECT_FALSE(w.find<QPushButton>(name)->isEnabled()) << name;
  }
  const QComboBox* combo1 = w.find<QComboBox>("Combo1");
  EXPECT_EQ(combo1->currentIndex(), -1);
  EXPECT_TRUE(combo1->currentText().isEmpty());
  QStringList items;
  for (int i = 0; i < combo1->count(); ++i) items << combo1->itemText(i);
  EXPECT_EQ(items, QStringList({"GTS-600/700/800系列", "GTS-210/220/310/Gpt1000/2000系列", "DL-100C系列"}));
  EXPECT_TRUE(w.find<QRadioButton>("SSOptionX")->isChecked());
  EXPECT_EQ(w.find<QRadioButton>("SSOptionX")->text(), "Name,X,Y,Z,PCode");
  EXPECT_TRUE(w.window.workspace().text().isEmpty());
  EXPECT_FALSE(w.window.downloadTimer().isEnabled());
  EXPECT_FALSE(w.window.uploadTimer().isEnabled());
  EXPECT_EQ(w.window.unitDivisor(), 10);
  EXPECT_EQ(w.find<QLabel>("ImageConection")->property("iconFile").toString(), "recycle.ico");
}

TEST(MainWindowStartUp, ListsShowTheirInitialTexts) {
  Window w;
  EXPECT_EQ(w.find<QComboBox>("ComboPort")->currentText(), "COM1");
  EXPECT_EQ(w.find<QComboBox>("ComboBaudRate")->currentText(), "9600");
  EXPECT_EQ(w.find<QComboBox>("ComboParity")->currentText(), "8bit/None");
  EXPECT_EQ(w.find<QComboBox>("ComboStopBit")->currentText(), "1");
  QStringList ports;
  const QComboBox* port = w.find<QComboBox>("ComboPort");
  for (int i = 0; i < 3; ++i) ports << port->itemText(i);
  EXPECT_EQ(ports, QStringList({"COM1", "COM2", "COM3"}));
}

TEST(MainWindowStartUp, NineIsTheOnlyCheckedSizeAndNoFontNameIsChecked) {
  Window w;
  EXPECT_TRUE(w.action("mnuSize8")->isChecked());
  for (const char* name : {"mnuSize10", "mnuSize12", "mnuSize18", "mnuMing", "mnuKai"}) {
    EXPECT_FALSE(w.action(name)->isChecked()) << name;
  }
  const QPlainTextEdit* text1 = w.find<QPlainTextEdit>("Text1");
  EXPECT_EQ(text1->font().pointSize(), 9);
  EXPECT_EQ(text1->font().family(), "細明體");
}

TEST(MainWindowStartUp, MenusInOrder) {
  Window w;
  QStringList top;
  for (const QAction* action : w.window.menuBar()->actions()) top << action->text();
  EXPECT_EQ(top, QStringList({"檔案[&F]", "編輯[&E]", "資料轉換[&C]", "字型[&O]", "版本[&A]"}));
  EXPECT_EQ(captions(w.find<QMenu>("mnuFile")),
            QStringList({"開啟舊檔[&O ]", "存檔[&S]", "刪除[&D]", "儲存下載原始資料...", "-", "列表機設定", "列印[&P]", "-",
                         "結束"}));
  EXPECT_EQ(captions(w.find<QMenu>("mnuEdit")), QStringList({"剪下[&T]", "複製[&C]", "貼上[&P]"}));
  EXPECT_EQ(captions(w.find<QMenu>("ConverData")), QStringList({"光波", "電子水準儀"}));
  EXPECT_EQ(captions(w.find<QMenu>("mnuM1")),
            QStringList({"GTS-210/220/310/Gpt1000/2000系列", "-", "GTS-600/700/800系列"}));
  EXPECT_EQ(captions(w.find<QMenu>("mnu200")),
            QStringList({"座標(點號Y,X,Z)", "座標(點號X,Y,Z)", "觀測資料", "地政觀測資料"}));
  EXPECT_EQ(captions(w.find<QMenu>("mnu600")), QStringList({"地政座標(點號Y,X,Z)", "地政觀測資料"}));
  EXPECT_EQ(captions(w.find<QMenu>("mnuDL_100C")),
            QStringList({"資料轉檔", "資料->Excel", "Leica GSI/DiNi M5 水準線", "資料->平差資料庫", "水準網平差"}));
  EXPECT_EQ(captions(w.find<QMenu>("mnuFont")), QStringList({"大小[&S]", "-", "字體[&Y]"}));
  EXPECT_EQ(captions(w.find<QMenu>("mnuSize")), QStringList({"9", "10", "12", "18"}));
  EXPECT_EQ(captions(w.find<QMenu>("mnuStyle")), QStringList({"細明體[&M]", "標楷體[&B]"}));
}

TEST(MainWindowStartUp, FontCommandsMoveTheCheckMark) {
  Window w;
  w.action("mnuSize12")->trigger();
  w.action("mnuSize8")->trigger();
  EXPECT_TRUE(w.action("mnuSize8")->isChecked());
  EXPECT_FALSE(w.action("mnuSize12")->isChecked());
  EXPECT_EQ(w.find<QPlainTextEdit>("Text1")->font().pointSize(), 9);
  w.action("mnuKai")->trigger();
  EXPECT_TRUE(w.action("mnuKai")->isChecked());
  EXPECT_FALSE(w.action("mnuMing")->isChecked());
  EXPECT_EQ(w.find<QPlainTextEdit>("Text1")->font().family(), "標楷體");
}

TEST(Workspace, KeepsTheExactTextUntilTheUserEdits) {
  Window w;
  Workspace& workspace = w.window.workspace();
  const QString exact = QString("A\r\nB\rC\x03\r\n\x04");
  workspace.setText(exact);
  EXPECT_EQ(workspace.text(), exact);
  QPlainTextEdit* view = w.find<QPlainTextEdit>("Text1");
  view->moveCursor(QTextCursor::End);
  view->insertPlainText("\nD");
  EXPECT_EQ(workspace.text(), QString("A\r\nB\r\nC\x03\r\n\x04\r\nD"));
  workspace.setText("fresh");
  EXPECT_EQ(workspace.text(), "fresh");
}

// Every entry of the series and port lists shows whole, in the box and in its drop-down list, and
// the frames widened for them neither overlap nor leave the window.
TEST(MainWindowStartUp, ListsShowTheirLongestEntriesWhole) {
  Window w;
  for (const auto& [name, designWidth] : {std::pair{"Combo1", 3015}, std::pair{"ComboPort", 1455}}) {
    QComboBox* box = w.find<QComboBox>(name);
    EXPECT_GE(box->width(), kScreen.toPixelsX(designWidth)) << name;
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = box->isEditable();
    const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
    for (int i = 0; i < box->count(); ++i) {
      EXPECT_GE(field.width(), box->fontMetrics().horizontalAdvance(box->itemText(i))) << name << ": " << box->itemText(i).toStdString();
      EXPECT_GE(box->view()->minimumWidth(), box->view()->sizeHintForColumn(0)) << name;
    }
  }
  QList<QRect> frames;
  for (const char* name : {"Frame1", "FrameSetting", "FrameFileDownload", "FrameFileUpload"}) {
    const QRect frame = w.find<QWidget>(name)->geometry();
    EXPECT_LT(frame.right(), w.window.width()) << name;
    for (const QRect& other : frames) EXPECT_FALSE(frame.intersects(other)) << name;
    frames << frame;
  }
  // The lists stay inside their frames.
  EXPECT_TRUE(w.find<QWidget>("Frame1")->rect().contains(w.find<QComboBox>("Combo1")->geometry()));
  EXPECT_TRUE(w.find<QWidget>("FrameSetting")->rect().contains(w.find<QComboBox>("ComboPort")->geometry()));
  EXPECT_TRUE(w.find<QWidget>("FrameSetting")->rect().contains(w.find<QLabel>("ImageConection")->geometry()));
}
