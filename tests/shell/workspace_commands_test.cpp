#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinterInfo>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>

#include "common/failure.h"
#include "common/program_folder.h"
#include "fakes/recording_messages.h"
#include "fakes/scripted_port.h"
#include "convert/level/dl100c_data.h"
#include "convert/level/level_report.h"
#include "shell/main_window.h"
#include "shell/qt_services.h"
#include "shell/workspace.h"
#include "shell/workspace_commands.h"

using namespace korvane::shell;
using korvane::testing::RecordingMessages;
using korvane::testing::ScriptedPort;

namespace {

const ScreenMetrics kScreen{15360, 11520, 96.0, 96.0};

// A file dialog that answers with the name the test gives, or cancels.
class ScriptedDialogs : public FileDialogs {
 public:
  bool showOpen(CommonDialog& dialog, QWidget*) override { return answer(dialog, "open"); }
  bool showSave(CommonDialog& dialog, QWidget*) override { return answer(dialog, "save"); }

  QString nextName;       // empty: keep the remembered name
  bool cancel = false;
  QStringList offered;    // "open:<name offered>" per use
  QString lastFilter;
  QString lastFolder;

 private:
  bool answer(CommonDialog& dialog, const char* kind) {
    offered << QString::fromLatin1(kind) + u':' + dialog.fileName;
    lastFilter = dialog.filter;
    lastFolder = dialog.initialFolder;
    if (cancel) return false;
    if (!nextName.isEmpty()) dialog.fileName = nextName;
    nextName.clear();
    return true;
  }
};

QByteArray fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

struct Window {
  QTemporaryDir folder;
  RecordingMessages messages;
  ScriptedPort port;
  ScriptedDialogs dialogs;
  QtPrinting printing;
  MainWindow window{messages, port, &kScreen, WindowServices{&dialogs, &printing, nullptr}};

  Window() { qputenv("KORVANE_HOME", folder.path().toUtf8()); }
  ~Window() { qunsetenv("KORVANE_HOME"); }
  QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
  void trigger(const char* name) { window.findChild<QAction*>(QString::fromLatin1(name))->trigger(); }
  QPlainTextEdit* view() { return window.findChild<QPlainTextEdit*>("Text1"); }
};

}  // namespace

TEST(OpenSaveDelete, OpenThenSaveOffersTheSameNameAndDeleteAsksAboutIt) {
  Window w;
  writeBytes(w.path("job.txt"), "P1,100,200,5\r\nP2,110,210,6\r\n");
  w.dialogs.nextName = w.path("job.txt");
  w.trigger("mnuOpen");
  EXPECT_EQ(w.window.windowTitle(), w.path("job.txt"));
  EXPECT_EQ(w.window.workspace().text(), "P1,100,200,5\r\nP2,110,210,6\r\n");
  EXPECT_EQ(w.dialogs.lastFilter, "Text(*.txt)|*.txt|AllFile(*.*)|*.*");
  // The dialog starts in the documents folder, not in the hidden folder of Korvane's own files.
  EXPECT_EQ(QDir(w.dialogs.lastFolder), QDir(korvane::documentsFolder()));

  w.trigger("mnuSave");
  EXPECT_EQ(w.dialogs.offered.last(), "save:" + w.path("job.txt"));
  EXPECT_EQ(w.window.windowTitle(), w.path("job.txt"));

  w.messages.confirmAnswer = false;
  w.trigger("MnuDele");
  EXPECT_EQ(w.messages.shown.back().text, "刪除檔案:" + w.path("job.txt"));
  EXPECT_EQ(w.messages.shown.back().title, "訊息");
  EXPECT_TRUE(QFile::exists(w.path("job.txt")));
  EXPECT_FALSE(w.window.workspace().text().isEmpty());

  w.messages.confirmAnswer = true;
  w.trigger("MnuDele");
  EXPECT_FALSE(QFile::exists(w.path("job.txt")));
  EXPECT_TRUE(w.window.workspace().text().isEmpty());
}

