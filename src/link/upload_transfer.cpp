#include "link/upload_transfer.h"

#include "common/failure.h"
#include "link/l14_text.h"
#include "link/series.h"
#include "text/cp950.h"
#include "text/spaces.h"

namespace korvane::link {
namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kLastLineTaken = QStringLiteral("y");
const QString kLinesRemain = QStringLiteral("n");

bool hasContent(const QString& line) { return !line.trimmed().isEmpty(); }

}  // namespace

int remainingLines(const QString& workspace) {
  int count = 0;
  for (const QStringView line : QStringView(workspace).split(kCrLf)) {
    if (!line.trimmed().isEmpty()) ++count;
  }
  return count;
}

UploadTransfer::UploadTransfer(PortConnection& connection, PollTimer& timer, UploadSurface& surface)
    : connection_(connection), timer_(timer), surface_(surface) {}

void UploadTransfer::send(const QString& text) {
  const text::Cp950Encoding encoded = text::encodeCp950(text);
  if (!encoded.ok()) throw Failure(encoded.describe());
  connection_.port().write(encoded.bytes);
}

void UploadTransfer::showProgress() { surface_.showUploadProgress(linesSent_, remainingLines(surface_.workspaceText())); }

void UploadTransfer::start() {
  if (surface_.uploadOption() == UploadOption::CadastralL14) {
    // A conversion that fails shows why; the upload goes on with the text as it stands.
    const auto failure = attempt([&] {
      surface_.setWorkspaceText(
          convertL14Text(surface_.workspaceText(), surface_.programFolder(), [this] { surface_.yieldToEvents(); }));
    });
    if (failure) surface_.messages().critical(kTitleError, *failure);
  }
  const auto failure = attempt([&] {
    connection_.configure(surface_.portLists());
    timer_.setInterval(connection_.settings().uploadPaceMs);
    surface_.setAnimationPlaying(true);
    timer_.setEnabled(true);
    surface_.setUploadBreakEnabled(true);
    lastLineFlag_ = kLinesRemain;
    linesSent_ = 0;
    if (surface_.seriesText() == kSeriesGts200) {
      send(gts200StartSequence());
      blocks_ = Gts200Blocks();
    }
    showProgress();
  });
  if (failure) surface_.messages().critical(kTitleError, *failure);
}

void UploadTransfer::tick() {
  if (inTick_ || !timer_.isEnabled()) return;
  inTick_ = true;
  const auto failure = attempt([&] {
    switch (seriesOf(surface_.seriesText())) {
      case Series::Gts600:
        tickGts600();
        break;
      case Series::Gts200:
        tickGts200();
        break;
      default:
        break;
    }
  });
  if (failure) {
    // No end frame; the port stays open.
    surface_.setAnimationPlaying(false);
    timer_.setEnabled(false);
    surface_.setUploadBreakEnabled(false);
    surface_.showUploadProgress(-1, -1);
    surface_.messages().critical(kTitleError, *failure);
  }
  inTick_ = false;
}

bool UploadTransfer::tickGts600() {
  QString workspace = surface_.workspaceText();
  if (workspace.size() == 1) {
    // Only the LF of the last line break is left: the last line goes once more.
    send(text::trimSpaces(uploadLine_));
    finishGts600();
    return true;
  }
  const qsizetype lineEnd = workspace.indexOf(kCrLf);
  if (lineEnd >= 0) {
    uploadLine_ = text::trimSpaces(QStringView(workspace).left(lineEnd + 1));
  } else {
    uploadLine_ = workspace;
    lastLineFlag_ = kLastLineTaken;
  }
  if (surface_.uploadOption() == UploadOption::NameYX) uploadLine_ = swapSecondAndThirdFields(uploadLine_);
  send(text::trimSpaces(uploadLine_));
  if (hasContent(uploadLine_)) ++linesSent_;
  if (lineEnd >= 0) {
    // The LF of the line break stays at the start of what is left.
    workspace = text::trimSpaces(QStringView(workspace).sliced(lineEnd + 1));
    surface_.setWorkspaceText(workspace);
  }
  if (lastLineFlag_ == kLastLineTaken) {
    send(text::trimSpaces(uploadLine_));
    surface_.setWorkspaceText(QString());
    finishGts600();
    return true;
  }
  showProgress();
  return false;
}

void UploadTransfer::finishGts600() {
  surface_.setAnimationPlaying(false);
  surface_.messages().information(kTitleMessage, kUploadFinished);
  send(QString(QChar(4)));
  endUpload();
}

bool UploadTransfer::tickGts200() {
  QString workspace = surface_.workspaceText();
  if (workspace.isEmpty()) throw Failure(QStringLiteral("工作區沒有可上傳的座標資料"));
  const qsizetype lineEnd = workspace.indexOf(kCrLf);
  QString line;
  if (lineEnd >= 0) {
    line = text::trimSpaces(QStringView(workspace).left(lineEnd + 1));
    workspace = text::trimSpaces(QStringView(workspace).sliced(lineEnd + 2));
  } else {
    // A workspace of one line without its own CR LF: that line is the last one.
    line = text::trimSpaces(workspace);
    workspace.clear();
    if (!line.endsWith(u'\r')) line += u'\r';
  }
  if (const auto block = blocks_.addLine(line, surface_.uploadOption())) send(*block);
  if (hasContent(line)) ++linesSent_;
  surface_.setWorkspaceText(workspace);
  if (workspace.contains(kCrLf)) {
    showProgress();
    return false;
  }
  finishGts200(workspace);
  return true;
}

void UploadTransfer::finishGts200(const QString& rest) {
  surface_.setAnimationPlaying(false);
  // A last line without its own CR LF is sent as well, before the final block.
  if (hasContent(rest)) {
    QString line = text::trimSpaces(rest);
    if (!line.endsWith(u'\r')) line += u'\r';
    if (const auto block = blocks_.addLine(line, surface_.uploadOption())) send(*block);
    ++linesSent_;
    surface_.setWorkspaceText(QString());
  }
  send(blocks_.finalBlock());
  send(gts200EndFrame());
  surface_.messages().information(kTitleMessage, kUploadFinished);
  endUpload();
}

void UploadTransfer::endUpload() {
  connection_.close();
  timer_.setEnabled(false);
  surface_.setUploadBreakEnabled(false);
  surface_.showUploadProgress(-1, -1);
}

void UploadTransfer::interrupt() {
  const auto failure = attempt([&] {
    timer_.setEnabled(false);
    surface_.setAnimationPlaying(false);
    surface_.showUploadProgress(-1, -1);
    surface_.messages().information(kTitleMessage, kUploadInterrupted);
    send(QString(QChar(4)));
    connection_.close();
  });
  if (failure) surface_.messages().critical(kTitleError, *failure);
}

}  // namespace korvane::link
