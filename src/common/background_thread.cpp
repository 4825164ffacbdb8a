#include "common/background_thread.h"

namespace korvane {

BackgroundThread::BackgroundThread() : receiver_(std::make_unique<QObject>()) {}

BackgroundThread::~BackgroundThread() {
  requestStop();
  wait();
  // Deleting the receiver drops the calls still queued for it.
  receiver_.reset();
}

void BackgroundThread::run(std::function<void()> work) {
  wait();
  stop_.store(false);
  thread_.reset(QThread::create(std::move(work)));
  thread_->start();
}

void BackgroundThread::post(std::function<void()> call) {
  QMetaObject::invokeMethod(receiver_.get(), std::move(call), Qt::QueuedConnection);
}

void BackgroundThread::wait() {
  if (thread_) thread_->wait();
}

}  // namespace korvane
