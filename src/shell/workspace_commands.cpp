#include "shell/workspace_commands.h"

#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QWidget>

#include "common/failure.h"
#include "common/program_folder.h"
#include "shell/workspace.h"
#include "text/spaces.h"

namespace korvane::shell {
namespace {

QByteArray readFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) throw Failure(QStringLiteral("無法開啟檔案 %1：%2").arg(path, file.errorString()));
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) throw Failure(QStringLiteral("無法讀取檔案 %1：%2").arg(path, file.errorString()));
  return bytes;
}

// Writes the whole file or nothing: a failed save leaves the earlier file as it was.
void writeFileAtomically(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    throw Failure(QStringLiteral("%1：%2").arg(path, file.errorString()));
  }
}

// The view's text with its paragraph breaks as CR LF.
QString withCrLf(QString text) {
  text.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
  return text.replace(u'\n', QStringLiteral("\r\n"));
}

}  // namespace

WorkspaceCommands::WorkspaceCommands(QWidget* window, Workspace& workspace, Messages& messages, FileDialogs& dialogs,
                                     Printing& printing)
    : window_(window), workspace_(workspace), messages_(messages), dialogs_(dialogs), printing_(printing) {}

void WorkspaceCommands::open() {
  dialog_.initialFolder = documentsFolder();
  dialog_.filter = kTextFileFilter;
  if (!dialogs_.showOpen(dialog_, window_) || dialog_.fileName.isEmpty()) return;
  window_->setWindowTitle(dialog_.fileName);
  const auto failure = attempt([&] {
    const text::DecodedText decoded = text::decodeTextFile(readFile(dialog_.fileName));
    workspace_.setText(decoded.text, dialog_.fileName);
    encoding_ = decoded.encoding;
  });
  if (failure) messages_.critical(kTitleError, *failure);
}

void WorkspaceCommands::openForUpload() {
  if (!dialogs_.showOpen(dialog_, window_) || dialog_.fileName.isEmpty()) return;
  const text::DecodedText decoded = text::decodeTextFile(readFile(dialog_.fileName));
  workspace_.setText(decoded.text, dialog_.fileName);
  encoding_ = decoded.encoding;
}

void WorkspaceCommands::save() {
  dialog_.filter = kTextFileFilter;
  // The dialog offers the workspace's own file. A text that is no file's (a report, a download)
  // is offered no name, in the folder of the file last used, so that it is not written over the
  // data it was made from; a cancelled dialog leaves the remembered name as it was.
  CommonDialog offer = dialog_;
  offer.fileName = workspace_.fileName();
  if (offer.fileName.isEmpty()) {
    offer.initialFolder = dialog_.fileName.isEmpty() ? documentsFolder() : QFileInfo(dialog_.fileName).absolutePath();
  }
  if (!dialogs_.showSave(offer, window_)) return;
  dialog_ = offer;
  const auto failure = attempt([&] {
    if (dialog_.fileName.isEmpty()) throw Failure(QStringLiteral("沒有檔案名稱"));
    // The file always ends with CR LF; a text that already ends with one gets no second, so a
    // file opened and saved again stays byte for byte what it was.
    QString text = text::trimSpaces(workspace_.text());
    if (!text.endsWith(QStringLiteral("\r\n"))) text += QStringLiteral("\r\n");
    const text::Cp950Encoding encoded = text::encodeText(text, encoding_);
    if (!encoded.ok()) throw Failure(encoded.describe());
    writeFileAtomically(dialog_.fileName, encoded.bytes);
    workspace_.setFileName(dialog_.fileName);
  });
  if (failure) messages_.exclamation(kTitleMessage, kSaveError + u'\n' + *failure);
}

void WorkspaceCommands::deleteFile() {
  if (!messages_.confirm(kTitleMessage, kDeletePrompt + dialog_.fileName)) return;
  if (!dialog_.fileName.isEmpty() && QFile::exists(dialog_.fileName)) {
    QFile file(dialog_.fileName);
    if (!file.remove()) {
      messages_.critical(kTitleError, QStringLiteral("無法刪除 %1：%2").arg(dialog_.fileName, file.errorString()));
      return;
    }
  }
  workspace_.clear();
}

void WorkspaceCommands::printerSetUp() { printing_.setUp(window_); }

void WorkspaceCommands::print() {
  const auto failure = attempt([&] { printing_.print(workspace_.text(), workspace_.view()->font()); });
  if (failure) messages_.critical(kTitleError, *failure);
}

QString WorkspaceCommands::selectedText() const { return withCrLf(workspace_.view()->textCursor().selectedText()); }

void WorkspaceCommands::cut() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  const QString selected = selectedText();
  if (selected.isEmpty()) return;
  clipboard->setText(selected);
  workspace_.view()->textCursor().removeSelectedText();
}

void WorkspaceCommands::copy() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  const QString selected = selectedText();
  if (!selected.isEmpty()) clipboard->setText(selected);
}

void WorkspaceCommands::paste() {
  QString text = QGuiApplication::clipboard()->text();
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
  workspace_.view()->textCursor().insertText(text);
}

}  // namespace korvane::shell
