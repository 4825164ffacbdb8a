#include "link/download_session.h"

#include "text/spaces.h"

namespace korvane::link {

std::optional<int> downloadPollInterval(Series series) {
  switch (series) {
    case Series::Gts200:
    case Series::Gts600:
      return 10;
    case Series::Dl100c:
      return 100;
    case Series::Other:
      break;
  }
  return std::nullopt;
}

DownloadSession::DownloadSession(SerialPort& port) : port_(port) {}

void DownloadSession::begin(Series series) {
  dataBuffer_.clear();
  receivedChunk_.clear();
  rawBytes_.clear();
  decoder_.reset();
  if (series == Series::Dl100c) levelHandshake_ = kHandshakeWaiting;
}

bool DownloadSession::tick(const QString& seriesText) {
  const QByteArray bytes = port_.readAll();
  rawBytes_ += bytes;
  receivedChunk_ = decoder_.decode(bytes);
  dataBuffer_ += receivedChunk_;

  if (seriesText == kSeriesDl100c) {
    if (levelHandshake_ == kHandshakeWaiting && receivedChunk_.contains(kLevelHeader)) {
      // Whatever came before the header, the rest of this chunk included, is dropped.
      levelHandshake_ = kHandshakeGo;
      dataBuffer_ = kLevelHeader + QStringLiteral("\r\n");
    }
    if (levelHandshake_ == kHandshakeGo && !bytes.isEmpty()) port_.write(kLevelAcknowledgement);
  }

  const bool ended = dataBuffer_.contains(kEot) || receivedChunk_ == kLevelEndLine;
  if (ended) dataBuffer_ += decoder_.finish();
  return ended;
}

void DownloadSession::endEarly() { dataBuffer_ += decoder_.finish(); }

QString DownloadSession::resultText() const { return text::trimSpaces(dataBuffer_); }

qint64 DownloadSession::keptBytes() const { return text::encodeCp950(resultText()).bytes.size(); }

}  // namespace korvane::link
