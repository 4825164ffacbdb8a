// The window of the engine's report "level.out": read-only in the fixed-pitch Ming face, saved
// byte for byte, printed in its own face, and usable while the modal workbench is open.

#include <gtest/gtest.h>

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "fakes/recording_messages.h"
#include "fakes/scripted_port.h"
#include "shell/main_window.h"
#include "shell/report_window.h"
#include "shell/workspace.h"

using namespace korvane::shell;
using korvane::testing::RecordingMessages;

namespace {

class AnsweringDialogs : public FileDialogs {
 public:
  bool showOpen(CommonDialog& dialog, QWidget*) override { return answer(dialog); }
  bool showSave(CommonDialog& dialog, QWidget*) override { return answer(dialog); }
  QString nextName;
  QString offered;

 private:
  bool answer(CommonDialog& dialog) {
    offered = dialog.fileName;
    if (nextName.isEmpty()) return false;
    dialog.fileName = nextName;
    return true;
  }
};

class RecordingPrinting : public Printing {
 public:
  void setUp(QWidget* owner) override { setUpOwner = owner; }
  QWidget* setUpOwner = nullptr;
  void print(const QString& text, const QFont& font) override {
    printed = text;
    family = QFontInfo(font).family();
    pointSize = font.pointSize();
  }
  QString printed;
  QString family;
  int pointSize = 0;
};

// A level.out with Big5 text and fixed columns, as tarnex writes it.
const QByteArray kReport("    project name \xAD\x70\xBA\xE2\xA6\x57\xBA\xD9    :\xB4\xFA\xB8\xD5\r\n"
                         "    1      10003      1.000         .0       1.000        1.00000\r\n");

struct ReportFixture {
  QTemporaryDir folder;
  RecordingMessages messages;
  AnsweringDialogs dialogs;
  RecordingPrinting printing;
  ReportWindow window{messages, dialogs, printing};

  QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
  void write(const char* name, const QByteArray& bytes) {
    QFile file(path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  QByteArray read(const char* name) {
    QFile file(path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }
};

}  // namespace

TEST(ReportWindow, ShowsTheReportReadOnlyInTheWorkspacesFixedPitchFace) {
  ReportFixture f;
  f.write("level.out", kReport);
  ASSERT_TRUE(f.window.showFile(f.path("level.out")));
  EXPECT_TRUE(f.window.isVisible());
  EXPECT_TRUE(f.window.isWindow());
  EXPECT_EQ(f.window.parentWidget(), nullptr);
  EXPECT_TRUE(f.window.windowTitle().contains(QDir::toNativeSeparators(f.path("level.out"))));
  auto* view = f.window.findChild<QPlainTextEdit*>("ReportText");
  ASSERT_TRUE(view);
  EXPECT_TRUE(view->isReadOnly());
  EXPECT_TRUE(view->textInteractionFlags() & Qt::TextSelectableByKeyboard);
  EXPECT_EQ(view->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_TRUE(view->toPlainText().startsWith(QStringLiteral("    project name 計算名稱    :測試"))) << view->toPlainText().toStdString();
  EXPECT_EQ(QFontInfo(view->font()).family(), QFontInfo(QFont(QStringLiteral("細明體"))).family());
  // Fixed pitch: a Chinese character is two digits wide, so the report's columns stay.
  const QFontMetrics metrics(view->font());
  EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("計")), 2 * metrics.horizontalAdvance(QStringLiteral("0")));
  EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral(" ")), metrics.horizontalAdvance(QStringLiteral("0")));
  EXPECT_TRUE(f.messages.shown.empty());
  f.window.close();
}

