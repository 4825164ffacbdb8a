#pragma once
// A poll timer that ticks only when the test says so.

#include "common/poll_timer.h"

namespace korvane::testing {

class ManualTimer : public PollTimer {
 public:
  explicit ManualTimer(int interval = 300) : interval_(interval) {}
  void setInterval(int milliseconds) override { interval_ = milliseconds; }
  int interval() const override { return interval_; }
  void setEnabled(bool enabled) override { enabled_ = enabled; }
  bool isEnabled() const override { return enabled_; }

 private:
  int interval_;
  bool enabled_ = false;
};

}  // namespace korvane::testing
