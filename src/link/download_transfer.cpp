#include "link/download_transfer.h"

#include "common/failure.h"

namespace korvane::link {

QString undecodableBytesNotice(int count) {
  return QStringLiteral("接收的資料中有 %1 個位元組無法以 Big5 (CP950) 解讀，已以「\uFFFD」標示。").arg(count);
}

DownloadTransfer::DownloadTransfer(PortConnection& connection, PollTimer& timer, DownloadSurface& surface)
    : connection_(connection), timer_(timer), surface_(surface), session_(connection.port()) {}

void DownloadTransfer::start() {
  const auto failure = attempt([&] {
    connection_.configure(surface_.portLists());
    const Series series = seriesOf(surface_.seriesText());
    session_.begin(series);
    surface_.setWorkspaceText(QString());
    if (const auto interval = downloadPollInterval(series)) timer_.setInterval(*interval);
    timer_.setEnabled(true);
    surface_.setDownloadBreakEnabled(true);
    surface_.setAnimationPlaying(true);
    surface_.setWorkspaceText(kDownloadWaitingText);
  });
  if (failure) surface_.messages().critical(kTitleError, *failure);
}

void DownloadTransfer::tick() {
  if (inTick_ || !timer_.isEnabled()) return;
  inTick_ = true;
  bool ended = false;
  const auto failure = attempt([&] { ended = session_.tick(surface_.seriesText()); });
  if (failure) {
    fail(*failure);
  } else if (ended) {
    finish();
  }
  inTick_ = false;
}

void DownloadTransfer::finish() {
  surface_.setAnimationPlaying(false);
  surface_.setWorkspaceText(session_.resultText());
  surface_.messages().information(kTitleMessage, kDownloadFinished);
  if (session_.undecodableBytes() > 0) {
    surface_.messages().exclamation(kTitleMessage, undecodableBytesNotice(session_.undecodableBytes()));
  }
  const auto failure = attempt([&] { connection_.close(); });
  timer_.setEnabled(false);
  surface_.setDownloadBreakEnabled(false);
  if (failure) surface_.messages().critical(kTitleError, *failure);
}

void DownloadTransfer::fail(const QString& description) {
  // The port stays open and the workspace keeps the waiting text.
  surface_.setAnimationPlaying(false);
  timer_.setEnabled(false);
  surface_.setDownloadBreakEnabled(false);
  surface_.messages().critical(kTitleError, description);
}

void DownloadTransfer::interrupt() {
  const auto failure = attempt([&] {
    connection_.close();
    timer_.setEnabled(false);
    surface_.setAnimationPlaying(false);
    surface_.messages().information(kTitleMessage, kDownloadInterrupted);
    surface_.setDownloadBreakEnabled(false);
    surface_.setWorkspaceText(QString());
  });
  if (failure) surface_.messages().critical(kTitleError, *failure);
}

}  // namespace korvane::link
