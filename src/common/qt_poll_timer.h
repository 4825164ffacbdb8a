#pragma once
// The poll timer on a QTimer: calls `onTick` at every timeout while enabled.

#include <QTimer>
#include <functional>

#include "common/poll_timer.h"

namespace korvane {

class QtPollTimer : public PollTimer {
 public:
  QtPollTimer(int designIntervalMs, std::function<void()> onTick) {
    timer_.setInterval(designIntervalMs);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [tick = std::move(onTick)] { tick(); });
  }
  void setInterval(int milliseconds) override { timer_.setInterval(milliseconds); }
  int interval() const override { return timer_.interval(); }
  void setEnabled(bool enabled) override {
    if (enabled && !timer_.isActive()) timer_.start();
    if (!enabled) timer_.stop();
  }
  bool isEnabled() const override { return timer_.isActive(); }

 private:
  QTimer timer_;
};

}  // namespace korvane
