#include "support/simulator_record.h"

#include "support/host_replies.h"

namespace korvane::testing {

void SimulatorRecord::begin(Instrument instrument) {
  std::lock_guard lock(mutex_);
  begun_ = true;
  instrument_ = instrument;
  if (instrument == Instrument::TotalStation) listeningFrom_ = 0;
}

qsizetype SimulatorRecord::markHeader() {
  std::lock_guard lock(mutex_);
  listeningFrom_ = received_.size();
  return *listeningFrom_;
}

void SimulatorRecord::finish() {
  {
    std::lock_guard lock(mutex_);
    finished_ = true;
  }
  finishedChanged_.notify_all();
}

bool SimulatorRecord::waitUntilFinished(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  if (!begun_) return false;
  return finishedChanged_.wait_for(lock, timeout, [this] { return finished_; });
}

void SimulatorRecord::addReceived(const char* data, qsizetype size) {
  std::lock_guard lock(mutex_);
  received_.append(data, size);
}

void SimulatorRecord::addSent(const char* data, qsizetype size) {
  std::lock_guard lock(mutex_);
  sent_.append(data, size);
}

void SimulatorRecord::fail(const std::string& message) {
  std::lock_guard lock(mutex_);
  if (failure_.empty()) failure_ = message;
}

std::optional<QByteArray> SimulatorRecord::takeReplyLine(qsizetype& cursor) const {
  std::lock_guard lock(mutex_);
  return takeLine(received_, cursor);
}

QByteArray SimulatorRecord::received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

qsizetype SimulatorRecord::receivedSize() const {
  std::lock_guard lock(mutex_);
  return received_.size();
}

QByteArray SimulatorRecord::sent() const {
  std::lock_guard lock(mutex_);
  return sent_;
}

int SimulatorRecord::acknowledgementCount() const {
  std::lock_guard lock(mutex_);
  return listeningFrom_ ? countAcknowledgementLines(received_, *listeningFrom_) : 0;
}

bool SimulatorRecord::answeredBeforeHeader() const {
  std::lock_guard lock(mutex_);
  if (instrument_ != Instrument::Level) return false;
  return listeningFrom_ ? *listeningFrom_ > 0 : !received_.isEmpty();
}

std::string SimulatorRecord::failure() const {
  std::lock_guard lock(mutex_);
  return failure_;
}

}  // namespace korvane::testing
