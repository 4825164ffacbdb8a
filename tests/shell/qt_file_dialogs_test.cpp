// Qt's file dialog behind the shared file dialog: the remembered name, the initial folder and the
// suffix added to a name typed without one.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "shell/qt_services.h"

using korvane::shell::CommonDialog;

namespace {

// Answers the file dialog that opens: checks it, types `typed` as the name, accepts.
void answerWith(const QString& typed, const std::function<void(QFileDialog&)>& check) {
  QTimer::singleShot(0, [=] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    check(*dialog);
    if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) name->setText(typed);
    QMetaObject::invokeMethod(dialog, "accept");
  });
}

}  // namespace

TEST(QtFileDialogs, SaveAddsTheDefaultSuffixAndStartsAtTheRememberedFile) {
  QTemporaryDir folder;
  korvane::shell::QtFileDialogs dialogs;
  CommonDialog dialog;
  dialog.initialFolder = folder.path();
  dialog.filter = QStringLiteral("*.Dat(*.dat)|*.dat");
  dialog.defaultSuffix = QStringLiteral("dat");
  answerWith("job1", [&](QFileDialog& shown) {
    EXPECT_EQ(shown.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(QDir(shown.directory()), QDir(folder.path()));
    EXPECT_EQ(shown.nameFilters(), QStringList{"*.Dat(*.dat)"});
  });
  ASSERT_TRUE(dialogs.showSave(dialog, nullptr));
  EXPECT_EQ(dialog.fileName, folder.filePath("job1.dat"));

  answerWith("job2.txt", [&](QFileDialog& shown) {
    EXPECT_EQ(QDir(shown.directory()), QDir(folder.path()));
    EXPECT_EQ(shown.selectedFiles().value(0), folder.filePath("job1.dat"));
  });
  ASSERT_TRUE(dialogs.showSave(dialog, nullptr));
  EXPECT_EQ(dialog.fileName, folder.filePath("job2.txt"));
}
