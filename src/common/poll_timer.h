#pragma once
// A repeating timer as the transfers see it: the window wraps a QTimer, tests tick by hand.

#include <functional>

namespace korvane {

class PollTimer {
 public:
  virtual ~PollTimer() = default;
  virtual void setInterval(int milliseconds) = 0;
  virtual int interval() const = 0;
  virtual void setEnabled(bool enabled) = 0;
  virtual bool isEnabled() const = 0;
};

}  // namespace korvane