TEST(ReportWindow, SaveAsWritesTheReportByteForByteAndPrintUsesItsFace) {
  ReportFixture f;
  f.write("level.out", kReport);
  ASSERT_TRUE(f.window.showFile(f.path("level.out")));
  f.dialogs.nextName = f.path("job7.out");
  f.window.findChild<QPushButton*>("ReportSaveAs")->click();
  EXPECT_EQ(f.dialogs.offered, f.path("level.out"));
  EXPECT_EQ(f.read("job7.out"), kReport);

  f.window.findChild<QPushButton*>("ReportPrint")->click();
  EXPECT_EQ(f.printing.printed, f.window.text());
  EXPECT_TRUE(f.printing.printed.contains(QStringLiteral("計算名稱")));
  EXPECT_EQ(f.printing.family, QFontInfo(f.window.findChild<QPlainTextEdit*>("ReportText")->font()).family());
  EXPECT_EQ(f.printing.pointSize, 9);
  // The printer set-up is at hand while the workbench hides the Main window's menu.
  f.window.findChild<QPushButton*>("ReportPrinterSetUp")->click();
  EXPECT_EQ(f.printing.setUpOwner, &f.window);
  EXPECT_TRUE(f.messages.shown.empty());
  f.window.close();
}

TEST(ReportWindow, FailuresAreSaidAndLoseNothing) {
  ReportFixture f;
  EXPECT_FALSE(f.window.showFile(f.path("level.out")));
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_EQ(f.messages.shown[0].kind, "critical");
  EXPECT_EQ(f.messages.shown[0].title, "錯誤");
  EXPECT_TRUE(f.messages.shown[0].text.contains(f.path("level.out")));
  EXPECT_FALSE(f.window.isVisible());

  f.write("level.out", kReport);
  f.write("keep.txt", "earlier\r\n");
  ASSERT_TRUE(f.window.showFile(f.path("level.out")));
  ASSERT_TRUE(QDir(f.folder.path()).mkdir("adir"));
  f.dialogs.nextName = f.path("adir");
  f.window.saveAs();
  ASSERT_EQ(f.messages.shown.size(), 2u);
  EXPECT_EQ(f.messages.shown[1].title, "錯誤");
  EXPECT_TRUE(f.messages.shown[1].text.contains(f.path("adir")));
  f.dialogs.nextName.clear();  // cancelled: nothing written
  f.window.saveAs();
  EXPECT_EQ(f.read("keep.txt"), "earlier\r\n");
  EXPECT_EQ(f.messages.shown.size(), 2u);
  f.window.close();
}

// A window-modal dialog over the Main window (as the workbench is shown) blocks the Main window's
// input but not the report's: a click through the window system reaches the report's button.
TEST(ReportWindow, TakesInputWhileAWindowModalDialogBlocksTheMainWindow) {
  ReportFixture f;
  f.write("level.out", kReport);
  RecordingMessages messages;
  korvane::testing::ScriptedPort port;
  const ScreenMetrics screen{15360, 11520, 96.0, 96.0};
  MainWindow main(messages, port, &screen);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  QDialog workbench(&main);
  workbench.setWindowModality(Qt::WindowModal);
  workbench.resize(300, 200);
  workbench.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&workbench));
  ASSERT_TRUE(f.window.showFile(f.path("level.out")));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.window));

  int blockedClicks = 0;
  QObject::connect(main.findChild<QPushButton*>("cDownload"), &QPushButton::pressed, [&] { ++blockedClicks; });
  main.findChild<QPushButton*>("cDownload")->setEnabled(true);
  auto clickThroughWindowSystem = [](QWidget* button) {
    const QPoint centre = button->mapTo(button->window(), button->rect().center());
    QTest::mouseClick(button->window()->windowHandle(), Qt::LeftButton, Qt::NoModifier, centre);
  };
  clickThroughWindowSystem(main.findChild<QPushButton*>("cDownload"));
  EXPECT_EQ(blockedClicks, 0) << "the Main window should be blocked by the window-modal dialog";

  f.dialogs.nextName = f.path("copy.out");
  clickThroughWindowSystem(f.window.findChild<QPushButton*>("ReportSaveAs"));
  EXPECT_EQ(f.read("copy.out"), kReport);
  f.window.close();
  workbench.close();
}
