#include "support/instrument_line.h"

#include "support/simulator_record.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace korvane::testing {

namespace {

int millisecondsUntil(InstrumentLine::Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - InstrumentLine::Clock::now());
  return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, INT_MAX));
}

}  // namespace

InstrumentLine::InstrumentLine(int masterFd, int stopFd, SimulatorRecord& record)
    : master_(masterFd), stop_(stopFd), record_(record) {}

bool InstrumentLine::write(const QByteArray& bytes) {
  qsizetype done = 0;
  while (ok() && done < bytes.size()) {
    const ssize_t written = ::write(master_, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
    if (written > 0) {
      record_.addSent(bytes.constData() + done, written);
      done += written;
    } else if (written < 0 && errno == EINTR) {
      continue;
    } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      service(-1, true);
    } else {
      breakWith(std::string("writing to the terminal failed: ") + std::strerror(errno));
    }
  }
  return ok();
}

bool InstrumentLine::waitUntil(const std::function<bool()>& ready, Clock::time_point deadline) {
  while (ok()) {
    if (ready && ready()) return true;
    if (Clock::now() >= deadline) return false;
    service(millisecondsUntil(deadline), false);
  }
  return false;
}

bool InstrumentLine::pause(std::chrono::milliseconds duration) {
  waitUntil({}, Clock::now() + duration);
  return ok();
}

void InstrumentLine::drain() {
  char buffer[4096];
  while (!broken_) {
    const ssize_t count = ::read(master_, buffer, sizeof buffer);
    if (count > 0) {
      record_.addReceived(buffer, count);
    } else if (count < 0 && errno == EINTR) {
      continue;
    } else if (count == 0 || errno == EAGAIN || errno == EWOULDBLOCK) {
      return;
    } else {
      // EIO: every slave descriptor is closed; cannot happen while the terminal keeps its own.
      breakWith(std::string("reading from the terminal failed: ") + std::strerror(errno));
    }
  }
}

void InstrumentLine::listenUntilStopped() {
  while (ok()) service(-1, false);
}

bool InstrumentLine::service(int timeoutMs, bool wantWrite) {
  pollfd fds[2] = {{master_, static_cast<short>(POLLIN | (wantWrite ? POLLOUT : 0)), 0}, {stop_, POLLIN, 0}};
  if (::poll(fds, 2, timeoutMs) < 0) {
    if (errno != EINTR) breakWith(std::string("poll failed: ") + std::strerror(errno));
    return false;
  }
  if (fds[1].revents != 0) stopped_ = true;
  if (fds[0].revents & POLLIN) {
    drain();
  } else if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
    breakWith("the terminal hung up");
  }
  return (fds[0].revents & POLLOUT) != 0;
}

void InstrumentLine::breakWith(const std::string& message) {
  broken_ = true;
  record_.fail(message);
}

}  // namespace korvane::testing
