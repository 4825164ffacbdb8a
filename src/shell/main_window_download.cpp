// The Main window's side of a download: the bytes received shown in the status bar, and the raw
// bytes of the last download saved elsewhere.

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStatusBar>

#include "common/failure.h"
#include "common/program_folder.h"
#include "shell/main_window.h"

namespace korvane::shell {

namespace {

const QString kRawFileFilter = QStringLiteral("Raw(*.raw)|*.raw|AllFile(*.*)|*.*");

}  // namespace

void MainWindow::showDownloadProgress(qint64 bytesReceived) {
  if (bytesReceived < 0) {
    statusBar()->clearMessage();
  } else {
    statusBar()->showMessage(QStringLiteral("下載中：已接收 %1 位元組").arg(bytesReceived));
  }
}

void MainWindow::saveRawDownload() {
  const QString source = writableFile(link::kLastDownloadRawFile);
  if (!QFileInfo(source).isFile()) {
    messages_.information(kTitleMessage, QStringLiteral("還沒有下載過資料，沒有原始資料可儲存。"));
    return;
  }
  rawDialog_.filter = kRawFileFilter;
  if (rawDialog_.initialFolder.isEmpty()) rawDialog_.initialFolder = documentsFolder();
  if (!services_.fileDialogs->showSave(rawDialog_, this) || rawDialog_.fileName.isEmpty()) return;
  const auto failure = attempt([&] {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) throw Failure(QStringLiteral("無法讀取 %1：%2").arg(source, in.errorString()));
    const QByteArray bytes = in.readAll();
    QSaveFile out(rawDialog_.fileName);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
      throw Failure(QStringLiteral("無法寫入 %1：%2").arg(rawDialog_.fileName, out.errorString()));
    }
  });
  if (failure) messages_.critical(kTitleError, *failure);
}

}  // namespace korvane::shell
