#include "link/download_transfer.h"

#include "common/failure.h"

namespace korvane::link {

QString undecodableBytesNotice(int count) {
  return QStringLiteral("接收的資料中有 %1 個位元組無法以 Big5 (CP950) 解讀，已以「\uFFFD」標示。").arg(count);
}

QString brokenOffNotice(qint64 keptBytes, const QString& reason) {
  return QStringLiteral("在收到資料結束標記之前，與儀器的連線已中斷，下載未完成。\n"
                        "已保留收到的資料：%1 個位元組。\n原因：%2")
      .arg(keptBytes)
      .arg(reason);
}

DownloadTransfer::DownloadTransfer(PortConnection& connection, PollTimer& timer, DownloadSurface& surface)
    : connection_(connection), timer_(timer), surface_(surface), session_(connection.port()) {}

void DownloadTransfer::start() {
  outcome_ = DownloadOutcome::None;
  const auto failure = attempt([&] {
    connection_.configure(surface_.portLists());
    const Series series = seriesOf(surface_.seriesText());
    session_.begin(series);
    captured_ = 0;
    if (capture_) capture_->begin();
    surface_.setWorkspaceText(QString());
    if (const auto interval = downloadPollInterval(series)) timer_.setInterval(*interval);
    timer_.setEnabled(true);
    outcome_ = DownloadOutcome::Running;
    surface_.setDownloadBreakEnabled(true);
    surface_.setAnimationPlaying(true);
    surface_.setWorkspaceText(kDownloadWaitingText);
    shownBytes_ = 0;
    surface_.showDownloadProgress(0);
  });
  if (failure) surface_.messages().critical(kTitleError, *failure);
}

void DownloadTransfer::tick() {
  if (inTick_ || !timer_.isEnabled()) return;
  inTick_ = true;
  bool ended = false;
  const auto failure = attempt([&] { ended = session_.tick(surface_.seriesText()); });
  captureNewBytes();
  if (failure) {
    breakOff(*failure);
  } else if (ended) {
    finish();
  } else if (session_.bytesReceived() != shownBytes_) {
    shownBytes_ = session_.bytesReceived();
    surface_.showDownloadProgress(shownBytes_);
  }
  inTick_ = false;
}

void DownloadTransfer::finish() {
  outcome_ = DownloadOutcome::Finished;
  surface_.setAnimationPlaying(false);
  surface_.showDownloadProgress(-1);
  surface_.setWorkspaceText(session_.resultText());
  surface_.messages().information(kTitleMessage, kDownloadFinished);
  if (session_.undecodableBytes() > 0) {
    surface_.messages().exclamation(kTitleMessage, undecodableBytesNotice(session_.undecodableBytes()));
  }
  const auto failure = attempt([&] { connection_.close(); });
  timer_.setEnabled(false);
  surface_.setDownloadBreakEnabled(false);
  endCapture();
  if (failure) surface_.messages().critical(kTitleError, *failure);
}

void DownloadTransfer::breakOff(const QString& reason) {
  // Everything that arrived stays: the window is idle again before the message is shown.
  outcome_ = DownloadOutcome::BrokenOff;
  timer_.setEnabled(false);
  surface_.setAnimationPlaying(false);
  session_.endEarly();
  surface_.setWorkspaceText(session_.resultText());
  const auto closeFailure = attempt([&] { connection_.close(); });
  surface_.setDownloadBreakEnabled(false);
  surface_.showDownloadProgress(-1);
  surface_.messages().critical(kTitleError, brokenOffNotice(session_.keptBytes(), reason));
  if (session_.undecodableBytes() > 0) {
    surface_.messages().exclamation(kTitleMessage, undecodableBytesNotice(session_.undecodableBytes()));
  }
  endCapture();
  if (closeFailure) surface_.messages().critical(kTitleError, *closeFailure);
}

void DownloadTransfer::interrupt() {
  const bool wasRunning = timer_.isEnabled();
  const auto failure = attempt([&] {
    connection_.close();
    timer_.setEnabled(false);
    surface_.setAnimationPlaying(false);
    surface_.showDownloadProgress(-1);
    if (wasRunning) outcome_ = DownloadOutcome::Interrupted;
    surface_.messages().information(kTitleMessage, kDownloadInterrupted);
    surface_.setDownloadBreakEnabled(false);
    surface_.setWorkspaceText(QString());
  });
  if (wasRunning) endCapture();
  if (failure) surface_.messages().critical(kTitleError, *failure);
}

void DownloadTransfer::captureNewBytes() {
  if (!capture_) return;
  const QByteArray& raw = session_.rawBytes();
  if (raw.size() > captured_) capture_->append(QByteArrayView(raw).sliced(captured_));
  captured_ = raw.size();
}

void DownloadTransfer::endCapture() {
  if (!capture_) return;
  capture_->finish();
  if (capture_->failure()) surface_.messages().exclamation(kTitleMessage, *capture_->failure());
}

}  // namespace korvane::link
