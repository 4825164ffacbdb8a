#pragma once
// A pipe that tells a thread blocked in poll() to stop: once raised, its read end stays readable.

namespace korvane::testing {

class WakePipe {
 public:
  // Throws std::runtime_error when the pipe cannot be made.
  WakePipe();
  ~WakePipe();

  WakePipe(const WakePipe&) = delete;
  WakePipe& operator=(const WakePipe&) = delete;

  // Poll this for POLLIN.
  int readFd() const { return read_; }
  void raise() noexcept;

 private:
  int read_ = -1;
  int write_ = -1;
};

}  // namespace korvane::testing
