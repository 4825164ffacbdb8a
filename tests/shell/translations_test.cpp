// Qt's own dialogs speak Traditional Chinese once Qt's translations are installed.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include "shell/translations.h"

namespace {

bool hasChinese(const QString& text) {
  return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF; });
}

}  // namespace

TEST(QtTranslations, FileDialogAndMessageBoxButtonsSpeakChinese) {
  QTranslator* translator = korvane::shell::installQtTranslations(*QCoreApplication::instance());
  ASSERT_NE(translator, nullptr) << "Qt's zh_TW translations (qt6-translations-l10n) are not installed";

  QMessageBox box(QMessageBox::Question, "訊息", "刪除檔案:", QMessageBox::Ok | QMessageBox::Cancel);
  EXPECT_TRUE(hasChinese(box.button(QMessageBox::Cancel)->text())) << box.button(QMessageBox::Cancel)->text().toStdString();
  EXPECT_TRUE(hasChinese(box.button(QMessageBox::Ok)->text())) << box.button(QMessageBox::Ok)->text().toStdString();

  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  auto* buttons = dialog.findChild<QDialogButtonBox*>();
  ASSERT_TRUE(buttons);
  for (QAbstractButton* button : buttons->buttons()) EXPECT_TRUE(hasChinese(button->text())) << button->text().toStdString();
  EXPECT_TRUE(hasChinese(dialog.windowTitle())) << dialog.windowTitle().toStdString();

  QCoreApplication::removeTranslator(translator);
  delete translator;
  EXPECT_FALSE(hasChinese(QMessageBox(QMessageBox::Question, "", "", QMessageBox::Cancel).button(QMessageBox::Cancel)->text()));
}
