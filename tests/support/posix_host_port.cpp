#include "support/posix_host_port.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <stdexcept>

namespace korvane::testing {

namespace {

[[noreturn]] void fail(const std::string& what) {
  throw std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

PosixHostPort::PosixHostPort(const std::string& devicePath) {
  fd_ = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) fail("open " + devicePath);
  termios settings{};
  if (::tcgetattr(fd_, &settings) != 0) {
    ::close(fd_);
    fail("tcgetattr " + devicePath);
  }
  ::cfmakeraw(&settings);
  settings.c_cflag |= CLOCAL | CREAD;
  if (::tcsetattr(fd_, TCSANOW, &settings) != 0) {
    ::close(fd_);
    fail("tcsetattr " + devicePath);
  }
}

PosixHostPort::~PosixHostPort() { ::close(fd_); }

void PosixHostPort::write(const QByteArray& bytes) {
  qsizetype done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd_, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
    if (written > 0) {
      done += written;
    } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd writable{fd_, POLLOUT, 0};
      ::poll(&writable, 1, 100);
    } else if (!(written < 0 && errno == EINTR)) {
      fail("write");
    }
  }
}

QByteArray PosixHostPort::readUntil(const std::function<bool(const QByteArray&)>& enough,
                                    std::chrono::milliseconds timeout) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + timeout;
  QByteArray got;
  while (!(enough && enough(got))) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) break;
    pollfd readable{fd_, POLLIN, 0};
    const int ready = ::poll(&readable, 1, static_cast<int>(std::min<decltype(left)>(left, INT_MAX)));
    if (ready < 0 && errno != EINTR) fail("poll");
    if (ready <= 0) continue;
    char buffer[4096];
    const ssize_t count = ::read(fd_, buffer, sizeof buffer);
    if (count > 0) {
      got.append(buffer, count);
    } else if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
      fail("read");
    }
  }
  return got;
}

QByteArray PosixHostPort::readAtLeast(qsizetype count, std::chrono::milliseconds timeout) {
  return readUntil([count](const QByteArray& got) { return got.size() >= count; }, timeout);
}

QByteArray PosixHostPort::readThrough(char byte, std::chrono::milliseconds timeout) {
  return readUntil([byte](const QByteArray& got) { return got.contains(byte); }, timeout);
}

QByteArray PosixHostPort::readFor(std::chrono::milliseconds duration) { return readUntil({}, duration); }

}  // namespace korvane::testing
