#include "link/raw_capture.h"

namespace korvane::link {

RawCapture::RawCapture(QString path) : path_(std::move(path)) {}

void RawCapture::begin() {
  finish();
  failure_.reset();
  file_.setFileName(path_);
  if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) fail(QStringLiteral("建立"));
}

void RawCapture::append(QByteArrayView bytes) {
  if (!file_.isOpen() || bytes.isEmpty()) return;
  if (file_.write(bytes.data(), bytes.size()) != bytes.size() || !file_.flush()) fail(QStringLiteral("寫入"));
}

void RawCapture::finish() {
  if (file_.isOpen()) file_.close();
}

void RawCapture::fail(const QString& action) {
  failure_ = QStringLiteral("無法%1原始資料檔 %2：%3").arg(action, path_, file_.errorString());
  file_.close();
}

}  // namespace korvane::link