TEST(OpenSaveDelete, SaveRemovesOuterSpacesAndEndsWithCrLf) {
  Window w;
  w.window.workspace().setText("   A,1\r\nB,2  ");
  w.dialogs.nextName = w.path("out.txt");
  w.trigger("mnuSave");
  EXPECT_EQ(fileBytes(w.path("out.txt")), "A,1\r\nB,2\r\n");
  EXPECT_TRUE(w.messages.shown.empty());
}

TEST(OpenSaveDelete, FailedSaveKeepsTheEarlierFileIntact) {
  Window w;
  writeBytes(w.path("keep.txt"), "earlier version\r\n");
  // A target that is a folder cannot be written.
  QDir(w.folder.path()).mkdir("adir");
  w.window.workspace().setText("new text");
  w.dialogs.nextName = w.path("adir");
  w.trigger("mnuSave");
  ASSERT_FALSE(w.messages.shown.empty());
  EXPECT_EQ(w.messages.shown.back().kind, "exclamation");
  EXPECT_EQ(w.messages.shown.back().title, "訊息");
  EXPECT_TRUE(w.messages.shown.back().text.startsWith("存檔錯誤"));
  EXPECT_TRUE(QFileInfo(w.path("adir")).isDir());

  // A folder that cannot be written to: the earlier file stays byte for byte.
  QFile::setPermissions(w.folder.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  const bool folderIsReadOnly = !QFile(w.path("probe")).open(QIODevice::WriteOnly);  // root may write anyway
  w.dialogs.nextName = w.path("keep.txt");
  w.trigger("mnuSave");
  QFile::setPermissions(w.folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  if (folderIsReadOnly) {
    EXPECT_EQ(fileBytes(w.path("keep.txt")), "earlier version\r\n");
    EXPECT_TRUE(w.messages.shown.back().text.startsWith("存檔錯誤"));
  } else {
    EXPECT_EQ(fileBytes(w.path("keep.txt")), "new text\r\n");
  }
}

TEST(OpenSaveDelete, Big5FileRoundTripsByteForByte) {
  Window w;
  const QByteArray big5("\xA5\x5F\xA5\x5F\xC2\x49,2543210.123,187654.321,0\r\n\xF9\xF9\x03\r\n");  // 北北點, ═, ETX
  writeBytes(w.path("big5.txt"), big5);
  w.dialogs.nextName = w.path("big5.txt");
  w.trigger("mnuOpen");
  EXPECT_TRUE(w.window.workspace().text().contains(QChar(0x2550)));
  w.dialogs.nextName = w.path("copy.txt");
  w.trigger("mnuSave");
  EXPECT_EQ(fileBytes(w.path("copy.txt")), big5);
}

TEST(OpenSaveDelete, Utf8FileOutsideBig5IsNotDamaged) {
  Window w;
  const QByteArray utf8 = QString::fromUtf8("Pé,1,2,3\r\n點😀\r\n").toUtf8();
  writeBytes(w.path("utf8.txt"), utf8);
  w.dialogs.nextName = w.path("utf8.txt");
  w.trigger("mnuOpen");
  EXPECT_EQ(w.window.workspace().text(), QString::fromUtf8("Pé,1,2,3\r\n點😀\r\n"));
  w.trigger("mnuSave");  // same name, same encoding
  EXPECT_EQ(fileBytes(w.path("utf8.txt")), utf8);
  EXPECT_TRUE(w.messages.shown.empty());
}

TEST(OpenSaveDelete, CharacterWithoutBig5FormIsRefusedNotReplaced) {
  Window w;
  writeBytes(w.path("old.txt"), "old\r\n");
  w.window.workspace().setText(QString::fromUtf8("P1 é\r\n"));
  w.dialogs.nextName = w.path("old.txt");
  w.trigger("mnuSave");
  ASSERT_FALSE(w.messages.shown.empty());
  EXPECT_TRUE(w.messages.shown.back().text.startsWith("存檔錯誤"));
  EXPECT_TRUE(w.messages.shown.back().text.contains(QString::fromUtf8("é")));
  EXPECT_EQ(fileBytes(w.path("old.txt")), "old\r\n");
}

TEST(OpenSaveDelete, OpenFailureKeepsTheWorkspaceAndCancelChangesNothing) {
  Window w;
  w.window.workspace().setText("kept");
  w.dialogs.nextName = w.path("missing.txt");
  w.trigger("mnuOpen");
  ASSERT_EQ(w.messages.shown.size(), 1u);
  EXPECT_EQ(w.messages.shown[0].kind, "critical");
  EXPECT_EQ(w.messages.shown[0].title, "錯誤");
  EXPECT_TRUE(w.messages.shown[0].text.contains("missing.txt"));
  EXPECT_EQ(w.window.windowTitle(), w.path("missing.txt"));
  EXPECT_EQ(w.window.workspace().text(), "kept");

  w.dialogs.cancel = true;
  w.trigger("mnuSave");
  w.trigger("mnuOpen");
  EXPECT_EQ(w.messages.shown.size(), 1u);
  EXPECT_FALSE(QFile::exists(w.path("missing.txt")));
}

// Whatever replaces the workspace with a text that is not the opened file makes it no file's:
// the caption names the program again and the save dialog offers no name, so the raw data the
// text came from cannot be overwritten by accident.
TEST(WorkspaceFile, ATextThatReplacesTheOpenedFileIsOfferedNoName) {
  const std::pair<const char*, std::function<void(Window&)>> paths[] = {
      {"conversion", [](Window& w) { w.trigger("cCoord"); }},
      {"download",
       [](Window& w) {
         w.window.findChild<QComboBox*>("Combo1")->setCurrentText("GTS-600/700/800系列");
         w.window.chooseSeries();
         w.window.startDownload();
         w.window.interruptDownload();
       }},
      {"upload",
       [](Window& w) {
         w.window.findChild<QComboBox*>("Combo1")->setCurrentText("GTS-600/700/800系列");
         w.window.chooseSeries();
         w.window.startUpload();
         w.window.uploadTick();
         w.window.interruptUpload();
       }},
  };
  for (const auto& [name, replace] : paths) {
    Window w;
    const QByteArray raw = "+P1_ x1000_ y2000_ z3000_\r\n+P2_ x1100_ y2100_ z3100_\r\n";
    writeBytes(w.path("raw.txt"), raw);
    w.dialogs.nextName = w.path("raw.txt");
    w.trigger("mnuOpen");
    ASSERT_EQ(w.window.workspace().fileName(), w.path("raw.txt"));
    w.messages.confirmAnswer = false;
    replace(w);
    EXPECT_NE(w.window.workspace().text().toUtf8(), raw) << name;
    EXPECT_TRUE(w.window.workspace().fileName().isEmpty()) << name;
    EXPECT_EQ(w.window.windowTitle(), "Korvane") << name;
    w.dialogs.cancel = true;
    w.trigger("mnuSave");
    EXPECT_EQ(w.dialogs.offered.last(), "save:") << name;
    EXPECT_EQ(QDir(w.dialogs.lastFolder), QDir(w.folder.path())) << name;
    EXPECT_EQ(fileBytes(w.path("raw.txt")), raw) << name;
    // The remembered name is not lost by the cancelled dialog: delete still asks about it.
    w.trigger("MnuDele");
    EXPECT_EQ(w.messages.shown.back().text, "刪除檔案:" + w.path("raw.txt")) << name;
  }
}

TEST(WorkspaceFile, EditsKeepTheFileAndSavingAsAnotherMakesTheTextThatFiles) {
  Window w;
  writeBytes(w.path("job.txt"), "P1,1,2,3\r\n");
  w.dialogs.nextName = w.path("job.txt");
  w.trigger("mnuOpen");
  w.view()->moveCursor(QTextCursor::End);
  w.view()->insertPlainText("P2,4,5,6");
  w.trigger("mnuSave");
  EXPECT_EQ(w.dialogs.offered.last(), "save:" + w.path("job.txt"));
  EXPECT_EQ(fileBytes(w.path("job.txt")), "P1,1,2,3\r\nP2,4,5,6\r\n");

  w.trigger("cCoord1");  // not coordinate records: the workspace and its file stay
  EXPECT_EQ(w.window.workspace().fileName(), w.path("job.txt"));
  w.window.workspace().setText("report");
  w.dialogs.nextName = w.path("report.txt");
  w.trigger("mnuSave");
  EXPECT_EQ(w.window.workspace().fileName(), w.path("report.txt"));
  EXPECT_EQ(w.window.windowTitle(), w.path("report.txt"));
  w.trigger("mnuSave");
  EXPECT_EQ(w.dialogs.offered.last(), "save:" + w.path("report.txt"));
  EXPECT_EQ(fileBytes(w.path("job.txt")), "P1,1,2,3\r\nP2,4,5,6\r\n");
}

TEST(Clipboard, CutWithEmptySelectionClearsTheClipboardAndChangesNothing) {
  Window w;
  w.window.workspace().setText("A\r\nB");
  QGuiApplication::clipboard()->setText("before");
  w.trigger("mnuCut");
  EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
  EXPECT_EQ(w.window.workspace().text(), "A\r\nB");
}

TEST(Clipboard, CutCopyPasteMoveTheSelectionAsPlainText) {
  Window w;
  w.window.workspace().setText("line1\r\nline2\r\nline3");
  QTextCursor cursor = w.view()->textCursor();
  cursor.setPosition(0);
  cursor.setPosition(11, QTextCursor::KeepAnchor);  // "line1\nline2"
  w.view()->setTextCursor(cursor);
  w.trigger("mnuCopy");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "line1\r\nline2");
  w.trigger("mnuCut");
  EXPECT_EQ(w.window.workspace().text(), "\r\nline3");
  w.view()->moveCursor(QTextCursor::End);
  w.trigger("mnuPaste");
  EXPECT_EQ(w.window.workspace().text(), "\r\nline3line1\r\nline2");
}

TEST(Printing, PdfHoldsTheWorkspaceText) {
  Window w;
  const QString pdf = w.path("out.pdf");
  w.printing.printer().setOutputFormat(QPrinter::PdfFormat);
  w.printing.printer().setOutputFileName(pdf);
  w.window.workspace().setText("KORVANE PRINT TEST\r\nP1,2543210.123,187654.321\r\n");
  w.trigger("cPrint");
  EXPECT_TRUE(w.messages.shown.empty());
  QProcess pdftotext;
  pdftotext.start("pdftotext", {pdf, "-"});
  ASSERT_TRUE(pdftotext.waitForFinished(30000));
  const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
  EXPECT_TRUE(text.contains("KORVANE PRINT TEST")) << qPrintable(text);
  EXPECT_TRUE(text.contains("P1,2543210.123,187654.321")) << qPrintable(text);
}

// On a machine without a printer the first print asks for a PDF file (cancelling prints
// nothing); a print that could not begin leaves the printer free, so the file chosen next in the
// set-up is the one the next print writes. Both the text and the paged prints.
TEST(Printing, WithoutAPrinterThePdfFileIsAskedForAndAFailedPrintLocksNothing) {
  QTemporaryDir folder;
  const std::pair<const char*, std::function<void(QtPrinting&)>> jobs[] = {
      {"text", [](QtPrinting& p) { p.print("KORVANE", QFont()); }},
      {"pages", [](QtPrinting& p) { p.printPages([](QPagedPaintDevice& pages) {
                   QPainter painter;
                   if (!painter.begin(&pages)) throw korvane::Failure("無法開始列印：印表機無法使用");
                   painter.drawText(10, 10, "KORVANE");
                 }); }},
  };
  for (const auto& [name, job] : jobs) {
    SCOPED_TRACE(name);
    QString answer;
    int asked = 0;
    QtPrinting printing([&] {
      ++asked;
      return answer;
    });
    printing.hasSystemPrinter = [] { return false; };
    job(printing);  // cancelled
    EXPECT_EQ(asked, 1);
    answer = folder.filePath(QString(name) + "-first");
    job(printing);
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(QFile::exists(answer + ".pdf"));
    job(printing);  // the file is chosen once
    EXPECT_EQ(asked, 2);

    // A printer the system lists but that cannot print: Qt keeps it active after the failure.
    if (!QPrinterInfo::availablePrinters().isEmpty()) continue;  // this machine can print
    QtPrinting failing;
    failing.hasSystemPrinter = [] { return true; };
    EXPECT_THROW(job(failing), korvane::Failure);
    const QString next = folder.filePath(QString(name) + "-next.pdf");
    failing.printer().setOutputFormat(QPrinter::PdfFormat);
    failing.printer().setOutputFileName(next);
    EXPECT_EQ(failing.printer().outputFileName(), next);
    job(failing);
    EXPECT_TRUE(QFile::exists(next));
  }
}

// Columns on paper: printed in the workspace's fixed-pitch face and size, a report read back with
// `pdftotext -layout` at that pitch has every column (a field after two or more spaces) at the
// place it has in the text, a Chinese character counting two places; at the sizes of the font
// menu, on lines that fit the page.
namespace {

int displayWidth(QStringView text) {
  int width = 0;
  for (const QChar c : text) width += c.unicode() >= 0x2E80 ? 2 : 1;
  return width;
}

// The columns of a line: the fields that open it or follow two spaces or more, each with the
// place it starts at (in the text: Chinese characters two places wide; as pdftotext lays out a
// fixed pitch: one character per place).
std::vector<std::pair<int, QChar>> columnStarts(const QString& line, bool printed) {
  std::vector<std::pair<int, QChar>> starts;
  int place = 0;
  int spaces = 2;
  for (const QChar c : line) {
    if (c == u' ') {
      ++spaces;
    } else {
      if (spaces >= 2) starts.emplace_back(place, c);
      spaces = 0;
    }
    place += printed ? 1 : displayWidth(QStringView(&c, 1));
  }
  return starts;
}

}  // namespace

TEST(Printing, AReportKeepsItsColumnsOnPaper) {
  using namespace korvane::testing::dl100c;
  const QString report = korvane::convert::level::levelReport(kHeader + twoSectionLine() + kEnd, {});
  for (const char* size : {"mnuSize8", "mnuSize12"}) {
    Window w;
    w.trigger(size);
    const QFont font = w.view()->font();
    const double pitch = QFontMetricsF(font).horizontalAdvance(u'0') * 72.0 / w.view()->logicalDpiX();
    const double pageWidth = w.printing.printer().pageLayout().paintRect(QPageLayout::Point).width();
    QStringList lines;
    for (const QString& line : report.split(QStringLiteral("\r\n"))) {
      if (displayWidth(line) * pitch < pageWidth - pitch) lines << line;
    }
    ASSERT_GE(lines.size(), 10) << size;
    const QString pdf = w.path("report.pdf");
    w.printing.printer().setOutputFormat(QPrinter::PdfFormat);
    w.printing.printer().setOutputFileName(pdf);
    w.window.workspace().setText(lines.join(QStringLiteral("\r\n")));
    w.trigger("cPrint");
    ASSERT_TRUE(w.messages.shown.empty()) << size;

    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", "-fixed", QString::number(pitch), pdf, "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    QStringList printed = QString::fromUtf8(pdftotext.readAllStandardOutput()).remove(u'\f').split(u'\n');
    printed.removeIf([](const QString& line) { return line.trimmed().isEmpty(); });
    QStringList expected = lines;
    expected.removeIf([](const QString& line) { return line.trimmed().isEmpty(); });
    ASSERT_EQ(printed.size(), expected.size()) << size << "\n" << printed.join(u'\n').toStdString();
    // The page margin shifts every line alike.
    const int margin = columnStarts(printed[0], true)[0].first - columnStarts(expected[0], false)[0].first;
    for (qsizetype i = 0; i < expected.size(); ++i) {
      const QString where = QStringLiteral("%1 line %2: %3\nprinted: %4").arg(QLatin1String(size)).arg(i).arg(expected[i], printed[i]);
      EXPECT_EQ(QString(printed[i]).remove(u' '), QString(expected[i]).remove(u' ')) << where.toStdString();
      const auto starts = columnStarts(printed[i], true);
      for (const auto& [place, first] : columnStarts(expected[i], false)) {
        const std::pair<int, QChar> wanted{place + margin, first};
        EXPECT_NE(std::find(starts.begin(), starts.end(), wanted), starts.end())
            << "column at " << place << " not in its place; " << where.toStdString();
      }
    }
  }
}
