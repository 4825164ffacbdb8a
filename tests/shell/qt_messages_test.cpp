// The message boxes on the screen: the harmless answer is the default of a question, and a box
// is as wide as its text, so no character wraps onto a line of its own.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "shell/qt_messages.h"

using korvane::shell::QtMessages;

namespace {

// Acts on the box that `show` opens, while it is open.
void whileOpen(const std::function<void(QMessageBox&)>& act, const std::function<void()>& show) {
  bool acted = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    acted = true;
    act(*box);
    if (box->isVisible()) box->reject();
  });
  show();
  EXPECT_TRUE(acted) << "no box was open";
}

}  // namespace

TEST(QtMessages, EnterAnswersTheDeleteAndClearQuestionsWithNo) {
  QtMessages messages;
  const std::pair<const char*, std::function<bool()>> questions[] = {
      {"confirm", [&] { return messages.confirm("訊息", "刪除檔案:/tmp/job.txt"); }},
      {"askYesNo", [&] { return messages.askYesNo("警告", "確定清除所有資料"); }},
  };
  for (const auto& [name, ask] : questions) {
    bool answer = true;
    whileOpen(
        [&](QMessageBox& box) {
          const QMessageBox::StandardButton harmless =
              std::string(name) == "confirm" ? QMessageBox::Cancel : QMessageBox::No;
          EXPECT_EQ(box.defaultButton(), box.button(harmless)) << name;
          QTest::keyClick(&box, Qt::Key_Return);
        },
        [&] { answer = ask(); });
    EXPECT_FALSE(answer) << name;
  }
}

TEST(QtMessages, ABoxIsAsWideAsItsLongestLine) {
  QtMessages messages;
  const QString texts[] = {
      QStringLiteral("下載完畢"),
      QStringLiteral("目前無法提供系統資訊"),
      QStringLiteral("資料中找不到 GTS-600 系列座標列表的點位列（點號、North、East），沒有轉換任何資料。"),
      QStringLiteral("存檔錯誤\n/home/surveyor/工作/第十二區/水準測量/報表.txt：Permission denied"),
  };
  for (const QString& text : texts) {
    whileOpen(
        [&](QMessageBox& box) {
          auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
          ASSERT_TRUE(label);
          const QFontMetrics metrics(label->font());
          const qsizetype lines = text.count(u'\n') + 1;
          int widest = 0;
          for (const QString& line : text.split(u'\n')) widest = std::max(widest, metrics.horizontalAdvance(line));
          EXPECT_GE(label->width(), widest) << text.toStdString();
          EXPECT_LT(label->height(), (lines + 1) * metrics.lineSpacing()) << text.toStdString();
          EXPECT_LE(box.width(), box.screen()->availableGeometry().width());
        },
        [&] { messages.critical("錯誤", text); });
  }
}

// A box belongs to the window that asked, the active one, so that window stays in front when it
// closes (the analysis window fell behind the Main window); without an active window, to the owner.
TEST(QtMessages, ABoxBelongsToTheActiveWindowElseToItsOwner) {
  QWidget main;
  QWidget analysis;
  QtMessages messages(&main);
  EXPECT_EQ(korvane::shell::boxOwner(&main), &main);
  main.show();
  analysis.show();
  analysis.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&analysis));
  whileOpen([&](QMessageBox& box) { EXPECT_EQ(box.parentWidget(), &analysis); },
            [&] { messages.critical("錯誤", "無法開始列印：印表機無法使用"); });
}
